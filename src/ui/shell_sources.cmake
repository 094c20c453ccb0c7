# Sources of the shell part of the user interface.
target_sources(kx_ui PRIVATE
)
