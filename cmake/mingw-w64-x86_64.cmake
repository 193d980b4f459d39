# Cross-building for Windows x86-64 with Debian's mingw-w64 (the POSIX-threads variant, for
# std::thread). Programs built here run at build time under Wine: the asset generator and the
# discovery of the tests.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_AR ${triple}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${triple}-gcc-ranlib-posix CACHE FILEPATH "")

# The libraries Debian does not ship for mingw are built by `scripts/windows deps` into one prefix.
if(NOT ZORB_WIN_DEPS)
  if(DEFINED ENV{ZORB_WIN_DEPS})
    set(ZORB_WIN_DEPS $ENV{ZORB_WIN_DEPS})
  else()
    set(ZORB_WIN_DEPS $ENV{HOME}/.cache/zorb-windows-deps)
  endif()
endif()
set(ZORB_WIN_DEPS ${ZORB_WIN_DEPS} CACHE PATH "Prefix of the Windows libraries")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORB_WIN_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${ZORB_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks at the Windows libraries only, never at the host's.
set(ENV{PKG_CONFIG_LIBDIR} ${ZORB_WIN_DEPS}/lib/pkgconfig:/usr/${triple}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
