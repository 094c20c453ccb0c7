# Benchmarks of the protocol part.
