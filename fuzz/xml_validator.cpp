// Arbitrary bytes validated against a two-namespace schema set: the result
// is true exactly when the error text is empty, the entries never exceed the
// limit, and a document the reader refuses is never valid.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <xtbasis/xml.h>

namespace {

constexpr int kLimit = 3;

struct Files {
  Files() {
    char pattern[] = "/tmp/xtb-fuzz-xsd-XXXXXX";
    dir = mkdtemp(pattern);
    std::ofstream(dir + "/b.xsd") << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' targetNamespace='urn:b'"
                                     " elementFormDefault='qualified'><xs:element name='b' type='xs:int'/></xs:schema>";
    std::ofstream(dir + "/a.xsd")
        << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema' xmlns:b='urn:b' targetNamespace='urn:a'"
           " elementFormDefault='qualified'><xs:import namespace='urn:b' schemaLocation='b.xsd'/>"
           "<xs:element name='a'><xs:complexType><xs:sequence><xs:element ref='b:b' maxOccurs='3'/>"
           "</xs:sequence><xs:attribute name='n' type='xs:date'/></xs:complexType></xs:element></xs:schema>";
    document = dir + "/doc.xml";
  }
  ~Files() {
    for (const char* name : {"/a.xsd", "/b.xsd", "/doc.xml"}) unlink((dir + name).c_str());
    rmdir(dir.c_str());
  }
  std::string dir, document;
};

// Entries are lines "Zeile: <n>: Fehler: <text>"; the text may quote the
// document, so only an entry's start at the beginning of a line counts.
bool EntryStartsAt(const std::string& text, size_t at) {
  if (at != 0 && (at < 2 || text.compare(at - 2, 2, "\r\n") != 0)) return false;
  size_t digits = at + 7;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
  return digits > at + 7 && text.compare(digits, 10, ": Fehler: ") == 0;
}

int Entries(const CString& error) {
  const std::string text(error.GetString(), static_cast<size_t>(error.GetLength()));
  int count = 0;
  for (size_t at = text.find("Zeile: "); at != std::string::npos; at = text.find("Zeile: ", at + 1))
    if (EntryStartsAt(text, at)) ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Files files;
  std::ofstream(files.document, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                          static_cast<std::streamsize>(size));
  CXTXmlSchemaValidator validator;
  validator.AddToSchemaCache("urn:a", (files.dir + "/a.xsd").c_str());
  validator.AddToSchemaCache("urn:b", (files.dir + "/b.xsd").c_str());
  validator.SetMaxErrors(kLimit);
  const bool valid = validator.Validate(files.document.c_str());
  const CString error = validator.GetError();
  if (valid != error.IsEmpty()) std::abort();
  if (Entries(error) > kLimit) std::abort();
  CXTXMLElement root;
  if (valid && !CXTSimpleXMLReader().ReadString(CString(reinterpret_cast<const char*>(data), static_cast<int>(size)),
                                                root))
    std::abort();
  return 0;
}
