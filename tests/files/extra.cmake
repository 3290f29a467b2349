# Tests reach the component's internal headers and share the tool runner of
# the security tests.
target_include_directories(test_files PRIVATE ${PROJECT_SOURCE_DIR}/files ${CMAKE_CURRENT_SOURCE_DIR}/security)
# The tool tests run the xtbasis program.
add_dependencies(test_files xtbasis_tool)
