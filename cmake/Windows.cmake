# Cross build for Windows. Every program and DLL carries its own C and C++ runtime: the shared mingw runtime DLLs
# are not found under Wine.
add_compile_options(-Wall -Wextra)
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bin")
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib")

set(DRAVIK_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;--prefix;${DRAVIK_WINE_PREFIX}")

# GoogleTest from Debian's sources, built for Windows.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

# hidapi, built as the DLL that hidapi's own Windows builds ship. The display simulator stands in for it.
# Its own folder keeps it out of the definitions below.
set(DRAVIK_HIDAPI_DIR "${DRAVIK_DEPS_DIR}/hidapi")
add_subdirectory(cmake/hidapi "${CMAKE_BINARY_DIR}/hidapi")

# Our own code; hidapi above keeps its own settings.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
