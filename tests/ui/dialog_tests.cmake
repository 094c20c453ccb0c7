# Widget tests of the dialog part.
