// A SAX handler as the Windows code has it, with wchar_t text: it must not
// compile (no parser would ever call it).
#include <xtbasis/xtbasis.h>

#include <cwchar>

struct EntryCounter : SAXContentHandlerImpl {
  int entries = 0;
  HRESULT startElement(const wchar_t*, int, const wchar_t* localName, int localNameLength, const wchar_t*, int,
                       ISAXAttributes*) {
    if (std::wcsncmp(localName, L"Eintrag", static_cast<size_t>(localNameLength)) == 0) ++entries;
    return S_OK;
  }
};

int main() {
  EntryCounter counter;
  const CString document("<Liste><Eintrag/></Liste>");
  return XTParseXML(document, static_cast<size_t>(document.GetLength()), counter) == S_OK && counter.entries == 1
             ? 0
             : 1;
}
