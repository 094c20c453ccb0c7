# Sources of the controller message protocol.
target_sources(kx_device PRIVATE
)
