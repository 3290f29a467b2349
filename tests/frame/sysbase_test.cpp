// Parameters, colours, InitInstance and the TAB rule of the container manager.
#include <gtest/gtest.h>

#include <vector>
#include <xtbasis/platform/dialog.h>

#include "frame_fixture.h"

namespace {

class ParameterTest : public FrameTest {
 protected:
  HKEY OpenMainKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_sysBase.mainKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    return key;
  }
};

TEST_F(ParameterTest, ValuesByType) {
  HKEY key = OpenMainKey();
  const DWORD all = 4294967295u;
  EXPECT_TRUE(SetXTParameterI(key, "Number", all));
  EXPECT_TRUE(SetXTParameterS(key, "Text", "Hallo"));
  const std::string longText(300, 'L');
  EXPECT_TRUE(SetXTParameterS(key, "Long", longText.c_str()));
  SetText(m_sysBase.mainKey, "Expand", "%HOME%", REG_EXPAND_SZ);
  const BYTE bytes[] = {1, 2, 3};
  SetValue(m_sysBase.mainKey, "Binary", REG_BINARY, bytes, sizeof bytes);

  CString value("unchanged");
  EXPECT_TRUE(GetXTParameter(key, "Number", value));
  EXPECT_EQ(value, "-1");
  EXPECT_TRUE(GetXTParameter(key, "Long", value));
  EXPECT_EQ(value, longText.c_str());
  EXPECT_TRUE(GetXTParameter(key, "Expand", value));
  EXPECT_EQ(value, "%HOME%");  // not expanded
  value = "unchanged";
  EXPECT_FALSE(GetXTParameter(key, "Binary", value));
  EXPECT_FALSE(GetXTParameter(key, "Missing", value));
  EXPECT_EQ(value, "unchanged");

  const char* names[] = {"Text", "Binary", "Long", "Missing", "Number"};
  std::vector<CString> values(5, CString("slot"));
  EXPECT_EQ(GetXTParameters(key, 5, names, values.data()), 3);
  EXPECT_EQ(values[0], "Hallo");
  EXPECT_EQ(values[1], "slot");
  EXPECT_EQ(values[2], longText.c_str());
  EXPECT_EQ(values[3], "slot");
  EXPECT_EQ(values[4], "-1");
  RegCloseKey(key);
}

TEST_F(ParameterTest, ColoursFromTheActiveXKey) {
  EXPECT_EQ(GetXTDialogColor(), 0x02D5D5D5ul);  // no key yet
  EXPECT_EQ(GetXTBackColor(), 0x02EAEAEAul);
  EXPECT_EQ(GetXTLabelColor(), 0x02505050ul);
  const std::pair<const char*, unsigned long> cases[] = {
      {"$FF8000", 0x02FF8000ul}, {"255", 0x020000FFul}, {"0x1FFFFFF", 0x02FFFFFFul}, {"abc", 0x02000000ul},
      {"0x100000000", 0x02FFFFFFul}, {"-1", 0x02FFFFFFul}, {"-4294967296", 0x02FFFFFFul},  // 32-bit strtoul
      {"-4294967295", 0x02000001ul}, {"010", 0x02000008ul}};
  for (const auto& [text, colour] : cases) {
    ASSERT_TRUE(SetXTActiveXParameter("DialogColor", text));
    EXPECT_EQ(GetXTDialogColor(), colour) << text;
  }
  EXPECT_EQ(GetXTBackColor(), 0x02EAEAEAul);  // key there, value missing
  CString value;
  EXPECT_TRUE(GetXTActiveXParameter("DialogColor", value));
  EXPECT_EQ(value, "010");
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantorix\\XTActiveX", 0, KEY_QUERY_VALUE, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(ParameterTest, InitInstancePutsTheCommonFilesFirst) {
  const std::string oldPath = getenv("PATH");
  setenv(XT_COMMON_FILES_ENV, "/opt/common", 1);
  setenv("PATH", "/bin:/usr/bin", 1);
  EXPECT_NE(m_sysBase.InitInstance(), 0);
  EXPECT_STREQ(getenv("PATH"), "/opt/common/XT/Dental:/bin:/usr/bin");
  setenv("PATH", "", 1);
  EXPECT_EQ(m_sysBase.InitInstance(), 0);  // empty PATH stays unchanged
  EXPECT_STREQ(getenv("PATH"), "");
  setenv(XT_COMMON_FILES_ENV, std::string(300, 'x').c_str(), 1);
  setenv("PATH", "/bin", 1);
  EXPECT_EQ(m_sysBase.InitInstance(), 0);
  EXPECT_STREQ(getenv("PATH"), "/bin");
  unsetenv(XT_COMMON_FILES_ENV);
  setenv("PATH", oldPath.c_str(), 1);
}

// A toolkit-free window for the TAB rule.
struct TestWindow : HWND__ {
  TestWindow(DWORD style, UINT code) : style(style), code(code) {}
  CString GetClassName() const override { return "Edit"; }
  DWORD GetStyle() const override { return style; }
  HWND GetParent() const override { return parent; }
  int GetChildCount() const override { return static_cast<int>(children.size()); }
  HWND GetChild(int index) const override { return children[static_cast<size_t>(index)]; }
  UINT GetDlgCode(const MSG*) override { return code; }
  void SetSel(int first, int last) override { selection = {first, last}; }
  DWORD style;
  UINT code;
  HWND parent = nullptr;
  std::vector<HWND> children;
  std::pair<int, int> selection{0, 0};
};

class TestApp : public CXTSysBase {
 public:
  using CXTSysBase::XTEnableControlContainer;
};

TEST(ControlContainer, TabMovesToTheNextTabStop) {
  TestApp app;
  app.XTEnableControlContainer();
  COccManager* manager = AfxGetOccManager();
  ASSERT_NE(manager, nullptr);
  const DWORD stop = WS_TABSTOP | WS_VISIBLE | WS_CHILD;
  TestWindow dialog(0, 0), first(stop, 0), wantsTab(stop, DLGC_WANTTAB), edit(stop, DLGC_HASSETSEL);
  dialog.children = {&first, &edit, &wantsTab};
  for (TestWindow* child : {&first, &edit, &wantsTab}) child->parent = &dialog;

  MSG tab{&first, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_TRUE(manager->IsDialogMessage(&dialog, &tab));
  EXPECT_EQ(GetFocus(), &edit);
  EXPECT_EQ(edit.selection, std::make_pair(0, -1));

  XTSetKeyState(VK_SHIFT, TRUE);
  tab.hwnd = &edit;
  EXPECT_TRUE(manager->IsDialogMessage(&dialog, &tab));
  EXPECT_EQ(GetFocus(), &first);
  XTSetKeyState(VK_SHIFT, FALSE);

  tab.hwnd = &wantsTab;
  EXPECT_FALSE(manager->IsDialogMessage(&dialog, &tab));  // the control keeps its TAB
  tab.hwnd = &first;
  EXPECT_FALSE(manager->IsDialogMessage(nullptr, &tab));  // no dialog
  MSG other{&first, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_FALSE(manager->IsDialogMessage(&dialog, &other));
  AfxEnableControlContainer(nullptr);
}

}  // namespace
