# STATION_SANITIZE selects the sanitizers for every target of the build.
if(STATION_SANITIZE STREQUAL "")
  return()
endif()
if(NOT STATION_SANITIZE MATCHES "^(address,undefined|address|undefined|thread)$")
  message(FATAL_ERROR "STATION_SANITIZE must be empty, 'address,undefined' or 'thread'")
endif()
add_compile_options(-fsanitize=${STATION_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_link_options(-fsanitize=${STATION_SANITIZE})
