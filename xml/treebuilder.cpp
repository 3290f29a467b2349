#include "treebuilder.h"

#include <optional>
#include <system_error>

#include "assemblyline.h"
#include "os/thread.h"
#include "tapewriter.h"
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
  DocumentInput input(data, size);
  TapeWriter writer(line ? static_cast<TapeSink&>(*line) : assembler, prefixes, input);
  HRESULT hr = writer.Parse();
  // What was read reaches the tree even when the parse failed.
  const HRESULT flushed = writer.Flush();
  const HRESULT assembled = line ? line->Finish() : S_OK;
  const HRESULT closed = assembler.CloseOpenElements();
  for (const HRESULT step : {flushed, assembled, closed})
    if (SUCCEEDED(hr)) hr = step;
  return hr;
}

}  // namespace xtb::xml
