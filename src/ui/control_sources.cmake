# Sources of the control part of the user interface.
target_sources(kx_ui PRIVATE
)
