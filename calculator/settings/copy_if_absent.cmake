# Copies SOURCE to DESTINATION only when nothing exists at DESTINATION.
# cmake -DSOURCE=<file> -DDESTINATION=<file> -P copy_if_absent.cmake
if(NOT DEFINED SOURCE OR NOT DEFINED DESTINATION)
    message(FATAL_ERROR "copy_if_absent.cmake needs -DSOURCE=... and -DDESTINATION=...")
endif()
if(NOT EXISTS "${DESTINATION}")
    get_filename_component(folder "${DESTINATION}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
