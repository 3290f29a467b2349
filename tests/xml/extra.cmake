# The tool tests run the xtbasis program; the schema tests read tests/xml/data.
add_dependencies(test_xml xtbasis_tool)
