include(GoogleTest)

# dravik_gtest(target SOURCES ... [LIBRARIES ...] [RESOURCE_LOCK name] [OUTPUT_DIRECTORY dir])
# Windows tests run under Wine through the cross-compiling emulator. Tests are discovered from the binary, never
# parsed from the source: <windows.h> macros rename test names such as CreateWindow.
# Tests that touch session-wide names (the shared record, the registry key, the mutex) take a RESOURCE_LOCK so that
# a parallel ctest never runs two of them at once.
function(dravik_gtest target)
    cmake_parse_arguments(ARG "" "RESOURCE_LOCK;OUTPUT_DIRECTORY" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
    if(ARG_OUTPUT_DIRECTORY)
        set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ARG_OUTPUT_DIRECTORY}")
    endif()
    set(properties TIMEOUT 180)
    if(ARG_RESOURCE_LOCK)
        list(APPEND properties RESOURCE_LOCK ${ARG_RESOURCE_LOCK})
    endif()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 120 DISCOVERY_MODE PRE_TEST PROPERTIES ${properties})
endfunction()
