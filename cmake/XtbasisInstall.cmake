include(CMakePackageConfigHelpers)

# What programs built against the installed library get: its headers, C++20
# (the headers need it), and passing a class such as CString through a
# program's own '...' as an error: g++ accepts it silently, clang warns.
target_include_directories(xtbasis INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
target_compile_features(xtbasis INTERFACE cxx_std_20)
target_compile_options(xtbasis INTERFACE
  $<INSTALL_INTERFACE:$<$<CXX_COMPILER_ID:GNU>:-Werror=conditionally-supported>>
  $<INSTALL_INTERFACE:$<$<CXX_COMPILER_ID:Clang>:-Werror=non-pod-varargs>>)

install(TARGETS xtbasis xtbasis_win32 EXPORT xtbasisTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/xtbasis DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT xtbasisTargets NAMESPACE xtbasis::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/xtbasis)

configure_package_config_file(cmake/xtbasisConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/xtbasisConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/xtbasis)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/xtbasisConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/xtbasisConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/xtbasisConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/xtbasis)

# The .pc file finds the prefix from its own place, so an installed tree can move.
file(RELATIVE_PATH XTBASIS_PC_UP /x/${CMAKE_INSTALL_LIBDIR}/pkgconfig /x)
foreach(module xtbasis xtbasis-win32)
  configure_file(cmake/${module}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${module}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# Made at boot by systemd-tmpfiles; see docs/architecture.md, Shared regions.
install(FILES cmake/xtbasis-regions.tmpfiles DESTINATION lib/tmpfiles.d RENAME xtbasis-regions.conf)
