#include "context_registers.h"

#include <cstring>

namespace xtb {

void RegistersOf(const CONTEXT& context, greg_t* r) {
  std::memset(r, 0, sizeof(greg_t) * NGREG);
  r[REG_RAX] = static_cast<greg_t>(context.Rax), r[REG_RBX] = static_cast<greg_t>(context.Rbx);
  r[REG_RCX] = static_cast<greg_t>(context.Rcx), r[REG_RDX] = static_cast<greg_t>(context.Rdx);
  r[REG_RSI] = static_cast<greg_t>(context.Rsi), r[REG_RDI] = static_cast<greg_t>(context.Rdi);
  r[REG_R8] = static_cast<greg_t>(context.R8), r[REG_R9] = static_cast<greg_t>(context.R9);
  r[REG_R10] = static_cast<greg_t>(context.R10), r[REG_R11] = static_cast<greg_t>(context.R11);
  r[REG_R12] = static_cast<greg_t>(context.R12), r[REG_R13] = static_cast<greg_t>(context.R13);
  r[REG_R14] = static_cast<greg_t>(context.R14), r[REG_R15] = static_cast<greg_t>(context.R15);
  r[REG_RIP] = static_cast<greg_t>(context.Rip), r[REG_RSP] = static_cast<greg_t>(context.Rsp);
  r[REG_RBP] = static_cast<greg_t>(context.Rbp), r[REG_EFL] = static_cast<greg_t>(context.EFlags);
  r[REG_CSGSFS] = static_cast<greg_t>(context.SegCs | (static_cast<uint64_t>(context.SegGs) << 16) |
                                      (static_cast<uint64_t>(context.SegFs) << 32));
}

}  // namespace xtb
