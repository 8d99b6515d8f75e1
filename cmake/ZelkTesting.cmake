# zelk_add_test_suite(NAME SOURCES ... LIBS ...)
# One GoogleTest binary per module; every test runs headless.
find_package(GTest REQUIRED)
include(GoogleTest)

function(zelk_add_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    # The headless environment comes from the binary's own main: a list
    # handed to the discovered tests' ENVIRONMENT keeps only its first entry.
    add_executable(${name} ${ARG_SOURCES} ${ZELK_SOURCE_ROOT}/tests/support/headless_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest Threads::Threads)
    # GoogleTest's header and the standard library's are most of what every
    # test file compiles; read once per suite they halve the suites' build.
    target_precompile_headers(${name} PRIVATE
        "$<$<COMPILE_LANGUAGE:CXX>:${ZELK_SOURCE_ROOT}/tests/support/precompiled.h>")
    # Tests that run the programs must never meet an old build of them.
    foreach(program zelk zelk-tool)
        if(TARGET ${program})
            add_dependencies(${name} ${program})
        endif()
    endforeach()
    target_compile_definitions(${name} PRIVATE
        ZELK_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
        ZELK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        ZELK_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    gtest_discover_tests(${name}
        TEST_PREFIX "${name}."
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT 300)
endfunction()
