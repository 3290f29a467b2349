#include "treebuilder.h"

#include <optional>
#include <system_error>

#include "assemblyline.h"
#include "elementreader.h"
#include "os/thread.h"
#include "saxdriver.h"
#include "treeassembler.h"

namespace xtb::xml {
namespace {

// Below this, starting a thread costs more than the overlap saves.
constexpr size_t kAssemblyLineFrom = 1u << 20;

}  // namespace

HRESULT BuildTree(const char* data, size_t size, CXTXMLElement& root, std::map<CString, CString>& prefixes) {
  TreeAssembler assembler(root);
  std::optional<AssemblyLine> line;
  if (size >= kAssemblyLineFrom && os::ProcessorCount() > 1) {
    try {
      line.emplace(assembler);
    } catch (const std::system_error&) {
      // no thread to spare: the tree is put together on this one
    }
  }
  ElementReader reader(line ? static_cast<ClosedElementSink&>(*line) : assembler, prefixes);
  HRESULT hr = ParseSax2(data, size, reader, nullptr);
  reader.CloseOpenElements();
  if (line) {
    const HRESULT assembled = line->Finish();
    if (SUCCEEDED(hr)) hr = assembled;
  }
  return hr;
}

}  // namespace xtb::xml
