# Tests of the HID link.
