# Tests reach the component's internal headers and run the xtbasis program.
target_include_directories(test_app PRIVATE ${PROJECT_SOURCE_DIR}/app)
add_dependencies(test_app xtbasis_tool)
