# Sources of the Qt glue of the device link.
target_sources(kx_ui PRIVATE
)
