# Native build: the platform-free rules, their tests (with sanitizers) and the
# build tools that run on the build machine.
option(SETUP_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(SETUP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Debian's built GoogleTest (libgtest-dev): it needs no instrumentation of its
# own, and building it here took a quarter of this tree's build.
find_package(GTest REQUIRED)
add_library(rules STATIC)
add_subsystems()
add_subdirectory(tests/native)
add_subdirectory(tools)
