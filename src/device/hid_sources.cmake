# Sources of the HID link (back ends, controller, device, reader).
target_sources(kx_device PRIVATE
)
