# zelk_add_test_suite(NAME SOURCES ... LIBS ...)
# One GoogleTest binary per module; every test runs headless.
find_package(GTest REQUIRED)
include(GoogleTest)

set(ZELK_TEST_ENVIRONMENT
    SDL_VIDEODRIVER=dummy
    SDL_AUDIODRIVER=dummy
    ZELK_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data
    ZELK_BIN_DIR=${CMAKE_BINARY_DIR}/bin
    ZELK_SOURCE_DIR=${CMAKE_SOURCE_DIR})

# A list inside a property value must keep its separators escaped, or only
# its first entry arrives.
string(REPLACE ";" "\\;" ZELK_TEST_ENVIRONMENT_ESCAPED "${ZELK_TEST_ENVIRONMENT}")

function(zelk_add_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main
                          Threads::Threads)
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
        PROPERTIES ENVIRONMENT "${ZELK_TEST_ENVIRONMENT_ESCAPED}" TIMEOUT 300)
endfunction()
