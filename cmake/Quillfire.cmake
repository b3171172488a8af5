# Build helpers shared by every module.

set(QF_SOURCE_ROOT ${CMAKE_SOURCE_DIR}/src)

if(QF_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(QF_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# Warnings are errors on our own code only; fetched dependencies keep their own flags.
function(qf_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# qf_module(NAME SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# Defines the static library qf_<NAME> with src/ as its public include root.
function(qf_module name)
    cmake_parse_arguments(M "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(qf_${name} STATIC ${M_SOURCES})
    target_include_directories(qf_${name} PUBLIC ${QF_SOURCE_ROOT})
    target_link_libraries(qf_${name} PUBLIC ${M_DEPS} PRIVATE ${M_PRIVATE_DEPS})
    qf_warnings(qf_${name})
endfunction()

# qf_test(NAME SOURCES ... [LIBS ...] [TIMEOUT SECONDS])
# One GoogleTest executable per module, registered with ctest test by test.
# TIMEOUT replaces ctest's default limit for each of its tests.
function(qf_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    set(timeout)
    if(T_TIMEOUT)
        set(timeout TIMEOUT ${T_TIMEOUT})
    endif()
    add_executable(${name} ${T_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/TestEnvironment.cpp)
    # The binary sets its own environment (tests/support/TestEnvironment.cpp):
    # a list in a test property would lose all but its first entry on its way
    # through test discovery, and TIMEOUT with it; and a binary started by hand
    # then runs as under ctest.
    list(JOIN T_ENV "|" environment)
    target_compile_definitions(${name} PRIVATE QF_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        QF_TEST_BINARY_DIR="${CMAKE_BINARY_DIR}" QF_TEST_ENV="${environment}")
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    qf_warnings(${name})
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        PROPERTIES ${timeout}
        DISCOVERY_TIMEOUT 60)
endfunction()
