# The mail tests run twice: as they start (mailslot mode) and switched to
# pipe mode. A probe program plays the other process; it is no test itself.
get_target_property(mail_test_sources test_mail SOURCES)
list(FILTER mail_test_sources EXCLUDE REGEX "/probe/")
set_property(TARGET test_mail PROPERTY SOURCES ${mail_test_sources})

add_executable(mail_probe ${CMAKE_CURRENT_LIST_DIR}/probe/mail_probe.cpp)
target_link_libraries(mail_probe PRIVATE xtb_mail)
add_dependencies(test_mail mail_probe xtbasis_tool)
target_compile_definitions(test_mail PRIVATE XTB_MAIL_PROBE="$<TARGET_FILE:mail_probe>")
gtest_discover_tests(test_mail DISCOVERY_MODE PRE_TEST TEST_PREFIX "pipes."
  PROPERTIES ENVIRONMENT XTB_MAIL_PIPES=1)

# The router tests run xtmaild in a network namespace of their own and read
# its configuration with the router's own reader.
target_link_libraries(test_mail PRIVATE xtmaild_core)
xtb_test_uses(mail tools/xtmaild)
add_dependencies(test_mail xtmaild)
target_compile_definitions(test_mail PRIVATE XTB_MAILD_PATH="$<TARGET_FILE:xtmaild>")
