# The program's version is the one given to project() in the top-level CMakeLists.txt. DRAVIK_VERSION builds another
# one from the same sources, e.g. -DDRAVIK_VERSION=1.0.0.3 for the next update.
set(DRAVIK_VERSION "" CACHE STRING "Version to build instead of the project's, four numbers such as 1.0.0.3; empty: the project's")
if(NOT DRAVIK_VERSION)
    set(DRAVIK_VERSION "${PROJECT_VERSION}")
endif()

# Four numbers fill the version resource. The update server's version document is used only when it holds 1 to 10
# characters, so a longer version could never be offered as an update.
if(NOT DRAVIK_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "Version '${DRAVIK_VERSION}' is not four dot-separated numbers")
endif()
set(DRAVIK_VERSION_NUMBERS "")
foreach(part IN ITEMS ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
    if(part GREATER 65535)
        message(FATAL_ERROR "Version '${DRAVIK_VERSION}': each number must fit 16 bits")
    endif()
    list(APPEND DRAVIK_VERSION_NUMBERS ${part})
endforeach()
string(LENGTH "${DRAVIK_VERSION}" version_length)
if(version_length GREATER 10)
    message(FATAL_ERROR "Version '${DRAVIK_VERSION}' is longer than the 10 characters an update check accepts")
endif()
list(JOIN DRAVIK_VERSION_NUMBERS ", " DRAVIK_VERSION_NUMBERS)

configure_file("${CMAKE_CURRENT_LIST_DIR}/ProgramVersion.h.in" "${CMAKE_BINARY_DIR}/generated/ProgramVersion.h" @ONLY)
add_library(program_version INTERFACE)
target_include_directories(program_version INTERFACE "${CMAKE_BINARY_DIR}/generated")
