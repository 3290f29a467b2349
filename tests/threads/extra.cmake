# The worker-thread tests check their trace records with the frame tests'
# fixture (which reaches the frame's trace settings); ParallelFor's pool
# ends with a CXTWinApp, so the application component comes in too.
target_link_libraries(test_threads PRIVATE xtb_app)
target_include_directories(test_threads PRIVATE ${PROJECT_SOURCE_DIR}/frame ${PROJECT_SOURCE_DIR}/tests/frame)
