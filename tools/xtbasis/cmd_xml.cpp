// xtbasis xml validate|tree|canon: checks a document against schemas, shows
// the element tree the reader builds, and writes a document back through
// the library's reader and writer. Texts go to the terminal as UTF-8.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <xtbasis/tokenize.h>
#include <xtbasis/transcode.h>
#include <xtbasis/xml.h>

#include "command.h"

namespace {

constexpr const char* kUsage =
    "xtbasis xml validate FILE [--schema NS=XSD]... [--max N]\n"
    "       xtbasis xml tree FILE\n"
    "       xtbasis xml canon FILE [--encoding NAME]";

std::string Utf8(const CString& text) { return AnsiToUTF8(text).str(); }

int Validate(const xtbtool::Args& args) {
  CXTXmlSchemaValidator validator;
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
    if (args[i] == "--max") {
      char* end = nullptr;
      const long count = std::strtol(args[i + 1].c_str(), &end, 10);
      if (args[i + 1].empty() || *end) return xtbtool::UsageError("xml", "--max needs a number");
      validator.SetMaxErrors(static_cast<int>(count));
      continue;
    }
    const size_t equals = args[i + 1].rfind('=');
    if (args[i] != "--schema" || equals == std::string::npos) return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
    validator.AddToSchemaCache(args[i + 1].substr(0, equals).c_str(), args[i + 1].substr(equals + 1).c_str());
  }
  if (validator.Validate(args[1].c_str())) {
    std::printf("%s: valid\n", args[1].c_str());
    return 0;
  }
  std::string error = Utf8(validator.GetError());
  if (error.empty() || error.back() != '\n') error += '\n';
  std::fputs(error.c_str(), stdout);
  return 1;
}

void PrintTree(const CXTXMLElement& element, int depth) {
  std::string line(static_cast<size_t>(depth) * 2, ' ');
  line += Utf8(element.Name);
  for (const auto& [name, value] : element.Attributes) line += " " + Utf8(name) + "=\"" + Utf8(value) + "\"";
  CString text = element.Text;
  if (!text.Trim().IsEmpty()) line += ": " + Utf8(text);
  std::printf("%s\n", line.c_str());
  for (const CXTXMLElement& child : element.Children) PrintTree(child, depth + 1);
}

bool Read(const std::string& file, CXTXMLElement& root) {
  CXTSimpleXMLReader reader;
  if (reader.ReadFile(file.c_str(), root)) return true;
  std::fprintf(stderr, "xtbasis xml: %s is not a readable XML document\n", file.c_str());
  return false;
}

int Tree(const xtbtool::Args& args) {
  if (args.size() != 2) return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
  CXTXMLElement root;
  if (!Read(args[1], root)) return 1;
  PrintTree(root, 0);
  return 0;
}

int Canon(const xtbtool::Args& args) {
  if (args.size() != 2 && !(args.size() == 4 && args[2] == "--encoding")) return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
  CXTXMLElement root;
  if (!Read(args[1], root)) return 1;
  CXTXMLWriter writer;
  if (args.size() == 4) writer.Encoding = args[3].c_str();
  CString bytes;
  if (!writer.StartDocument() || !writer.AddElements(root, true) || !writer.EndDocument() || !writer.ToString(bytes)) {
    std::fprintf(stderr, "xtbasis xml: %s\n", Utf8(writer.GetLastHResult()).c_str());
    return 1;
  }
  std::fwrite(bytes.GetString(), 1, static_cast<size_t>(bytes.GetLength()), stdout);
  return 0;
}

int Run(const xtbtool::Args& args) {
  if (args.size() < 2) return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
  if (args[0] == "validate") return Validate(args);
  if (args[0] == "tree") return Tree(args);
  if (args[0] == "canon") return Canon(args);
  return xtbtool::UsageError("xml", "needs validate, tree or canon with a FILE and its options");
}

const xtbtool::Registration registration({"xml", "validate, show or rewrite an XML document (validate|tree|canon FILE)", kUsage, Run});

}  // namespace
