# Widget tests of the device link glue.
