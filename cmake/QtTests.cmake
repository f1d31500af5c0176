# Registers every test function of a Qt Test program as its own CTest entry, run headless.
# The list comes from the built program itself (`-functions`, read after each build), so a test
# function is registered however its class declares it.
if(CMAKE_SCRIPT_MODE_FILE)
    # Post-build step: ask the program for its functions and write the CTest entries.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                            ASAN_OPTIONS=detect_leaks=0 ${EXE} -functions
                    OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${EXE} -functions failed (${status})")
    endif()
    string(REGEX MATCHALL "[A-Za-z0-9_]+\\(\\)" functions "${listing}")
    set(entries "")
    foreach(function IN LISTS functions)
        string(REPLACE "()" "" name ${function})
        string(APPEND entries "add_test([=[${TARGET}.${name}]=] [=[${EXE}]=] ${name})\n"
               "set_tests_properties([=[${TARGET}.${name}]=] PROPERTIES ENVIRONMENT "
               "[=[QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8]=])\n")
    endforeach()
    file(WRITE ${OUT} "${entries}")
    return()
endif()

set(GEARSHEET_QT_TESTS_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(gearsheet_add_qt_tests target)
    set(entries ${CMAKE_CURRENT_BINARY_DIR}/${target}_tests.cmake)
    set(loader ${CMAKE_CURRENT_BINARY_DIR}/${target}_include.cmake)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${target}> -DTARGET=${target}
                -DOUT=${entries} -P ${GEARSHEET_QT_TESTS_SCRIPT}
        BYPRODUCTS ${entries} VERBATIM)
    file(WRITE ${loader}
         "if(EXISTS [=[${entries}]=])\n  include([=[${entries}]=])\n"
         "else()\n  add_test([=[${target}_NOT_BUILT]=] [=[${target}_NOT_BUILT]=])\nendif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${loader})
endfunction()
