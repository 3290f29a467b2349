// RtlCaptureContext in assembly: only code that changes no register before
// saving it can hand the caller its registers as they were at the call.
#include <xtbasis/crashreport.h>

#include <cstddef>

// The offsets the assembly below writes to.
static_assert(offsetof(CONTEXT, ContextFlags) == 0 && offsetof(CONTEXT, SegCs) == 4 &&
              offsetof(CONTEXT, SegSs) == 14 && offsetof(CONTEXT, EFlags) == 16 && offsetof(CONTEXT, Rax) == 24 &&
              offsetof(CONTEXT, Rsp) == 56 && offsetof(CONTEXT, Rdi) == 80 && offsetof(CONTEXT, R8) == 88 &&
              offsetof(CONTEXT, R15) == 144 && offsetof(CONTEXT, Rip) == 152);
static_assert(CONTEXT_ALL == 0x100007u);

// rdi holds the context. The flags can only be read through the stack
// (pushfq), in the slot below the return address; rax, used for the
// computed values, is given back its own at the end.
asm(R"(
    .text
    .globl RtlCaptureContext
    .type RtlCaptureContext, @function
RtlCaptureContext:
    .cfi_startproc
    movq %rax, 24(%rdi)
    movq %rcx, 32(%rdi)
    movq %rdx, 40(%rdi)
    movq %rbx, 48(%rdi)
    leaq 8(%rsp), %rax
    movq %rax, 56(%rdi)
    movq %rbp, 64(%rdi)
    movq %rsi, 72(%rdi)
    movq %rdi, 80(%rdi)
    movq %r8, 88(%rdi)
    movq %r9, 96(%rdi)
    movq %r10, 104(%rdi)
    movq %r11, 112(%rdi)
    movq %r12, 120(%rdi)
    movq %r13, 128(%rdi)
    movq %r14, 136(%rdi)
    movq %r15, 144(%rdi)
    movq (%rsp), %rax
    movq %rax, 152(%rdi)
    pushfq
    .cfi_adjust_cfa_offset 8
    popq %rax
    .cfi_adjust_cfa_offset -8
    movl %eax, 16(%rdi)
    movw %cs, 4(%rdi)
    movw %ds, 6(%rdi)
    movw %es, 8(%rdi)
    movw %fs, 10(%rdi)
    movw %gs, 12(%rdi)
    movw %ss, 14(%rdi)
    movl $0x100007, 0(%rdi)
    movq 24(%rdi), %rax
    ret
    .cfi_endproc
    .size RtlCaptureContext, .-RtlCaptureContext
)");
