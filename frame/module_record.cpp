// The library's own module record, registered when the library is loaded,
// before any other initialisation of the library runs.
#include <xtbasis/platform/module.h>
#include <xtbasis/resstrings.h>

#include "stringtable.h"

HINSTANCE g_hInst_XTBasis = nullptr;

namespace {

__attribute__((constructor(101))) void RegisterLibraryModule() {
  XTModuleResources resources;
  resources.name = "xtbasis";
  resources.strings = xtb::kXTBasisStrings;
  resources.stringCount = xtb::kXTBasisStringCount;
  g_hInst_XTBasis = XTRegisterModule(resources);
}

}  // namespace
