#include "treebuilder.h"

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
  DocumentInput input(data, size);
  // What was read reaches the tree even when the parse failed.
  const auto parseAndFlush = [&input, &prefixes](TapeSink& sink) {
    TapeWriter writer(sink, prefixes, input);
    const HRESULT parsed = writer.Parse();
    const HRESULT flushed = writer.Flush();
    return FAILED(parsed) ? parsed : flushed;
  };
  HRESULT hr;
  if (size >= kAssemblyLineFrom && os::ProcessorCount() > 1) {
    hr = AssemblyLine(assembler).Run(parseAndFlush);
  } else {
    hr = parseAndFlush(assembler);
  }
  const HRESULT closed = assembler.CloseOpenElements();
  return FAILED(hr) ? hr : closed;
}

}  // namespace xtb::xml
