// The text of crash reports and stack traces: lines formed like printf into
// a 1024-byte buffer and ending in CR LF, the exception codes and names, the
// register block, the call-stack block.
#pragma once

#include <sys/ucontext.h>

#include <cstdint>
#include <string>
#include <vector>

namespace xtb {

// Appends one printf-formed line, cut at 1024 characters; returns the
// length written, or 1024 when it was cut.
int AppendReportText(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The exception code nearest to a signal (si_code refines it; a fault
// close to the stack pointer is a stack overflow).
uint32_t ExceptionCodeOf(int signo, int signalCode, uint64_t faultAddress, uint64_t stackPointer);
// The code's name from the table, else the system's text for the signal
// the code stands for.
std::string ExceptionName(uint32_t code, int signo);

// One frame of a call stack as the walker found it.
struct StackFrame {
  uint64_t address = 0;       // instruction
  uint64_t frameAddress = 0;  // the frame's canonical frame address
  std::string function;       // empty when no symbol was found
  uint64_t displacement = 0;
  int section = 0;            // the address's section and offset in it
  uint64_t sectionOffset = 0;
  std::string module;
  std::string sourceFile;     // empty without line information
  unsigned line = 0;
  std::vector<std::string> variables;  // "Parameter 'x' int = 5", "punting on symbol x"
};

// "//=====" and the time and computer line.
void AppendReportHeader(std::string& text, const std::string& computerName);
// The exception, fault address and registers lines.
void AppendFaultAndRegisters(std::string& text, uint32_t code, const std::string& name, uint64_t faultAddress,
                             const StackFrame& faultPlace, const greg_t* registers);
// The pieces of the call-stack block: its two heading lines; a frame line's
// addresses ("%016llX  %016llX  "); its names (function and displacement,
// else section, offset and module; then the source line), without the line
// end.
void AppendStackHeader(std::string& text);
void AppendFrameAddresses(std::string& text, const StackFrame& frame);
void AppendFrameNames(std::string& text, const StackFrame& frame);
// The call-stack block; with variables, each frame's variable lines follow it.
void AppendStackBlock(std::string& text, const std::vector<StackFrame>& frames, bool withVariables);

}  // namespace xtb
