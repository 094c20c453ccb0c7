# Tests of the message protocol.
