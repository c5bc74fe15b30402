# Writes the installer's file lists from a staged install: installed-files.nsh puts every staged file in place,
# removed-files.nsh deletes exactly those files and then their folders, deepest first, if they are left empty.
# The uninstaller thus never removes anything it did not install.
#   cmake -D STAGE=<staged install> -D OUTPUT=<folder for the lists> -P ListInstalledFiles.cmake
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${STAGE}" "${STAGE}/*")
if(NOT files)
    message(FATAL_ERROR "Nothing was staged in ${STAGE}")
endif()
list(SORT files)

set(installed "")
set(removed "")
set(folders "")
set(current_folder "-")
foreach(file IN LISTS files)
    # NSIS expands $ in strings and a quote would end one.
    if(file MATCHES "[$\"]")
        message(FATAL_ERROR "Cannot package a file whose name holds $ or a double quote: ${file}")
    endif()
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    string(REPLACE "/" "\\" windows_folder "${folder}")
    if(NOT folder STREQUAL current_folder)
        set(current_folder "${folder}")
        if(folder STREQUAL "")
            string(APPEND installed "SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND installed "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
            # Every folder on the way, so that parents are removed after their children.
            set(walk "${folder}")
            while(NOT walk STREQUAL "")
                list(APPEND folders "${walk}")
                get_filename_component(walk "${walk}" DIRECTORY)
            endwhile()
        endif()
    endif()
    string(APPEND installed "File \"${STAGE}/${file}\"\n")
    string(APPEND removed "Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()

list(REMOVE_DUPLICATES folders)
# Reverse order sorts children ("skins/theme1") before their parents ("skins").
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    string(REPLACE "/" "\\" windows_folder "${folder}")
    string(APPEND removed "RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()

file(MAKE_DIRECTORY "${OUTPUT}")
file(WRITE "${OUTPUT}/installed-files.nsh" "${installed}")
file(WRITE "${OUTPUT}/removed-files.nsh" "${removed}")
