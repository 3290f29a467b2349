#include "coredump.h"

#include <elf.h>
#include <sys/procfs.h>
#include <sys/user.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "os/file.h"
#include "os/process_memory.h"

namespace xtb {
namespace {

constexpr uint64_t kPage = 4096;
// A mapping larger than this (a sanitizer's shadow, a reserved heap) is
// described but not copied.
constexpr uint64_t kLargestCopied = 1ull << 30;

uint64_t RoundUp(uint64_t value) { return (value + kPage - 1) & ~(kPage - 1); }

void AppendNote(std::vector<uint8_t>& notes, uint32_t type, const void* data, size_t size) {
  const char name[] = "CORE";
  Elf64_Nhdr header{};
  header.n_namesz = sizeof name;
  header.n_descsz = static_cast<Elf64_Word>(size);
  header.n_type = type;
  auto append = [&notes](const void* bytes, size_t count) {
    notes.insert(notes.end(), static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count);
    notes.resize((notes.size() + 3) & ~size_t{3}, 0);
  };
  append(&header, sizeof header);
  append(name, sizeof name);
  append(data, size);
}

user_regs_struct UserRegisters(const greg_t* r) {
  user_regs_struct regs{};
  if (r == nullptr) return regs;
  auto u = [r](int index) { return static_cast<unsigned long long>(r[index]); };
  regs.r15 = u(REG_R15), regs.r14 = u(REG_R14), regs.r13 = u(REG_R13), regs.r12 = u(REG_R12);
  regs.rbp = u(REG_RBP), regs.rbx = u(REG_RBX), regs.r11 = u(REG_R11), regs.r10 = u(REG_R10);
  regs.r9 = u(REG_R9), regs.r8 = u(REG_R8), regs.rax = u(REG_RAX), regs.rcx = u(REG_RCX);
  regs.rdx = u(REG_RDX), regs.rsi = u(REG_RSI), regs.rdi = u(REG_RDI), regs.orig_rax = ~0ull;
  regs.rip = u(REG_RIP), regs.eflags = u(REG_EFL), regs.rsp = u(REG_RSP);
  regs.cs = u(REG_CSGSFS) & 0xFFFF;
  regs.ss = 0x2B;
  return regs;
}

// Whether the module's memory that is not code is copied whole, whatever
// the filter says: the program's own (its dynamic section, in the
// read-only part after relocation, leads the debugger to the dynamic
// linker's list of modules) and the dynamic linker's (which holds that list).
bool KeepsWholeModule(const std::string& path, const std::string& program) {
  if (path == program) return true;
  const size_t slash = path.rfind('/');
  return path.compare(slash == std::string::npos ? 0 : slash + 1, 8, "ld-linux") == 0;
}

void AppendThreadStatus(std::vector<uint8_t>& notes, pid_t tid, const user_regs_struct& registers, int signo) {
  elf_prstatus status{};
  status.pr_info.si_signo = signo;
  status.pr_cursig = static_cast<short>(signo);
  status.pr_pid = tid;
  std::memcpy(&status.pr_reg, &registers, sizeof registers);
  AppendNote(notes, NT_PRSTATUS, &status, sizeof status);
}

// What of a mapping goes into the file: all of private memory that is not
// a module's data, the first page of a module (its headers, for the
// debugger to match the file), nothing of a module's code or of memory
// shared with other processes. A module's data is decided by the filter.
uint64_t CopiedSize(const os::Mapping& mapping, bool isModule, const std::string& program) {
  const uint64_t size = mapping.end - mapping.start;
  if (!mapping.read || size > kLargestCopied || mapping.path == "[vvar]") return 0;
  if (!isModule) return mapping.shared ? 0 : size;
  if (!mapping.execute && KeepsWholeModule(mapping.path, program)) return size;
  if (mapping.write) return KeepsModuleData(mapping.path) ? size : 0;
  return mapping.offset == 0 ? kPage : 0;
}

// The files that are mapped executable somewhere: the program and its
// libraries, as opposed to data files mapped into memory.
std::set<std::string> ModulesOf(const std::vector<os::Mapping>& mappings) {
  std::set<std::string> modules;
  for (const os::Mapping& mapping : mappings) {
    if (mapping.execute && !mapping.path.empty() && mapping.path[0] == '/') modules.insert(mapping.path);
  }
  return modules;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::vector<uint8_t> FileNote(const std::vector<os::Mapping>& mappings) {
  std::vector<uint64_t> header{0, kPage};
  std::string names;
  for (const os::Mapping& mapping : mappings) {
    if (mapping.path.empty() || mapping.path[0] != '/') continue;
    header.push_back(mapping.start);
    header.push_back(mapping.end);
    header.push_back(mapping.offset / kPage);
    names += mapping.path;
    names += '\0';
    ++header[0];
  }
  // The entries follow the count and page size; the names follow all entries.
  std::vector<uint8_t> note(header.size() * 8 + names.size());
  std::memcpy(note.data(), header.data(), header.size() * 8);
  std::memcpy(note.data() + header.size() * 8, names.data(), names.size());
  return note;
}

}  // namespace

bool KeepsModuleData(const std::string& path) {
  const std::string name = BaseName(path);
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded.rfind("xt", 0) == 0 || folded.rfind("r9", 0) == 0 || folded == "dbdll" || name.rfind("ld-linux", 0) == 0;
}

bool WriteCoreDump(const os::Fd& file, const CoreDumpRequest& request) {
  const os::ProcessMemory memory(request.pid);
  if (!memory.IsOpen()) return false;
  const std::vector<os::Mapping> mappings = os::MappingsOf(request.pid);
  const std::string program = os::ProgramOf(request.pid);

  std::vector<uint8_t> notes;
  AppendThreadStatus(notes, request.tid, UserRegisters(request.registers), request.signo);
  elf_prpsinfo info{};
  info.pr_pid = request.pid;
  const std::string command = os::CommandNameOf(request.pid);
  std::strncpy(info.pr_fname, command.c_str(), sizeof info.pr_fname - 1);
  std::strncpy(info.pr_psargs, program.c_str(), sizeof info.pr_psargs - 1);
  AppendNote(notes, NT_PRPSINFO, &info, sizeof info);
  if (request.signo != 0) {
    siginfo_t signal{};
    signal.si_signo = request.signo;
    signal.si_code = request.signalCode;
    signal.si_addr = reinterpret_cast<void*>(request.faultAddress);
    AppendNote(notes, NT_SIGINFO, &signal, sizeof signal);
  }
  const std::vector<uint8_t> auxv = os::AuxiliaryVectorOf(request.pid);
  if (!auxv.empty()) AppendNote(notes, NT_AUXV, auxv.data(), auxv.size());
  const std::vector<uint8_t> files = FileNote(mappings);
  AppendNote(notes, NT_FILE, files.data(), files.size());
  // Every thread's status names the signal, as in the kernel's cores: the
  // debugger takes the process's signal from the last of them.
  for (const os::ThreadRegisters& thread : request.otherThreads) {
    AppendThreadStatus(notes, thread.tid, thread.registers, request.signo);
  }

  const std::set<std::string> modules = ModulesOf(mappings);
  std::vector<uint64_t> copied;
  for (const os::Mapping& mapping : mappings) {
    const bool isModule = modules.count(mapping.path) != 0;
    const uint64_t size = CopiedSize(mapping, isModule, program);
    if (size == 0 && isModule && mapping.write && mapping.read) {
      std::printf("Excluding module data sections: %s \n", mapping.path.c_str());
    }
    copied.push_back(size);
  }
  std::fflush(stdout);

  const size_t count = mappings.size() + 1;
  Elf64_Ehdr header{};
  std::memcpy(header.e_ident, ELFMAG, SELFMAG);
  header.e_ident[EI_CLASS] = ELFCLASS64;
  header.e_ident[EI_DATA] = ELFDATA2LSB;
  header.e_ident[EI_VERSION] = EV_CURRENT;
  header.e_ident[EI_OSABI] = ELFOSABI_NONE;
  header.e_type = ET_CORE;
  header.e_machine = EM_X86_64;
  header.e_version = EV_CURRENT;
  header.e_phoff = sizeof header;
  header.e_ehsize = sizeof header;
  header.e_phentsize = sizeof(Elf64_Phdr);
  header.e_phnum = static_cast<Elf64_Half>(count);

  std::vector<Elf64_Phdr> programHeaders(count);
  Elf64_Phdr& note = programHeaders[0];
  note.p_type = PT_NOTE;
  note.p_offset = sizeof header + count * sizeof(Elf64_Phdr);
  note.p_filesz = notes.size();
  note.p_align = 4;
  uint64_t offset = RoundUp(note.p_offset + notes.size());
  for (size_t i = 0; i < mappings.size(); ++i) {
    Elf64_Phdr& load = programHeaders[i + 1];
    load.p_type = PT_LOAD;
    load.p_flags = (mappings[i].read ? PF_R : 0) | (mappings[i].write ? PF_W : 0) | (mappings[i].execute ? PF_X : 0);
    load.p_vaddr = mappings[i].start;
    load.p_memsz = mappings[i].end - mappings[i].start;
    load.p_filesz = copied[i];
    load.p_offset = offset;
    load.p_align = kPage;
    offset += copied[i];
  }

  std::vector<uint8_t> head(sizeof header + count * sizeof(Elf64_Phdr));
  std::memcpy(head.data(), &header, sizeof header);
  std::memcpy(head.data() + sizeof header, programHeaders.data(), count * sizeof(Elf64_Phdr));
  head.insert(head.end(), notes.begin(), notes.end());
  head.resize(RoundUp(head.size()), 0);
  if (!os::WriteFull(file.Get(), head.data(), head.size())) return false;
  // Memory that cannot be read (a guard page inside a region) is written as
  // zeros, so that every segment keeps its place in the file.
  std::vector<uint8_t> chunk(1 << 16);
  for (size_t i = 0; i < mappings.size(); ++i) {
    for (uint64_t done = 0; done < copied[i];) {
      const size_t part = static_cast<size_t>(std::min<uint64_t>(chunk.size(), copied[i] - done));
      // Pages the process never touched read as zeros: not read at all.
      const size_t got = memory.AnyPageTouched(mappings[i].start + done, part)
                             ? memory.ReadSome(mappings[i].start + done, chunk.data(), part)
                             : 0;
      std::memset(chunk.data() + got, 0, part - got);
      if (!os::WriteFullOrHole(file.Get(), chunk.data(), part)) return false;
      done += part;
    }
  }
  return true;
}

}  // namespace xtb
