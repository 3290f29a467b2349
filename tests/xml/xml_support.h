// Shared helpers of the XML tests: a scratch folder, files, xmllint as the
// independent judge of the writer's output, and tree comparison.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <xtbasis/xml.h>

namespace xmltest {

inline std::string DataFile(const char* name) { return std::string(XTB_SOURCE_DIR "/tests/xml/data/") + name; }

class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/xtb-xml-XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~ScratchDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// xmllint's verdict on a file: empty when it accepts it, else its messages.
inline std::string XmllintComplaints(const std::string& path) {
  const std::string command = "xmllint --noout --nonet '" + path + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[512];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int status = pclose(pipe);
  return status == 0 ? output : "exit status " + std::to_string(status) + ": " + output;
}

// Trees equal in names, attributes, children and text, where text that is
// only whitespace counts as empty (the writer indents) unless `exactText`.
inline bool SameTree(const CXTXMLElement& a, const CXTXMLElement& b, std::string& where, bool exactText = false) {
  auto text = [exactText](const CXTXMLElement& e) {
    CString t = e.Text;
    return !exactText && t.Trim().IsEmpty() ? CString() : e.Text;
  };
  if (a.Name != b.Name || text(a) != text(b) || a.Attributes != b.Attributes ||
      a.Children.size() != b.Children.size()) {
    where = std::string(a.Name.GetString()) + " [" + text(a).GetString() + "] vs " + b.Name.GetString() + " [" +
            text(b).GetString() + "]";
    return false;
  }
  for (size_t i = 0; i < a.Children.size(); ++i)
    if (!SameTree(a.Children[i], b.Children[i], where, exactText)) return false;
  return true;
}

}  // namespace xmltest
