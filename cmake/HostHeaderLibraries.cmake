# CLI11 and nlohmann-json are header-only and the same for every target, but
# their host packages name the host's whole /usr/include, whose C library
# headers break a cross build. Only their own folders are taken here.
set(_host_headers ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${_host_headers})
foreach(_dir CLI nlohmann)
  if(NOT EXISTS /usr/include/${_dir})
    message(FATAL_ERROR "/usr/include/${_dir} is missing: scripts/deps installs it")
  endif()
  file(CREATE_LINK /usr/include/${_dir} ${_host_headers}/${_dir} SYMBOLIC)
endforeach()
foreach(_target CLI11::CLI11 nlohmann_json::nlohmann_json)
  if(NOT TARGET ${_target})
    add_library(${_target} INTERFACE IMPORTED)
    target_include_directories(${_target} SYSTEM INTERFACE ${_host_headers})
  endif()
endforeach()
