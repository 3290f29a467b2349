# Tests reach the component's internal headers (the pool with a chosen
# number of workers) and the frame tests' fixture for trace records, and
# run the xtbasis program as a second process.
target_include_directories(test_ipc PRIVATE ${PROJECT_SOURCE_DIR}/ipc ${PROJECT_SOURCE_DIR}/frame
  ${PROJECT_SOURCE_DIR}/tests/frame ${PROJECT_SOURCE_DIR})
# The ThreadSanitizer build makes the thread and region tests only, without
# the program; its tool test is left out there.
if(NOT XTBASIS_SANITIZE MATCHES "thread")
  add_dependencies(test_ipc xtbasis_tool)
endif()
