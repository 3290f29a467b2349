# The desktop presenter tests drive a program of their own on a virtual
# display: tests/platform/probe/ builds presenter_probe, not test_platform.
get_target_property(platform_test_sources test_platform SOURCES)
list(FILTER platform_test_sources EXCLUDE REGEX "/probe/")
set_property(TARGET test_platform PROPERTY SOURCES ${platform_test_sources})

add_executable(presenter_probe ${CMAKE_CURRENT_LIST_DIR}/probe/presenter_probe.cpp)
target_link_libraries(presenter_probe PRIVATE xtb_platform)
add_dependencies(test_platform presenter_probe)
target_compile_definitions(test_platform PRIVATE XTB_PRESENTER_PROBE="$<TARGET_FILE:presenter_probe>")
