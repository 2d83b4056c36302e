# The help manuals for the Windows builds.  Included from the top
# CMakeLists.txt; defines
#   help-manual   target that compiles the two manuals into ${CMAKE_BINARY_DIR},
#                 the files the wizard opens on F1 from its current directory:
#                 Guide.CHM    help/    (HTML in code page 936), for systems
#                              whose ANSI code page is 936;
#                 GuideEN.CHM  help/en/ (HTML in code page 1252), for all
#                              other systems.
#                 Each source folder holds its project (Guide.hhp, which
#                 names the compiled file), contents, index, pages and
#                 stylesheet.
find_program(INSTALIX_CHMCMD chmcmd REQUIRED)

set(INSTALIX_HELP_DIR ${CMAKE_CURRENT_LIST_DIR})
set(INSTALIX_HELP_CHMS)

# instalix_help_manual(SOURCE_DIR CHM_NAME): compiles SOURCE_DIR into
# ${CMAKE_BINARY_DIR}/CHM_NAME.
function(instalix_help_manual source chm_name)
    set(chm ${CMAKE_BINARY_DIR}/${chm_name})
    # Every source of the manual, so that a changed or added page recompiles it.
    file(GLOB sources CONFIGURE_DEPENDS
         ${source}/*.hhp ${source}/*.hhc ${source}/*.hhk ${source}/*.htm ${source}/*.css)
    add_custom_command(
        OUTPUT ${chm}
        COMMAND ${CMAKE_COMMAND} -E env CHMCMD=${INSTALIX_CHMCMD}
                ${INSTALIX_HELP_DIR}/compile-help ${source} ${chm}
        DEPENDS ${sources} ${INSTALIX_HELP_DIR}/compile-help
        COMMENT "Help manual ${chm_name}"
        VERBATIM)
    set(INSTALIX_HELP_CHMS ${INSTALIX_HELP_CHMS} ${chm} PARENT_SCOPE)
endfunction()

instalix_help_manual(${INSTALIX_HELP_DIR} Guide.CHM)
instalix_help_manual(${INSTALIX_HELP_DIR}/en GuideEN.CHM)
add_custom_target(help-manual ALL DEPENDS ${INSTALIX_HELP_CHMS})
