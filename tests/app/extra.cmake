target_include_directories(test_app PRIVATE ${PROJECT_SOURCE_DIR}/app)
