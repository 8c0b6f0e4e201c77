# zlib and GoogleTest. The Windows build links zlib statically: with the
# import library, update.exe would need zlib1.dll, which Wine supplies on its
# own and a real Windows machine does not.

if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

if(CMAKE_CROSSCOMPILING)
  # Debian's googletest package ships the sources: build them with our compiler.
  set(KELVANE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${KELVANE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
