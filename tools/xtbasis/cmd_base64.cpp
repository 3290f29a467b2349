// xtbasis base64 encode|decode [input [output]]: Base64 of a file or stdin.
#include <xtbasis/base64.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command.h"

namespace {

constexpr const char* kName = "base64";

bool ReadAll(const std::string& path, std::string& content) {
  FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (in == nullptr) return false;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) content.append(chunk, n);
  const bool ok = !std::ferror(in);
  if (in != stdin) std::fclose(in);
  return ok;
}

bool WriteAll(const std::string& path, const void* data, size_t size) {
  FILE* out = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(data, 1, size, out) == size;
  ok = (out == stdout ? std::fflush(out) == 0 : std::fclose(out) == 0) && ok;
  return ok;
}

int Fail(const std::string& what, const std::string& path) {
  std::fprintf(stderr, "xtbasis %s: %s %s: %s\n", kName, what.c_str(), path.c_str(), std::strerror(errno));
  return 1;
}

int Run(const xtbtool::Args& args) {
  if (args.empty() || args.size() > 3 || (args[0] != "encode" && args[0] != "decode"))
    return xtbtool::UsageError(kName, "needs encode or decode and at most an input and an output");
  const std::string input = args.size() > 1 ? args[1] : "-";
  const std::string output = args.size() > 2 ? args[2] : "-";
  std::string content;
  if (!ReadAll(input, content)) return Fail("cannot read", input);
  if (content.size() > 0x7FFFFFFFu / 2) {
    std::fprintf(stderr, "xtbasis %s: %s is too large\n", kName, input.c_str());
    return 1;
  }
  if (args[0] == "encode") {
    CString text = EncodeBase64(reinterpret_cast<const unsigned char*>(content.data()),
                                static_cast<int>(content.size()), true);
    // A text file ends with a line end; the encoding has one already when the
    // input is a multiple of 57 bytes.
    if (!text.IsEmpty() && !(content.size() % 57 == 0)) text += "\r\n";
    return WriteAll(output, text.GetString(), static_cast<size_t>(text.GetLength())) ? 0 : Fail("cannot write", output);
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

const xtbtool::Registration registration({kName, "encode or decode Base64 (stdin/stdout or files)",
                                          "xtbasis base64 encode|decode [INPUT|- [OUTPUT|-]]   (- or nothing: standard input or output)",
                                          Run});

}  // namespace
