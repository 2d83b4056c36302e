# The wizard's resources, for the Windows builds.  Included from the top
# CMakeLists.txt; defines
#   instalix_resource_data    target that writes the dialog initialisation
#                             data (dlginit_<template>.bin) into the build tree
#   INSTALIX_RC               the resource script, res/instalix.rc
#   INSTALIX_RC_INCLUDE_DIRS  where windres finds what the script names
# A program using the resources adds ${INSTALIX_RC} to its sources, these
# directories for the RC language, and a dependency on the target.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(INSTALIX_RES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(INSTALIX_RES_OUT ${CMAKE_BINARY_DIR}/res)
set(INSTALIX_RC ${INSTALIX_RES_DIR}/instalix.rc)
set(INSTALIX_RC_INCLUDE_DIRS ${INSTALIX_RES_DIR} ${INSTALIX_RES_OUT})

set(INSTALIX_DLGINIT ${INSTALIX_RES_OUT}/dlginit_132.bin ${INSTALIX_RES_OUT}/dlginit_133.bin
                     ${INSTALIX_RES_OUT}/dlginit_132_en.bin ${INSTALIX_RES_OUT}/dlginit_133_en.bin)
add_custom_command(
    OUTPUT ${INSTALIX_DLGINIT}
    # The committed RTF must be the one agreement.txt gives.
    COMMAND ${Python3_EXECUTABLE} ${INSTALIX_RES_DIR}/make-agreement.py --check
    COMMAND ${Python3_EXECUTABLE} ${INSTALIX_RES_DIR}/make-dlginit.py --out-dir ${INSTALIX_RES_OUT}
    DEPENDS ${INSTALIX_RES_DIR}/make-dlginit.py ${INSTALIX_RES_DIR}/make-agreement.py
            ${INSTALIX_RES_DIR}/agreement.txt ${INSTALIX_RES_DIR}/agreement.rtf
            ${INSTALIX_RES_DIR}/agreement-en.txt ${INSTALIX_RES_DIR}/agreement-en.rtf
            ${INSTALIX_RES_DIR}/resource.h
    COMMENT "Dialog initialisation data"
    VERBATIM)
add_custom_target(instalix_resource_data DEPENDS ${INSTALIX_DLGINIT})

# windres sees only the preprocessed script; what it loads by name is listed
# here, so that a changed picture or list recompiles the script.
set(INSTALIX_RC_DEPENDS
    ${INSTALIX_DLGINIT}
    ${INSTALIX_RES_DIR}/resource.h
    ${INSTALIX_RES_DIR}/strings.rc
    ${INSTALIX_RES_DIR}/strings-en.rc
    ${INSTALIX_RES_DIR}/instalix-en.rc
    ${INSTALIX_RES_DIR}/version.rc
    ${INSTALIX_RES_DIR}/instalix.ico
    ${INSTALIX_RES_DIR}/printer.bmp
    ${INSTALIX_RES_DIR}/instalix.manifest)

# Source properties belong to a directory, and the programs that compile the
# script are made in subdirectories added after this file: set the property
# in every directory once the top one is done.
function(instalix_rc_object_depends)
    set(dirs ${CMAKE_SOURCE_DIR})
    set(all "")
    while(dirs)
        list(POP_FRONT dirs dir)
        list(APPEND all ${dir})
        get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
        list(APPEND dirs ${subdirs})
    endwhile()
    set_source_files_properties(${INSTALIX_RC} DIRECTORY ${all}
                                PROPERTIES OBJECT_DEPENDS "${INSTALIX_RC_DEPENDS}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL instalix_rc_object_depends)
