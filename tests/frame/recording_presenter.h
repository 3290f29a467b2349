// A presenter that answers every box with OK and remembers it.
#pragma once

#include <string>
#include <vector>
#include <xtbasis/platform/presenter.h>

class RecordingPresenter : public XTPresenter {
 public:
  int ShowMessageBox(HWND, const CString& text, const CString& caption, UINT type) override {
    boxes.push_back(caption.str() + "|" + text.str());
    types.push_back(type);
    return IDOK;
  }
  BOOL ShowSaveFileDialog(const XTSaveFileRequest&, CString&) override { return FALSE; }
  BOOL ShowFolderDialog(const XTFolderRequest&, CString&) override { return FALSE; }
  std::vector<std::string> boxes;
  std::vector<UINT> types;
};
