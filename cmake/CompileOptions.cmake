# Warnings as errors on every build, and the sanitizers of the Linux test
# build. Every target of the project calls kelvane_target_defaults().

option(KELVANE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(kelvane_defaults INTERFACE)
target_compile_options(kelvane_defaults INTERFACE -Wall -Wextra -Werror -Wshadow -Wconversion
                                                  -Wno-sign-conversion)
# -Wno-sign-conversion: sizes and counts mix size_t with the fixed 32-bit
# counts of the digest and wire formats everywhere; -Wconversion still flags
# every narrowing.
target_include_directories(kelvane_defaults INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(KELVANE_SANITIZE)
  target_compile_options(kelvane_defaults INTERFACE -fsanitize=address,undefined
                                                    -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kelvane_defaults INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
  # Single-byte texts throughout: the ANSI forms of the Windows API.
  target_compile_definitions(kelvane_defaults INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

function(kelvane_target_defaults target)
  target_link_libraries(${target} PRIVATE kelvane_defaults)
endfunction()
