# Tests reach the component's internal headers.
target_include_directories(test_app PRIVATE ${PROJECT_SOURCE_DIR}/app)
