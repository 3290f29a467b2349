# The crash tests run a program of their own that crashes on purpose:
# tests/app/child/ builds crash_child, not test_app. It is built without
# optimisation so that its parameters and lines are what the source says.
get_target_property(app_test_sources test_app SOURCES)
list(FILTER app_test_sources EXCLUDE REGEX "/child/")
set_property(TARGET test_app PROPERTY SOURCES ${app_test_sources})

add_executable(crash_child ${CMAKE_CURRENT_LIST_DIR}/child/crash_child.cpp)
target_link_libraries(crash_child PRIVATE xtb_app xtb_threads)
# The same program as the suite's programs are built: against the shared
# library, whose frames and module list its dumps must show in a debugger.
add_executable(crash_child_shared ${CMAKE_CURRENT_LIST_DIR}/child/crash_child.cpp)
target_link_libraries(crash_child_shared PRIVATE xtbasis)
# Its faults must happen as written: no sanitizer checks in its own code.
target_compile_options(crash_child PRIVATE -O0 -g -fno-sanitize=all)
target_compile_options(crash_child_shared PRIVATE -O0 -g -fno-sanitize=all)
# Loaded by the stack-trace test after its first trace.
add_library(trace_plugin MODULE ${CMAKE_CURRENT_LIST_DIR}/child/trace_plugin.cpp)
target_compile_options(trace_plugin PRIVATE -O0 -g -fno-sanitize=all)
add_dependencies(test_app crash_child crash_child_shared trace_plugin xtbasis_crashhelper xtbasis_tool)
# The desktop tests share the virtual display of the platform tests; the
# assertion tests set the trace log's level.
xtb_test_uses(app tests/platform frame threads)
target_sources(test_app PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform/desktop_session.cpp)
target_compile_definitions(test_app PRIVATE
  XTB_CRASH_CHILD="$<TARGET_FILE:crash_child>"
  XTB_CRASH_CHILD_SHARED="$<TARGET_FILE:crash_child_shared>"
  XTB_TRACE_PLUGIN="$<TARGET_FILE:trace_plugin>"
  XTB_CRASH_HELPER="$<TARGET_FILE:xtbasis_crashhelper>"
  XTB_PRESENTER_PROBE="$<TARGET_FILE:presenter_probe>")
