# The tool test runs the xtbasis program.
add_dependencies(test_teeth xtbasis_tool)
