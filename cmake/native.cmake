# Native build: the platform-free rules, their tests (with sanitizers) and the
# build tools that run on the build machine.
option(SETUP_SANITIZE "Build with AddressSanitizer and UBSan" ON)
if(SETUP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(rules STATIC)
foreach(dir startup tables window banner install progman)
  add_subdirectory(${dir})
endforeach()

add_subdirectory(tests/native)
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/CMakeLists.txt)
  add_subdirectory(tools)
endif()
