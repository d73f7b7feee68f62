# Fuzz build (clang): the rules with coverage for libFuzzer and the sanitizers,
# and one fuzz target per fuzz/<name>_fuzz.cpp.
add_compile_options(-fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
                    -fno-sanitize-recover=undefined)
# The tables split escapes like "\xFC" "r" on purpose.
add_compile_options(-Wno-string-concatenation)
add_library(rules STATIC)
add_subsystems()
add_subdirectory(fuzz)
