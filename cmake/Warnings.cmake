# Warnings for every target of the project, as errors when GEARSHEET_WERROR is on.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                       -Wsign-conversion -Wswitch-enum $<$<BOOL:${GEARSHEET_WERROR}>:-Werror>)
