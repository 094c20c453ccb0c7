# Sources of the dialog part of the user interface.
target_sources(kx_ui PRIVATE
)
