# zelk_add_manual(TARGET target SOURCE file IDENTIFIER name)
# One manual source next to a program's code becomes its manual page (roff,
# and gzip-compressed as Debian installs them) and a header holding its
# --help text as the constant IDENTIFIER, included as "manual/<name>.h".
find_program(ZELK_GZIP gzip REQUIRED)
set(ZELK_MANUAL_DIR ${CMAKE_BINARY_DIR}/man)

function(zelk_add_manual)
    cmake_parse_arguments(ARG "" "TARGET;SOURCE;IDENTIFIER" "" ${ARGN})
    get_filename_component(source ${ARG_SOURCE} ABSOLUTE)
    # "zelk.6.manual": page zelk, section 6.
    get_filename_component(page ${source} NAME_WLE)
    string(REGEX REPLACE "^(.+)\\.([0-9])$" "\\1" name ${page})
    string(REGEX REPLACE "^(.+)\\.([0-9])$" "\\2" section ${page})
    set(include_dir ${CMAKE_BINARY_DIR}/generated)
    set(header ${include_dir}/manual/${name}.h)
    set(roff ${ZELK_MANUAL_DIR}/${page})
    file(MAKE_DIRECTORY ${include_dir}/manual ${ZELK_MANUAL_DIR})
    add_custom_command(
        OUTPUT ${roff} ${header}
        COMMAND zelk_manual ${source} ${PROJECT_VERSION} ${ZELK_RELEASE_DATE} ${roff} ${header}
                ${ARG_IDENTIFIER}
        DEPENDS zelk_manual ${source}
        COMMENT "Making the manual page and help text of ${name}"
        VERBATIM)
    add_custom_command(
        OUTPUT ${roff}.gz
        COMMAND ${ZELK_GZIP} -9nf -k ${roff}
        DEPENDS ${roff}
        VERBATIM)
    add_custom_target(${name}_man ALL DEPENDS ${roff}.gz ${header})
    target_sources(${ARG_TARGET} PRIVATE ${header})
    target_include_directories(${ARG_TARGET} PRIVATE ${include_dir})
    install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
