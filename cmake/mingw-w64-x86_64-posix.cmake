# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVANE_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KELVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVANE_MINGW_PREFIX}-windres)
set(CMAKE_AR /usr/bin/${KELVANE_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${KELVANE_MINGW_PREFIX}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${KELVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One file that needs no DLL outside Windows itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine through our wrapper (see there). A cache
# variable, so that the command line can name another.
if(NOT DEFINED CACHE{CMAKE_CROSSCOMPILING_EMULATOR})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run
      CACHE FILEPATH "Runs a Windows executable under Wine")
endif()
