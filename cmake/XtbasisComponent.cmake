# xtb_add_component(<name> [OUTSIDE_LIBRARY] [DEPENDS <components/targets>...] [LIBS <private libs>...])
#
# Builds every .cpp of the calling folder (recursively) into the static
# library xtb_<name>. Components are folded whole into libxtbasis.so, but
# one marked OUTSIDE_LIBRARY, which only the programs that link it carry (the
# crash helper's); tests, benchmarks and fuzz targets link the components
# they need directly, so they can reach internal functions too.
function(xtb_add_component name)
  cmake_parse_arguments(ARG "OUTSIDE_LIBRARY" "" "DEPENDS;LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A folder whose first sources are still to come.
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/xtb_${name}_empty.cpp)
    file(WRITE ${sources} "")
  endif()
  add_library(xtb_${name} STATIC ${sources})
  target_include_directories(xtb_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(xtb_${name} PUBLIC xtb_headers ${ARG_DEPENDS} ${ARG_LIBS})
  if(NOT ARG_OUTSIDE_LIBRARY)
    set_property(GLOBAL APPEND PROPERTY XTB_COMPONENTS xtb_${name})
  endif()
endfunction()

# The shared library: every component linked whole, so each exported name
# is in libxtbasis.so.1 whether or not another component uses it.
function(xtb_add_shared_library)
  get_property(components GLOBAL PROPERTY XTB_COMPONENTS)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/xtbasis_empty.cpp "")
  add_library(xtbasis SHARED ${CMAKE_CURRENT_BINARY_DIR}/xtbasis_empty.cpp)
  add_library(xtbasis::xtbasis ALIAS xtbasis)
  set_target_properties(xtbasis PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  target_link_libraries(xtbasis
    PUBLIC $<BUILD_INTERFACE:xtb_headers>
    PRIVATE -Wl,--whole-archive ${components} -Wl,--no-whole-archive)
  if(NOT XTBASIS_SANITIZE)  # the sanitizer runtimes come with the executable
    target_link_options(xtbasis PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# Test, benchmark and fuzz programs name the component they exercise by
# the prefix of their file name: text_base64.cpp links xtb_text.
function(xtb_component_of_file file out)
  get_filename_component(stem ${file} NAME_WE)
  string(REGEX MATCH "^[a-z0-9]+" prefix ${stem})
  set(${out} xtb_${prefix} PARENT_SCOPE)
endfunction()
