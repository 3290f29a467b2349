// xtbasis base64 encode|decode [input [output]]: Base64 of a file or stdin.
#include <xtbasis/base64.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "command.h"

namespace {

constexpr const char* kName = "base64";
// Encoding streams in pieces of whole lines (57 bytes a line), small enough
// that a piece and its text stay in the processor's cache.
constexpr size_t kEncodePiece = 57 * 4096;

FILE* OpenInput(const std::string& path) { return path == "-" ? stdin : std::fopen(path.c_str(), "rb"); }
FILE* OpenOutput(const std::string& path) { return path == "-" ? stdout : std::fopen(path.c_str(), "wb"); }

bool Finish(FILE* file, bool ok) {
  if (file == stdin) return ok;
  if (file == stdout) return std::fflush(file) == 0 && ok;
  return std::fclose(file) == 0 && ok;
}

bool ReadAll(const std::string& path, std::string& content) {
  FILE* in = OpenInput(path);
  if (in == nullptr) return false;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, n);
  return Finish(in, !std::ferror(in));
}

bool WriteAll(const std::string& path, const void* data, size_t size) {
  FILE* out = OpenOutput(path);
  if (out == nullptr) return false;
  return Finish(out, std::fwrite(data, 1, size, out) == size);
}

int Fail(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "xtbasis %s: %s %s: %s\n", kName, what.c_str(), path.c_str(), std::strerror(errno));
  return 1;
}

// Every piece but the last is whole lines, so the pieces' texts joined are
// the text of the whole input.
int Encode(const std::string& input, const std::string& output) {
  // At a page's start: the kernel copies a file's pages into it at twice
  // the speed as into the heap's own large blocks, which start 16 bytes in.
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(
      static_cast<unsigned char*>(std::aligned_alloc(4096, kEncodePiece)), &std::free);
  if (!buffer) return Fail("cannot read", input);
  FILE* in = OpenInput(input);
  if (in == nullptr) return Fail("cannot read", input);
  FILE* out = OpenOutput(output);
  if (out == nullptr) {
    Finish(in, true);
    return Fail("cannot write", output);
  }
  bool written = true;
  size_t got = 0;
  while (written && (got = std::fread(buffer.get(), 1, kEncodePiece, in)) > 0) {
    CString text = EncodeBase64(buffer.get(), static_cast<int>(got), true);
    // A text file ends with a line end; the encoding has one already when the
    // piece is whole lines.
    if (got % 57 != 0) text += "\r\n";
    written = std::fwrite(text.GetString(), 1, static_cast<size_t>(text.GetLength()), out) ==
              static_cast<size_t>(text.GetLength());
  }
  const bool read = Finish(in, !std::ferror(in));
  written = Finish(out, written);
  if (!read) return Fail("cannot read", input);
  return written ? 0 : Fail("cannot write", output);
}

int Decode(const std::string& input, const std::string& output) {
  std::string content;
  if (!ReadAll(input, content)) return Fail("cannot read", input);
  if (content.size() > 0x7FFFFFFFu / 2) {
    std::fprintf(stderr, "xtbasis %s: %s is too large\n", kName, input.c_str());
    return 1;
  }
  unsigned char* bytes = nullptr;
  int count = 0;
  const bool decoded = DecodeBase64(content.data(), static_cast<int>(content.size()), &bytes, &count);
  const bool written = decoded && WriteAll(output, bytes, static_cast<size_t>(count));
  std::free(bytes);
  if (!decoded) {
    std::fprintf(stderr, "xtbasis %s: the decoded data do not fit\n", kName);
    return 1;
  }
  return written ? 0 : Fail("cannot write", output);
}

int Run(const xtbtool::Args& args) {
  if (args.empty() || args.size() > 3 || (args[0] != "encode" && args[0] != "decode"))
    return xtbtool::UsageError(kName, "needs encode or decode and at most an input and an output");
  const std::string input = args.size() > 1 ? args[1] : "-";
  const std::string output = args.size() > 2 ? args[2] : "-";
  return args[0] == "encode" ? Encode(input, output) : Decode(input, output);
}

const xtbtool::Registration registration({kName, "encode or decode Base64 (stdin/stdout or files)",
                                          "xtbasis base64 encode|decode [INPUT|- [OUTPUT|-]]   (- or nothing: standard input or output)",
                                          Run});

}  // namespace
