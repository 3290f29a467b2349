# Tests reach the component's internal headers.
target_include_directories(test_security PRIVATE ${PROJECT_SOURCE_DIR}/security)
# The tool tests run the xtbasis program.
add_dependencies(test_security xtbasis_tool)
