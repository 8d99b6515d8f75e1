# zelk_add_module(NAME [LIBS ...] [EXCLUDE file ...])
# A module of the program: one static library of every .cpp file under the
# current folder. Headers are included from src/ ("common/text.h").
function(zelk_add_module name)
    cmake_parse_arguments(ARG "" "" "LIBS;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(excluded ${ARG_EXCLUDE})
        list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
    endforeach()
    if(NOT sources)
        set(sources ${ZELK_SOURCE_ROOT}/cmake/empty.cpp)
    endif()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${ZELK_SOURCE_ROOT}/src ${CMAKE_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    set_property(GLOBAL APPEND PROPERTY ZELK_MODULES ${name})
endfunction()

# zelk_add_module_tests(NAME [LIBS ...]): one suite of every .cpp under the
# current tests folder.
function(zelk_add_module_tests name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        zelk_add_test_suite(${name} SOURCES ${sources} LIBS ${ARG_LIBS})
        target_include_directories(${name} PRIVATE ${ZELK_SOURCE_ROOT}/tests)
    endif()
endfunction()
