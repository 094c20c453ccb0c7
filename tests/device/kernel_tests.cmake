# Tests in a real kernel under QEMU.
