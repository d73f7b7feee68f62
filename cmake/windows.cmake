# Windows build: setup.exe for both editions and the disks; with SETUP_TESTS
# also the Win32 and end-to-end tests. The shipped build is i686 (build/win,
# disks in build/); an x86_64 build of the same sources (build/win64, disks
# inside it) runs the same tests where Wine runs 64-bit programs only. The i686
# tests are named win32.* and e2e32.*, the x86_64 ones win.* and e2e.*.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(disk_default ${CMAKE_BINARY_DIR})
  set(TEST_BITS "")
else()
  get_filename_component(disk_default ${CMAKE_BINARY_DIR}/.. ABSOLUTE)
  set(TEST_BITS 32)
endif()
option(SETUP_TESTS "Build the Win32 and end-to-end tests" ON)
set(DISK_ROOT ${disk_default} CACHE PATH "Folder that receives disk and disk-edition1")
set(HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/../native/tools CACHE PATH "Native build tools")

# The shipped program: small, no exceptions or RTTI, no runtime DLLs. No
# -fdata-sections: on this target it puts variables that start as zeros into
# the file's data (1.5 KB of zeros) instead of the uninitialised section.
# Link-time optimisation takes about 5 KB off the 32-bit program, -Oz another
# 600 bytes. Data aligned as the ABI asks, not to cache lines: 32-byte
# alignment padded the tables and texts of the read-only data by 500 bytes.
# Loops stay loops rather than becoming calls of strlen and memmove, which
# would import the C library's DLL (SameBytes stands in for memcmp). A
# procedure called from one place stays a procedure: merged into its caller at
# link time, the program grew by 700 bytes. A switch is a chain of tests, not
# a table of addresses, each of which the relocations would name again.
# The objects keep their machine code too (fat), so that every
# other program of the tree links them as plain objects (-fno-lto below),
# without a whole-program pass each: only setup.exe is optimised as one.
set(SETUP_FLAGS -Oz -malign-data=abi -fno-tree-loop-distribute-patterns
    -fno-inline-functions-called-once -fno-jump-tables -fno-exceptions -fno-rtti
    -ffunction-sections -flto -ffat-lto-objects)
set(SETUP_LINK_FLAGS -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
set(whole_program $<BOOL:$<TARGET_PROPERTY:SETUP_WHOLE_PROGRAM>>)
add_link_options("$<${whole_program}:-flto;-Oz;-flto-partition=one>"
                 "$<$<NOT:${whole_program}>:-fno-lto>")
# 32-bit code needs no unwind tables when nothing throws; 64-bit Windows does
# (its stack walks read them), so they stay there. Tuned for the plainest
# 32-bit processor, the code is about 150 bytes shorter (pushed arguments and
# the like); nothing in setup.exe is bound by the processor's speed.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND SETUP_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables -mtune=i386)
endif()
# setup.exe starts in its own SetupStart (startup/main_win.cpp), without the C
# runtime's start-up objects: about 11 KB it has no use for. Nothing would run
# static constructors then, nor patch data imported from a DLL: the image test
# (tests/scripts/setup_image_test.sh) fails on a constructor, the link on such
# an import or a missing entry. The i686 name carries stdcall's decoration.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(SETUP_ENTRY _SetupStart@0)
else()
  set(SETUP_ENTRY SetupStart)
endif()
set(SETUP_START_FLAGS -nostartfiles -Wl,-e,${SETUP_ENTRY} -Wl,--require-defined=${SETUP_ENTRY}
    -Wl,--disable-auto-import)

# Every program of the build, tests included, runs without the compiler's DLLs.
add_link_options(-static)

add_library(rules STATIC)
target_compile_options(rules PRIVATE ${SETUP_FLAGS})
add_library(setup_core STATIC)
target_compile_options(setup_core PRIVATE ${SETUP_FLAGS})
target_link_libraries(setup_core PUBLIC rules)
# windows.h (which the rules' headers bring in too on Windows) is most of each
# file's compile time: read once per tree, by every target of these flags.
target_precompile_headers(rules PRIVATE <windows.h>)
target_precompile_headers(setup_core REUSE_FROM rules)
add_subsystems()
# The paint benchmark runs the x86_64 build alone (bench/paint.sh).
if(TARGET paint_bench AND CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set_target_properties(paint_bench PROPERTIES EXCLUDE_FROM_ALL TRUE)
endif()
# The shell and COM are loaded when first needed (platform/system_calls_win.cpp),
# not at start-up: a release check keeps them out of the import table.
target_link_libraries(setup_core PUBLIC advapi32 gdi32 user32 kernel32)
# The accessibility service's identifiers; a library of data, no DLL behind it.
target_link_libraries(setup_core PUBLIC uuid)

# The manifest goes in without the indentation and line breaks that keep
# resources/setup.manifest readable: 200 bytes, and the resources then fit
# in one file-alignment block less.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS resources/setup.manifest)
file(READ resources/setup.manifest manifest_text)
string(REGEX REPLACE ">[ \t\r\n]+<" "><" manifest_text "${manifest_text}")
string(STRIP "${manifest_text}" manifest_text)
set(packed_manifest ${CMAKE_BINARY_DIR}/resources/setup.packed.manifest)
file(CONFIGURE OUTPUT ${packed_manifest} CONTENT "${manifest_text}")

# The resource compiler does not see the files the resource script names.
set_source_files_properties(resources/setup.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/setup.ico;${packed_manifest};${CMAKE_SOURCE_DIR}/tables/notice.h"
  INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/resources)

# The 32-bit program replaces the compiler library's 64-bit division helpers
# (platform/divide_win.cpp). The compiler calls them from the code it makes at
# link time, which only plain objects can answer: these stay out of the
# link-time optimisation, and the link meets them after the system's import
# libraries. A plain object there is needed in the x86_64 program too (the
# division, unused there, is dropped): without one, binutils 2.40's ld
# crashes in setup.exe's link (signal 11).
set(setup_sources startup/main_win.cpp tables/edition.cpp resources/setup.rc)
add_library(link_tail OBJECT platform/divide.cpp)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  target_sources(link_tail PRIVATE platform/divide_win.cpp)
endif()
target_compile_options(link_tail PRIVATE ${SETUP_FLAGS} -fno-lto)
target_link_libraries(setup_core INTERFACE
  "$<${whole_program}:-Wl,$<JOIN:$<TARGET_OBJECTS:link_tail>,,>>")
foreach(edition 0 1)
  add_executable(setup_edition${edition} WIN32 ${setup_sources})
  target_compile_definitions(setup_edition${edition} PRIVATE SETUP_EDITION=${edition})
  target_compile_options(setup_edition${edition} PRIVATE ${SETUP_FLAGS})
  target_precompile_headers(setup_edition${edition} REUSE_FROM rules)
  target_link_options(setup_edition${edition} PRIVATE ${SETUP_LINK_FLAGS} ${SETUP_START_FLAGS})
  target_link_libraries(setup_edition${edition} PRIVATE setup_core)
  add_dependencies(setup_edition${edition} link_tail)
  set_property(TARGET setup_edition${edition} APPEND PROPERTY LINK_DEPENDS
    $<TARGET_OBJECTS:link_tail>)
  set_target_properties(setup_edition${edition} PROPERTIES
    SETUP_WHOLE_PROGRAM ON OUTPUT_NAME setup
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/edition${edition})
endforeach()

# The description texts go onto the end of each freshly linked setup.exe; a
# changed text relinks, so the block is never stale.
get_property(description_texts GLOBAL PROPERTY DESCRIPTION_TEXTS)
get_property(descblock GLOBAL PROPERTY DESCBLOCK_TOOL)
foreach(edition 0 1)
  add_custom_command(TARGET setup_edition${edition} POST_BUILD
    COMMAND ${descblock} append $<TARGET_FILE:setup_edition${edition}> ${description_texts}
    COMMENT "Appending the description block to setup.exe of edition ${edition}")
  set_property(TARGET setup_edition${edition} APPEND PROPERTY LINK_DEPENDS
    ${description_texts} ${descblock})
endforeach()

# Disk assembly: setup.exe and the product files beside it.
include(cmake/disk.cmake)

# A program that only starts: test.sh and demo.sh run it to learn whether
# this machine runs 32-bit Windows programs.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_executable(wine32_probe tests/wine/wine32_probe.c)
  set_target_properties(wine32_probe PROPERTIES
    OUTPUT_NAME wine32-probe RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

# Holds Wine's desktop through a test session (scripts/session.sh); Wine runs
# 64-bit programs everywhere, so the x86_64 tree builds it.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  add_executable(desktop_keeper WIN32 tests/wine/desktop_keeper.c)
  set_target_properties(desktop_keeper PROPERTIES
    OUTPUT_NAME desktop-keeper RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endif()

# The Program Manager stand-in of the tests and the demo, in every Windows build.
add_subdirectory(tests/fixtures/progman_standin)

if(SETUP_TESTS)
  include(cmake/googletest.cmake)
  add_subdirectory(tests/robot)
  add_subdirectory(tests/win)
  add_subdirectory(tests/e2e)
endif()
