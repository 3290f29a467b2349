# Tests reach the component's internal headers; the desktop tests share the
# virtual display of the platform tests.
target_include_directories(test_app PRIVATE ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/tests/platform)
target_sources(test_app PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform/desktop_session.cpp)
target_compile_definitions(test_app PRIVATE XTB_PRESENTER_PROBE="$<TARGET_FILE:presenter_probe>")
