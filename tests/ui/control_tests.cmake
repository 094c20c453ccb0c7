# Widget tests of the control part.
