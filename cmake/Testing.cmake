include(GoogleTest)

# dravik_gtest(target SOURCES ... [LIBRARIES ...] [RESOURCE_LOCK name...] [OUTPUT_DIRECTORY dir])
# Windows tests run under Wine through the cross-compiling emulator. Tests are discovered from the binary, never
# parsed from the source: <windows.h> macros rename test names such as CreateWindow.
# Tests that touch session-wide state (the shared record, the registry key, the single-instance names, the mouse
# pointer, processes named like the sensor server) name it in RESOURCE_LOCK, so that a parallel ctest never runs two
# users of one resource at once.
function(dravik_gtest target)
    cmake_parse_arguments(ARG "" "OUTPUT_DIRECTORY" "SOURCES;LIBRARIES;RESOURCE_LOCK" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    if(ARG_OUTPUT_DIRECTORY)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}")
    endif()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 180)
    if(ARG_RESOURCE_LOCK)
        # Discovery flattens list-valued properties, so the locks are set by a script that runs after it, over the
        # list of tests it found.
        set(lock_script "${CMAKE_CURRENT_BINARY_DIR}/${target}_locks.cmake")
        file(WRITE "${lock_script}"
             "if(${target}_TESTS)\n"
             "    set_tests_properties(\${${target}_TESTS} PROPERTIES RESOURCE_LOCK \"${ARG_RESOURCE_LOCK}\")\n"
             "endif()\n")
        set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${lock_script}")
    endif()
endfunction()
