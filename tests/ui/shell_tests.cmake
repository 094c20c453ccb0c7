# Widget tests of the shell part.
