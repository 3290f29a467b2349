# The kit's tests are written as ported programs are: they include the
# stand-in system headers by their Windows names, and are compiled as such a
# program is, with no precompiled header ahead of them.
target_link_libraries(test_win32 PRIVATE xtbasis_win32_headers)
set_target_properties(test_win32 PROPERTIES DISABLE_PRECOMPILE_HEADERS ON)

# Programs linked as a porter links them (xtbasis::win32, with its entry
# archive) that the entry-point and worker tests run: tests/win32/programs/
# builds them, not test_win32.
get_target_property(win32_test_sources test_win32 SOURCES)
list(FILTER win32_test_sources EXCLUDE REGEX "/programs/")
set_property(TARGET test_win32 PROPERTY SOURCES ${win32_test_sources})
foreach(program app_without_main app_own_main worker_at_exit)
  add_executable(${program} ${CMAKE_CURRENT_LIST_DIR}/programs/${program}.cpp)
  target_link_libraries(${program} PRIVATE xtbasis::win32)
  add_dependencies(test_win32 ${program})
endforeach()
target_compile_definitions(test_win32 PRIVATE
  XTB_APP_WITHOUT_MAIN="$<TARGET_FILE:app_without_main>"
  XTB_APP_OWN_MAIN="$<TARGET_FILE:app_own_main>"
  XTB_WORKER_AT_EXIT="$<TARGET_FILE:worker_at_exit>")
