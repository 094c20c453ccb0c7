# Benchmarks of the chart part.
