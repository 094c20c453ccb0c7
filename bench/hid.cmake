# Benchmarks of the hid part.
