# The folder dialog is driven on a virtual display with the presenter tests' session helper;
# its screenshot is kept in artefacts/ of the build tree.
target_sources(test_files PRIVATE ${PROJECT_SOURCE_DIR}/tests/platform/desktop_session.cpp)
xtb_test_uses(files tests/platform)
target_compile_definitions(test_files PRIVATE XTB_PRESENTER_PROBE="$<TARGET_FILE:presenter_probe>"
  XTB_ARTEFACT_DIR="${PROJECT_BINARY_DIR}/artefacts")
