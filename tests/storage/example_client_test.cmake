# Installs the build into a fresh prefix, builds the example client with find_package(Qfstore)
# and runs it; fails unless it prints the library's version.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja
                        -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
                        "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
    message(FATAL_ERROR "configure failed: ${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
    message(FATAL_ERROR "build failed: ${out}")
endif()
execute_process(COMMAND ${WORK_DIR}/build/qfstore_example
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc OR NOT out STREQUAL "Qfstore - 1.2.3\nQfstore - 1.2.3\nModule: QfstoreStdInterface - 1.1\n")
    message(FATAL_ERROR "example client: rc=${rc} out=[${out}] err=[${err}]")
endif()
