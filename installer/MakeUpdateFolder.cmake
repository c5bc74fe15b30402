# Lays out the folder a maker uploads as the update server's base location:
#   software/version                  the version, exactly, with no line end
#   software/Software-<version>.zip   the installer "Software-<version>.exe" at the archive's root
#   firmware-Tavo/version, firmware-Tavi/version
#                                     "0": no firmware release is published. A display's firmware is newer only
#                                     when its number is below the document's, so no display is ever offered one.
#   cmake -D VERSION=<version> -D INSTALLER=<Software-<version>.exe> -D FOLDER=<update folder> -P MakeUpdateFolder.cmake
get_filename_component(installer_name "${INSTALLER}" NAME)
if(NOT installer_name STREQUAL "Software-${VERSION}.exe")
    message(FATAL_ERROR "The installer ${INSTALLER} is not named after version ${VERSION}")
endif()
get_filename_component(installer_folder "${INSTALLER}" DIRECTORY)

file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}/software" "${FOLDER}/firmware-Tavo" "${FOLDER}/firmware-Tavi")
file(WRITE "${FOLDER}/software/version" "${VERSION}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -E tar cf "${FOLDER}/software/Software-${VERSION}.zip" --format=zip "${installer_name}"
    WORKING_DIRECTORY "${installer_folder}"
    RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "Could not write Software-${VERSION}.zip")
endif()
file(WRITE "${FOLDER}/firmware-Tavo/version" "0")
file(WRITE "${FOLDER}/firmware-Tavi/version" "0")
