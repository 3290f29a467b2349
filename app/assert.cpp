#include <xtbasis/crashreport.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/trace.h>

#include <string>

void XTAssert(int condition, const char* sourceFile, int line, const char* function, const char* cause) {
  if (condition != 0) return;
  std::string text = "XT Debug Assertion!\n\nDatei: '";
  text += sourceFile != nullptr ? sourceFile : "";
  text += "'\nFunktion: ";
  text += function != nullptr ? function : "";
  text += "\nZeile: " + std::to_string(line);
  if (cause != nullptr) {
    text += "\nUrsache: ";
    text += cause;
  }
  // Recorded as the trace log's own record; the text is the message as it
  // stands, never a format.
  XTTrace(XTTRACE_WARN, 0, "xttrace", 221, "%s", text.c_str());
  text += "\n\nDMP-Datei zum Debuggen erzeugen?";
  if (AfxMessageBox(text.c_str(), MB_YESNOCANCEL | MB_ICONERROR | MB_TOPMOST) != IDYES) return;
  XTSaveFileRequest request;
  request.defaultExt = "dmp";
  request.filter = "DMP-Datei (*.dmp)|*.dmp||";
  request.flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  CString path;
  if (!XTShowSaveFileDialog(request, path) || path.IsEmpty()) return;
  XTMiniDump(path.GetString());
}
