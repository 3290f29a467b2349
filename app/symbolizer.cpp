#include "symbolizer.h"

#include <cxxabi.h>
#include <elfutils/libdwfl.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace xtb {
namespace {

const Dwfl_Callbacks kProcessCallbacks = {
    dwfl_linux_proc_find_elf, dwfl_standard_find_debuginfo, nullptr, nullptr,
};

std::string Demangled(const char* name) {
  int status = 0;
  std::unique_ptr<char, decltype(&free)> plain(abi::__cxa_demangle(name, nullptr, nullptr, &status), &free);
  return status == 0 && plain ? std::string(plain.get()) : std::string(name);
}

}  // namespace

Symbolizer::Symbolizer(pid_t pid) : m_pid(pid), m_dwfl(dwfl_begin(&kProcessCallbacks)) { Refresh(); }

Symbolizer::~Symbolizer() {
  if (m_dwfl != nullptr) dwfl_end(m_dwfl);
}

void Symbolizer::Refresh() {
  if (m_dwfl == nullptr) return;
  dwfl_report_begin(m_dwfl);
  m_ready = dwfl_linux_proc_report(m_dwfl, m_pid) == 0;
  dwfl_report_end(m_dwfl, nullptr, nullptr);
}

bool Symbolizer::Covers(uint64_t address) const {
  return m_ready && dwfl_addrmodule(m_dwfl, address) != nullptr;
}

void Symbolizer::Describe(StackFrame& frame, bool isReturnAddress) const {
  if (!m_ready) return;
  const Dwarf_Addr lookup = isReturnAddress && frame.address > 0 ? frame.address - 1 : frame.address;
  Dwfl_Module* module = dwfl_addrmodule(m_dwfl, lookup);
  if (module == nullptr) return;
  const char* moduleName = dwfl_module_info(module, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  frame.module = moduleName != nullptr ? moduleName : "";
  GElf_Off offset = 0;
  GElf_Sym symbol;
  const char* name = dwfl_module_addrinfo(module, lookup, &offset, &symbol, nullptr, nullptr, nullptr);
  if (name != nullptr) {
    frame.function = Demangled(name);
    frame.displacement = frame.address - (lookup - offset);
  }
  Dwarf_Addr inSection = lookup;
  Dwarf_Addr bias = 0;
  if (Elf_Scn* section = dwfl_module_address_section(module, &inSection, &bias)) {
    frame.section = static_cast<int>(elf_ndxscn(section));
    frame.sectionOffset = inSection;
  }
  if (Dwfl_Line* line = dwfl_module_getsrc(module, lookup)) {
    int number = 0;
    const char* file = dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr);
    if (file != nullptr) {
      frame.sourceFile = file;
      frame.line = static_cast<unsigned>(number);
    }
    return;
  }
  Dwarf_Die storage;
  Dwarf_Addr unitBias = 0;
  Dwarf_Die* unit = FindCompileUnit(module, lookup, storage, unitBias);
  Dwarf_Line* line = unit != nullptr ? dwarf_getsrc_die(unit, lookup - unitBias) : nullptr;
  int number = 0;
  const char* file = line != nullptr ? dwarf_linesrc(line, nullptr, nullptr) : nullptr;
  if (file != nullptr && dwarf_lineno(line, &number) == 0) {
    frame.sourceFile = file;
    frame.line = static_cast<unsigned>(number);
  }
}

Dwarf_Die* FindCompileUnit(Dwfl_Module* module, Dwarf_Addr lookup, Dwarf_Die& storage, Dwarf_Addr& bias) {
  if (Dwarf_Die* unit = dwfl_module_addrdie(module, lookup, &bias)) return unit;
  Dwarf* dwarf = dwfl_module_getdwarf(module, &bias);
  if (dwarf == nullptr) return nullptr;
  Dwarf_Off offset = 0, next = 0;
  size_t headerSize = 0;
  while (dwarf_next_unit(dwarf, offset, &next, &headerSize, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) ==
         0) {
    if (dwarf_offdie(dwarf, offset + headerSize, &storage) != nullptr && dwarf_haspc(&storage, lookup - bias) == 1) {
      return &storage;
    }
    offset = next;
  }
  return nullptr;
}

}  // namespace xtb
