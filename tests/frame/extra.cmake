# Tests reach the component's internal headers.
target_include_directories(test_frame PRIVATE ${PROJECT_SOURCE_DIR}/frame)
# The tool test runs the xtbasis program.
add_dependencies(test_frame xtbasis_tool)
