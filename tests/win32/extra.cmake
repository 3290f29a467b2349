# The kit's tests are written as ported programs are: they include the
# stand-in system headers by their Windows names.
target_link_libraries(test_win32 PRIVATE xtbasis_win32_headers)
