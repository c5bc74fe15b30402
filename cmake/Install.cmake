# The program folder a user runs: `cmake --install build/windows --prefix DIR`, or the zip from `cpack`.
# The install issue's Dravik.exe joins it once it exists; the real hidapi.dll ships, never the simulator.
install(TARGETS Ovrix hidapi RUNTIME DESTINATION . LIBRARY DESTINATION . ARCHIVE EXCLUDE_FROM_ALL)
if(TARGET Dravik)
    install(TARGETS Dravik RUNTIME DESTINATION .)
endif()
# Both builds of the sensor server are the same program; the launcher picks the folder by Windows version.
install(TARGETS Senmora RUNTIME DESTINATION Halvorn)
install(TARGETS Senmora RUNTIME DESTINATION HalvornWin7)
install(DIRECTORY "${CMAKE_SOURCE_DIR}/skins/theme1/" DESTINATION skins/theme1 FILES_MATCHING PATTERN "*.png" PATTERN "*.ico")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Dravik)
set(CPACK_PACKAGE_VERSION "${DRAVIK_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Dravik-${DRAVIK_VERSION}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
