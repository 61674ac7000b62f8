# Builds under the address and undefined-behaviour sanitizers, for the sanitizer run of the tests
# and for fuzzing. Both switches apply to every target of the build, libraries included, so that
# a fault is caught in the code that makes it.
#   TAVELIO_SANITIZE  everything with ASan and UBSan; undefined behaviour stops the program.
#   TAVELIO_FUZZ      TAVELIO_SANITIZE, plus libFuzzer's coverage in every target and the fuzz
#                     targets of tests/fuzz; needs clang.
option(TAVELIO_SANITIZE "Build with the address and undefined-behaviour sanitizers" OFF)
option(TAVELIO_FUZZ "Build the fuzz targets with clang's libFuzzer (implies TAVELIO_SANITIZE)" OFF)

if(TAVELIO_SANITIZE OR TAVELIO_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
if(TAVELIO_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TAVELIO_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
