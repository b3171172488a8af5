# Compiler settings of the fuzzing build (-DQF_FUZZ=ON), included before the
# modules so that every library the targets link is instrumented for coverage
# and checked by AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT CMAKE_C_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "QF_FUZZ needs clang: configure with -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++")
endif()
if(QF_SANITIZE OR QF_TSAN)
    message(FATAL_ERROR "QF_FUZZ brings its own sanitizers; leave QF_SANITIZE and QF_TSAN off")
endif()

# Optimised enough to run fast, with line tables for readable crash reports.
# Configure with CMAKE_BUILD_TYPE=Debug: assertions stay on.
add_compile_options(-O1 -gline-tables-only -fno-omit-frame-pointer
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
# lld drops unreferenced sections together with their coverage tables, which
# the line-breaking target relies on (see fuzz/CMakeLists.txt); it links faster too.
add_link_options(-fsanitize=address,undefined -fuse-ld=lld)

include(${CMAKE_CURRENT_LIST_DIR}/Dependencies.cmake)
