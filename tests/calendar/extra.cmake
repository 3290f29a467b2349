# Tests reach the component's internal headers.
target_include_directories(test_calendar PRIVATE ${PROJECT_SOURCE_DIR}/calendar)
# The tool test runs the xtbasis program.
add_dependencies(test_calendar xtbasis_tool)
