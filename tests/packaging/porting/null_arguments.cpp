// A ported program's XML writer calls with NULL for "no attributes", as the
// Windows code has them; built against the installed library with g++ and
// with clang.
#include <xtbasis/xtbasis.h>

#include <cstdio>
#include <cstring>

int main() {
  CXTXMLWriter writer;
  const bool written = writer.StartDocument() && writer.StartElement("Liste", NULL) &&
                       writer.CharElement("Eintrag", "A", NULL) && writer.SimpleElement("Leer", NULL) &&
                       writer.ProcessingInstruction2("ziel", NULL) && writer.StartElement("Satz", "Nr", "1", NULL) &&
                       writer.EndElement() && writer.EndElement() && writer.EndDocument();
  CString document;
  if (!written || !writer.ToString(document)) {
    std::fprintf(stderr, "writing failed: %s\n", writer.GetLastHResult().GetString());
    return 1;
  }
  for (const char* expected : {"<Liste>", "<Eintrag>A</Eintrag>", "<Leer/>", "<?ziel?>", "<Satz Nr=\"1\"/>"}) {
    if (std::strstr(document, expected) == nullptr) {
      std::fprintf(stderr, "%s lacks %s\n", document.GetString(), expected);
      return 1;
    }
  }
  std::puts("NULL arguments ok");
  return 0;
}
