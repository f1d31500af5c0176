# The main window's widget tests: through the store the program loads and the dialog seam.
include(${PROJECT_SOURCE_DIR}/tests/calculator/errorreport/QtTests.cmake)
add_executable(main_form_test ${CMAKE_CURRENT_LIST_DIR}/main_form_test.cpp)
set_target_properties(main_form_test PROPERTIES AUTOMOC ON)
target_include_directories(main_form_test PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/calculator/errorreport ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(main_form_test PRIVATE mainwindow Qt6::Test project_warnings)
target_compile_definitions(main_form_test PRIVATE
    QFSTORE_LIBRARY_PATH="$<TARGET_FILE:qfstore>"
    SHIPPED_SETTINGS="${PROJECT_SOURCE_DIR}/calculator/data/Gearsheet.INI")
add_dependencies(main_form_test qfstore)
gearsheet_add_qt_tests(main_form_test ${CMAKE_CURRENT_LIST_DIR}/main_form_test.cpp)
