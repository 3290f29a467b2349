# Tests reach the component's internal headers.
target_include_directories(test_files PRIVATE ${PROJECT_SOURCE_DIR}/files)
# The tool tests run the xtbasis program.
add_dependencies(test_files xtbasis_tool)
