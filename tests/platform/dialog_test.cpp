#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/lasterror.h>

namespace {

class Control : public XTWindow {
 public:
  Control(const char* className, DWORD style, UINT dlgCode = 0) : m_class(className), m_style(style), m_code(dlgCode) {}
  CString GetClassName() const override { return m_class; }
  DWORD GetStyle() const override { return m_style; }
  UINT GetDlgCode(const MSG*) override { return m_code; }
  void SetSel(int first, int last) override { selection = std::to_string(first) + "," + std::to_string(last); }
  void OnSetFocus() override { ++focused; }
  std::string selection;
  int focused = 0;

 private:
  CString m_class;
  DWORD m_style;
  UINT m_code;
};

class Dialog : public Control {
 public:
  Dialog() : Control("#32770", WS_VISIBLE) {}
  int GetChildCount() const override { return static_cast<int>(children.size()); }
  HWND GetChild(int index) const override { return children[static_cast<size_t>(index)]; }
  std::vector<HWND> children;
};

constexpr DWORD kStop = WS_TABSTOP | WS_VISIBLE | WS_CHILD;

TEST(Dialog, NextTabItemSkipsHiddenDisabledAndNonStopsAndWraps) {
  Control label("Static", WS_VISIBLE | WS_CHILD);
  Control name("Edit", kStop, DLGC_HASSETSEL);
  Control hidden("Edit", WS_TABSTOP | WS_CHILD);
  Control disabled("Button", kStop | WS_DISABLED);
  Control ok("Button", kStop);
  Dialog dialog;
  dialog.children = {&label, &name, &hidden, &disabled, &ok};

  EXPECT_EQ(GetNextDlgTabItem(&dialog, &name, FALSE), &ok);
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &ok, FALSE), &name);  // wraps
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &name, TRUE), &ok);
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &ok, TRUE), &name);
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &label, FALSE), &name);
  EXPECT_EQ(GetNextDlgTabItem(&dialog, nullptr, FALSE), &name);  // from the start
  EXPECT_EQ(GetNextDlgTabItem(&dialog, nullptr, TRUE), &ok);     // from the end

  dialog.children = {&label, &name};
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &name, FALSE), &name);  // the only stop
  dialog.children = {&label, &hidden};
  EXPECT_EQ(GetNextDlgTabItem(&dialog, &label, FALSE), nullptr);
  dialog.children.clear();
  EXPECT_EQ(GetNextDlgTabItem(&dialog, nullptr, FALSE), nullptr);
  EXPECT_EQ(GetNextDlgTabItem(nullptr, &name, FALSE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Dialog, MessagesReachTheWindowAndFocusMoves) {
  Control edit("Edit", kStop, DLGC_HASSETSEL | DLGC_WANTCHARS);
  Control button("Button", kStop);
  MSG tab{&edit, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_EQ(SendMessageA(&edit, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)),
            static_cast<LRESULT>(DLGC_HASSETSEL | DLGC_WANTCHARS));
  SendMessageA(&edit, EM_SETSEL, 0, -1);
  EXPECT_EQ(edit.selection, "0,-1");
  EXPECT_EQ(SendMessageA(&edit, WM_KEYUP, 0, 0), 0);
  EXPECT_EQ(SendMessageA(nullptr, WM_GETDLGCODE, 0, 0), 0);

  SetFocus(nullptr);
  EXPECT_EQ(SetFocus(&edit), nullptr);
  EXPECT_EQ(SetFocus(&button), &edit);
  EXPECT_EQ(GetFocus(), &button);
  EXPECT_EQ(button.focused, 1);
  SetFocus(nullptr);
}

TEST(Dialog, KeyStateIsPerThreadAsReported) {
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  XTSetKeyState(VK_SHIFT, TRUE);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
  XTSetKeyState(VK_SHIFT, FALSE);
  EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
  XTSetKeyState(1000, TRUE);  // out of range: ignored
  EXPECT_EQ(GetKeyState(1000), 0);
}

}  // namespace
