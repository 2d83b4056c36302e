# The help manual for the Windows builds.  Included from the top
# CMakeLists.txt; defines
#   help-manual   target that compiles help/ (HTML in code page 936, the
#                 project Guide.hhp, contents and index) into
#                 ${CMAKE_BINARY_DIR}/Guide.CHM, the file the wizard opens
#                 on F1 from its current directory.
find_program(INSTALIX_CHMCMD chmcmd REQUIRED)

set(INSTALIX_HELP_DIR ${CMAKE_CURRENT_LIST_DIR})
set(INSTALIX_HELP_CHM ${CMAKE_BINARY_DIR}/Guide.CHM)
# Every source of the manual, so that a changed or added page recompiles it.
file(GLOB INSTALIX_HELP_SOURCES CONFIGURE_DEPENDS
     ${INSTALIX_HELP_DIR}/*.hhp ${INSTALIX_HELP_DIR}/*.hhc ${INSTALIX_HELP_DIR}/*.hhk
     ${INSTALIX_HELP_DIR}/*.htm ${INSTALIX_HELP_DIR}/*.css)

add_custom_command(
    OUTPUT ${INSTALIX_HELP_CHM}
    COMMAND ${CMAKE_COMMAND} -E env CHMCMD=${INSTALIX_CHMCMD}
            ${INSTALIX_HELP_DIR}/compile-help ${INSTALIX_HELP_DIR} ${INSTALIX_HELP_CHM}
    DEPENDS ${INSTALIX_HELP_SOURCES} ${INSTALIX_HELP_DIR}/compile-help
    COMMENT "Help manual Guide.CHM"
    VERBATIM)
add_custom_target(help-manual ALL DEPENDS ${INSTALIX_HELP_CHM})
