# The demo tests run copies of the tool and the library as another account.
target_compile_definitions(test_tools PRIVATE
  XTB_LIBRARY_PATH="$<TARGET_FILE:xtbasis>"
  XTB_LIBRARY_SONAME="$<TARGET_SONAME_FILE_NAME:xtbasis>")
