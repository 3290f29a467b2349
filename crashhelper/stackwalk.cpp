#include "stackwalk.h"

#include <dwarf.h>
#include <elfutils/libdw.h>
#include <elfutils/libdwfl.h>

#include <cstring>
#include <map>
#include <utility>
#include <xtbasis/platform/cstring.h>

namespace xtb {
namespace {

// DWARF numbers the x86-64 registers rax, rdx, rcx, rbx, rsi, rdi, rbp, rsp,
// r8..r15, then the return address (rip).
constexpr int kDwarfOrder[17] = {REG_RAX, REG_RDX, REG_RCX, REG_RBX, REG_RSI, REG_RDI, REG_RBP, REG_RSP, REG_R8,
                                 REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15, REG_RIP};
constexpr unsigned kDwarfStackPointer = 7;

// What a code address gives, whichever frame stands there: its names and
// its function's DWARF entry. A deep recursion (a stack overflow's
// thousands of frames at a handful of addresses) looks each up once.
struct PlaceFacts {
  StackFrame names;
  bool haveFunction = false;
  Dwarf_Die function{};
  Dwarf_Addr bias = 0;
};

struct WalkState {
  pid_t tid;
  const greg_t* registers;
  const MemoryReader* memory;
  const Symbolizer* symbolizer;
  bool withVariables;
  size_t maxFrames;
  std::vector<StackFrame> frames;
  std::map<std::pair<Dwarf_Addr, bool>, PlaceFacts> places;  // by address and whether it is an activation
};

pid_t NextThread(Dwfl*, void* arg, void** threadArg) {
  if (*threadArg != nullptr) return 0;
  *threadArg = arg;
  return static_cast<WalkState*>(arg)->tid;
}

bool ReadMemory(Dwfl*, Dwarf_Addr address, Dwarf_Word* result, void* arg) {
  return (*static_cast<WalkState*>(arg)->memory)(address, result, sizeof *result);
}

bool SetInitialRegisters(Dwfl_Thread* thread, void* arg) {
  const greg_t* registers = static_cast<WalkState*>(arg)->registers;
  Dwarf_Word values[17];
  for (int i = 0; i < 17; ++i) values[i] = static_cast<Dwarf_Word>(registers[kDwarfOrder[i]]);
  return dwfl_thread_state_registers(thread, 0, 17, values);
}

const Dwfl_Thread_Callbacks kThreadCallbacks = {NextThread, nullptr, ReadMemory, SetInitialRegisters, nullptr,
                                                nullptr};

// The register `regno` of the frame, or the value of a DWARF location
// operation of the register forms (DW_OP_bregN offset).
bool FrameRegister(Dwfl_Frame* frame, unsigned regno, Dwarf_Word& value) {
  return dwfl_frame_reg(frame, regno, &value) == 0;
}

// The value of a register-relative operation (DW_OP_bregN offset,
// DW_OP_bregx register offset) in the frame.
bool RegisterPlusOffset(Dwfl_Frame* frame, const Dwarf_Op& op, Dwarf_Word& value) {
  unsigned regno = 0;
  int64_t offset = 0;
  if (op.atom >= DW_OP_breg0 && op.atom <= DW_OP_breg31) {
    regno = op.atom - DW_OP_breg0;
    offset = static_cast<int64_t>(op.number);
  } else if (op.atom == DW_OP_bregx) {
    regno = static_cast<unsigned>(op.number);
    offset = static_cast<int64_t>(op.number2);
  } else {
    return false;
  }
  if (!FrameRegister(frame, regno, value)) return false;
  value += offset;
  return true;
}

// The frame's canonical frame address from the module's call-frame
// information.
bool CanonicalFrameAddress(Dwfl_Module* module, Dwfl_Frame* frame, Dwarf_Addr lookup, Dwarf_Word& cfa) {
  for (int kind = 0; kind < 2; ++kind) {
    Dwarf_Addr bias = 0;
    Dwarf_CFI* cfi = kind == 0 ? dwfl_module_eh_cfi(module, &bias) : dwfl_module_dwarf_cfi(module, &bias);
    if (cfi == nullptr) continue;
    Dwarf_Frame* rule = nullptr;
    if (dwarf_cfi_addrframe(cfi, lookup - bias, &rule) != 0) continue;
    Dwarf_Op* ops = nullptr;
    size_t count = 0;
    bool found = false;
    if (dwarf_frame_cfa(rule, &ops, &count) == 0 && count == 1) found = RegisterPlusOffset(frame, ops[0], cfa);
    free(rule);
    if (found) return true;
  }
  return false;
}

std::string TypeName(Dwarf_Die* type) {
  if (type == nullptr) return "void";
  Dwarf_Attribute attribute;
  Dwarf_Die inner;
  Dwarf_Die* next = dwarf_formref_die(dwarf_attr_integrate(type, DW_AT_type, &attribute), &inner);
  switch (dwarf_tag(type)) {
    case DW_TAG_pointer_type: return TypeName(next) + " *";
    case DW_TAG_reference_type: return TypeName(next) + " &";
    case DW_TAG_const_type: return "const " + TypeName(next);
    case DW_TAG_volatile_type: return "volatile " + TypeName(next);
    default: {
      const char* name = dwarf_diename(type);
      return name != nullptr ? name : "?";
    }
  }
}

bool IsCharacter(Dwarf_Die* type) {
  Dwarf_Die peeled;
  if (type == nullptr || dwarf_peel_type(type, &peeled) != 0 || dwarf_tag(&peeled) != DW_TAG_base_type) return false;
  Dwarf_Attribute attribute;
  Dwarf_Word encoding = 0;
  if (dwarf_formudata(dwarf_attr(&peeled, DW_AT_encoding, &attribute), &encoding) != 0) return false;
  return encoding == DW_ATE_signed_char || encoding == DW_ATE_unsigned_char;
}

// " = value" by the variable's size and basic type; false when its memory
// cannot be read.
bool FormatValue(std::string& line, Dwarf_Die* type, const std::string& typeName, uint64_t address,
                 const MemoryReader& memory) {
  Dwarf_Die peeled;
  if (type == nullptr || dwarf_peel_type(type, &peeled) != 0) return true;
  Dwarf_Word size = 0;
  if (dwarf_aggregate_size(&peeled, &size) != 0) return true;
  bool isFloat = false, isCharPointer = false;
  if (dwarf_tag(&peeled) == DW_TAG_base_type) {
    Dwarf_Attribute attribute;
    Dwarf_Word encoding = 0;
    isFloat = dwarf_formudata(dwarf_attr(&peeled, DW_AT_encoding, &attribute), &encoding) == 0 &&
              encoding == DW_ATE_float;
  } else if (dwarf_tag(&peeled) == DW_TAG_pointer_type) {
    Dwarf_Attribute attribute;
    Dwarf_Die pointee;
    isCharPointer = IsCharacter(dwarf_formref_die(dwarf_attr_integrate(&peeled, DW_AT_type, &attribute), &pointee));
  }
  // The library's string class holds its text behind its first member.
  if (CString(typeName.c_str()).CompareNoCase("CString") == 0) {
    size = 8;
    isCharPointer = true;
  }
  unsigned char bytes[8] = {};
  if (size != 1 && size != 2 && size != 4 && size != 8) return true;
  if (!memory(address, bytes, size)) return false;
  uint64_t value = 0;
  std::memcpy(&value, bytes, size);
  if (size == 4 && isFloat) {
    float number;
    std::memcpy(&number, bytes, 4);
    AppendReportText(line, " = %f", static_cast<double>(number));
  } else if (size == 8 && isFloat) {
    double number;
    std::memcpy(&number, bytes, 8);
    AppendReportText(line, " = %lf", number);
  } else if (size == 8 && isCharPointer) {
    char text[129] = {};
    if (memory(value, text, 128)) {
      AppendReportText(line, " = \"%.127s\"", text);
    } else {
      AppendReportText(line, " = %llX", static_cast<unsigned long long>(value));
    }
  } else {
    if (size == 8) {
      AppendReportText(line, " = %llX", static_cast<unsigned long long>(value));
    } else {
      AppendReportText(line, " = %X", static_cast<unsigned>(value));
    }
  }
  return true;
}

// Where a location expression of one operation puts the variable; false for
// a variable held in a register or described by anything longer.
bool VariableAddress(const Dwarf_Op* ops, size_t count, Dwfl_Frame* frame, Dwarf_Addr bias, bool haveFrameBase,
                     Dwarf_Word frameBase, uint64_t& address) {
  if (count != 1) return false;
  const Dwarf_Op& op = ops[0];
  if (op.atom == DW_OP_fbreg && haveFrameBase) {
    address = frameBase + static_cast<int64_t>(op.number);
    return true;
  }
  if (op.atom == DW_OP_addr) {
    address = op.number + bias;
    return true;
  }
  Dwarf_Word value = 0;
  if (!RegisterPlusOffset(frame, op, value)) return false;
  address = value;
  return true;
}


// The function whose code holds `pc`, searched through namespaces and
// classes (compilers differ in where they put a definition).
bool FindFunction(Dwarf_Die* parent, Dwarf_Addr pc, Dwarf_Die& function) {
  Dwarf_Die child;
  if (dwarf_child(parent, &child) != 0) return false;
  do {
    switch (dwarf_tag(&child)) {
      case DW_TAG_subprogram:
        if (dwarf_haspc(&child, pc) == 1) {
          function = child;
          return true;
        }
        break;
      case DW_TAG_namespace:
      case DW_TAG_class_type:
      case DW_TAG_structure_type:
      case DW_TAG_union_type:
        if (FindFunction(&child, pc, function)) return true;
        break;
      default:
        break;
    }
  } while (dwarf_siblingof(&child, &child) == 0);
  return false;
}

struct VariableScope {
  Dwfl_Frame* frame;
  Dwarf_Addr pc;    // in the module's own addresses
  Dwarf_Addr bias;
  bool haveFrameBase;
  Dwarf_Word frameBase;
  const MemoryReader* memory;
};

// The function's frame base, for variables addressed relative to it.
bool FrameBase(Dwarf_Die* function, Dwfl_Frame* frame, Dwarf_Addr pc, bool haveCfa, Dwarf_Word cfa,
               Dwarf_Word& base) {
  Dwarf_Attribute attribute;
  Dwarf_Op* ops = nullptr;
  size_t count = 0;
  if (dwarf_attr_integrate(function, DW_AT_frame_base, &attribute) == nullptr ||
      dwarf_getlocation_addr(&attribute, pc, &ops, &count, 1) <= 0 || count != 1) {
    return false;
  }
  if (ops[0].atom == DW_OP_call_frame_cfa) {
    base = cfa;
    return haveCfa;
  }
  // A register itself is the base (clang names the frame pointer).
  if (ops[0].atom >= DW_OP_reg0 && ops[0].atom <= DW_OP_reg31) return FrameRegister(frame, ops[0].atom - DW_OP_reg0, base);
  return RegisterPlusOffset(frame, ops[0], base);
}

// The parameters and locals of `scope`, then those of its blocks that hold
// the address.
void CollectScope(StackFrame& out, Dwarf_Die* scope, const VariableScope& where) {
  Dwarf_Die child;
  if (dwarf_child(scope, &child) != 0) return;
  do {
    const int tag = dwarf_tag(&child);
    if (tag == DW_TAG_lexical_block) {
      if (dwarf_haspc(&child, where.pc) == 1) CollectScope(out, &child, where);
      continue;
    }
    if (tag != DW_TAG_formal_parameter && tag != DW_TAG_variable) continue;
    const char* name = dwarf_diename(&child);
    Dwarf_Attribute location;
    Dwarf_Op* ops = nullptr;
    size_t opCount = 0;
    uint64_t address = 0;
    if (name == nullptr || dwarf_attr_integrate(&child, DW_AT_location, &location) == nullptr ||
        dwarf_getlocation_addr(&location, where.pc, &ops, &opCount, 1) <= 0 ||
        !VariableAddress(ops, opCount, where.frame, where.bias, where.haveFrameBase, where.frameBase, address)) {
      continue;
    }
    std::string line = tag == DW_TAG_formal_parameter ? "Parameter " : "Local ";
    AppendReportText(line, "'%s'", name);
    Dwarf_Attribute typeAttribute;
    Dwarf_Die typeDie;
    Dwarf_Die* type = dwarf_formref_die(dwarf_attr_integrate(&child, DW_AT_type, &typeAttribute), &typeDie);
    const std::string typeName = type != nullptr ? TypeName(type) : std::string();
    if (!typeName.empty()) AppendReportText(line, " %s", typeName.c_str());
    if (!FormatValue(line, type, typeName, address, *where.memory)) {
      line.clear();
      AppendReportText(line, "punting on symbol %s", name);
    }
    out.variables.push_back(std::move(line));
  } while (dwarf_siblingof(&child, &child) == 0);
}

// The function entry of `lookup` in `module`, into `place`.
void FindPlaceFunction(PlaceFacts& place, Dwfl_Module* module, Dwarf_Addr lookup) {
  Dwarf_Die storage;
  Dwarf_Die* unit = FindCompileUnit(module, lookup, storage, place.bias);
  place.haveFunction = unit != nullptr && FindFunction(unit, lookup - place.bias, place.function);
}

void CollectVariables(StackFrame& out, PlaceFacts& place, Dwfl_Frame* frame, Dwarf_Addr lookup, Dwarf_Word cfa,
                      bool haveCfa, const MemoryReader& memory) {
  if (!place.haveFunction) return;
  VariableScope where{frame, lookup - place.bias, place.bias, false, 0, &memory};
  where.haveFrameBase = FrameBase(&place.function, frame, where.pc, haveCfa, cfa, where.frameBase);
  CollectScope(out, &place.function, where);
}

int OnFrame(Dwfl_Frame* frame, void* arg) {
  WalkState& state = *static_cast<WalkState*>(arg);
  Dwarf_Addr pc = 0;
  bool isActivation = false;
  if (!dwfl_frame_pc(frame, &pc, &isActivation)) return DWARF_CB_ABORT;
  const Dwarf_Addr lookup = isActivation ? pc : pc - 1;
  Dwfl_Module* module = dwfl_addrmodule(dwfl_thread_dwfl(dwfl_frame_thread(frame)), lookup);
  const auto [known, isNew] = state.places.try_emplace({pc, isActivation});
  PlaceFacts& place = known->second;
  if (isNew) {
    place.names.address = pc;
    state.symbolizer->Describe(place.names, !isActivation);
    if (state.withVariables && module != nullptr) FindPlaceFunction(place, module, lookup);
  }
  StackFrame out = place.names;
  Dwarf_Word cfa = 0;
  const bool haveCfa = module != nullptr && CanonicalFrameAddress(module, frame, lookup, cfa);
  if (haveCfa) {
    out.frameAddress = cfa;
  } else {
    Dwarf_Word sp = 0;
    if (FrameRegister(frame, kDwarfStackPointer, sp)) out.frameAddress = sp;
  }
  if (state.withVariables) CollectVariables(out, place, frame, lookup, cfa, haveCfa, *state.memory);
  state.frames.push_back(std::move(out));
  return state.frames.size() >= state.maxFrames ? DWARF_CB_ABORT : DWARF_CB_OK;
}

}  // namespace

std::vector<StackFrame> WalkThread(Symbolizer& symbols, pid_t tid, const greg_t* registers,
                                   const MemoryReader& memory, bool withVariables, size_t maxFrames) {
  WalkState state{tid, registers, &memory, &symbols, withVariables, maxFrames, {}, {}};
  Dwfl* session = symbols.Session();
  if (!symbols.IsReady() || !dwfl_attach_state(session, nullptr, symbols.Process(), &kThreadCallbacks, &state)) {
    return {};
  }
  dwfl_getthread_frames(session, tid, OnFrame, &state);
  return std::move(state.frames);
}

}  // namespace xtb
