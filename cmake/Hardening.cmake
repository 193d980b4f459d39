# Release builds on Linux take Debian's hardening, as its packaged games do: dpkg-buildflags' stack
# protector, _FORTIFY_SOURCE, relro and bindnow (with -g, so that the debug package has something
# to carry, and build paths written relative to the source), and on x86-64 stack-clash protection
# and control-flow protection (CET), which bookworm's dpkg-buildflags does not hand out yet.
option(ZORB_HARDENING "Build Release binaries with Debian's hardening flags" ON)
if(NOT ZORB_HARDENING OR WIN32 OR NOT CMAKE_BUILD_TYPE STREQUAL "Release")
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: a Release build without Debian's hardening")
  return()
endif()

function(zorb_buildflags kind out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${DPKG_BUILDFLAGS} --get ${kind}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # Release keeps its own optimisation level.
  list(FILTER flags EXCLUDE REGEX "^-O[0-9s]?$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

zorb_buildflags(CPPFLAGS cppflags)
zorb_buildflags(CXXFLAGS cxxflags)
zorb_buildflags(LDFLAGS ldflags)
add_compile_options(${cppflags} ${cxxflags})
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  add_compile_options(-fstack-clash-protection -fcf-protection)
endif()
add_link_options(${ldflags})
