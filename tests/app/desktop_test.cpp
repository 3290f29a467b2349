// Windows and the clipboard on a real X display (Xvfb), and without one.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <thread>
#include <xtbasis/clipboard.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/windowsearch.h>
#include <xtbasis/windowtext.h>
#include <xtbasis/workstation.h>

#include "desktop_session.h"
#include "windowsearch.h"
#include "windowtext.h"

namespace {

using namespace std::chrono_literals;

TEST(WindowSearch, ExactAndNearestTitle) {
  using xtb::app::Owner;
  using xtb::app::PickWindow;
  auto handle = [](int n) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(n)); };
  const std::vector<xtb::desktop::TopWindow> windows = {
      {handle(1), "Rechnung 12", "Xmessage", 10}, {handle(2), "Rechnung 1", "Xmessage", 11},
      {handle(3), "RECHNUNG 3", "XTerm", 12},     {handle(4), "Rechnung", "Own", 99},
      {handle(5), "Befund", "Xmessage", 13},      {handle(6), "Rechnung 7", "Xmessage", 14}};
  EXPECT_EQ(PickWindow(windows, nullptr, "Rechnung", false, Owner::OtherProcesses, 99), handle(2))
      << "the nearest length wins; a later window must be strictly nearer";
  EXPECT_EQ(PickWindow(windows, nullptr, "rechnung 3", true, Owner::OtherProcesses, 99), handle(3));
  EXPECT_EQ(PickWindow(windows, nullptr, "Rechnung", true, Owner::OtherProcesses, 99), nullptr);
  EXPECT_EQ(PickWindow(windows, nullptr, "Rechnung", true, Owner::ThisProcess, 99), handle(4));
  EXPECT_EQ(PickWindow(windows, nullptr, "Rechnung", false, Owner::ThisProcess, 99), handle(4));
  EXPECT_EQ(PickWindow(windows, "XTerm", "Rech", false, Owner::Any, 0), handle(3));
  EXPECT_EQ(PickWindow(windows, "xterm", "Rech", false, Owner::Any, 0), nullptr) << "classes match exactly";
  EXPECT_EQ(PickWindow(windows, nullptr, "Rechnung 123", false, Owner::Any, 0), nullptr);
  EXPECT_EQ(PickWindow(windows, nullptr, nullptr, false, Owner::Any, 0), nullptr);
  // Only the first 259 characters of a title count.
  const std::vector<xtb::desktop::TopWindow> longTitle = {{handle(7), std::string(300, 'A'), "", 1}};
  EXPECT_EQ(PickWindow(longTitle, nullptr, std::string(259, 'a').c_str(), true, Owner::Any, 0), handle(7));
  EXPECT_EQ(PickWindow(longTitle, nullptr, std::string(260, 'a').c_str(), false, Owner::Any, 0), nullptr);
}

TEST(WindowText, FillToTheNearestWholeCount) {
  using xtb::app::FillCount;
  EXPECT_EQ(FillCount(30, 60, 6), 5);
  EXPECT_EQ(FillCount(30, 62, 6), 5);  // 5.33 fill widths
  EXPECT_EQ(FillCount(30, 63, 6), 6);  // 5.5 rounds up
  EXPECT_EQ(FillCount(30, -10, 6), 5);  // ten fill widths
  EXPECT_EQ(FillCount(60, 60, 6), 0);
  EXPECT_EQ(FillCount(70, 60, 6), 0);
  EXPECT_EQ(FillCount(30, 60, 0), 0);
}

TEST(Desktop, WithoutADisplayEverythingFailsCleanly) {
  const char* saved = getenv("DISPLAY");
  const std::string display = saved ? saved : "";
  unsetenv("DISPLAY");
  EXPECT_EQ(FindAWindow("Rechnung", false, false), nullptr);
  EXPECT_EQ(FindAWindowClass("Xmessage", "Rechnung", true), nullptr);
  EXPECT_FALSE(CopyToClipboard(nullptr, "Text"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_FALSE(XTBeep(0));
  CString text("unverändert");
  FormatWindowText(nullptr, text, 500, ":", nullptr, '.');
  EXPECT_STREQ(text, "unverändert");
  setenv("DISPLAY", ":99999", 1);  // a display nobody serves
  EXPECT_FALSE(CopyToClipboard(nullptr, "Text"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
  EXPECT_EQ(FindAWindow("Rechnung", false, false), nullptr);
  if (saved)
    setenv("DISPLAY", display.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (m_display.name().empty()) GTEST_SKIP() << "Xvfb could not be started";
    setenv("DISPLAY", m_display.name().c_str(), 1);
  }
  void TearDown() override { unsetenv("DISPLAY"); }

  // A window of another process: xmessage with a title (class "Xmessage").
  void Show(const std::string& title) {
    m_windows.push_back(std::make_unique<desktop::ChildProcess>(
        std::vector<std::string>{"/usr/bin/xmessage", "-title", title, "Inhalt"}, m_display.Environment()));
  }
  // Waits for a search to find something.
  template <typename Search>
  static HWND Await(Search search) {
    for (int i = 0; i < 200; ++i) {
      if (HWND found = search()) return found;
      std::this_thread::sleep_for(25ms);
    }
    return nullptr;
  }
  // Another X client's view of the clipboard.
  std::string ReadClipboard(const char* target) {
    // The echo ends the text's last line, so that it can be read as one.
    desktop::ChildProcess xclip(
        {"/bin/sh", "-c", std::string("/usr/bin/xclip -o -selection clipboard -target ") + target + "; echo"},
        {"DISPLAY=" + m_display.name()});
    std::string text;
    for (std::string line; (line = xclip.ReadLine(3000ms)) != "<end>" && line != "<timeout>";)
      text += (text.empty() ? "" : "\n") + line;
    xclip.Wait();
    return text;
  }

  desktop::VirtualDisplay m_display;
  std::vector<std::unique_ptr<desktop::ChildProcess>> m_windows;
};

TEST_F(DesktopTest, FindsWindowsByTitleAndClass) {
  Show("Rechnung 12");
  Show("Rechnung 1");
  Show("Befund Zahn 11");
  // Both "Rechnung" windows must be there before the nearest one can be told.
  ASSERT_NE(Await([] { return FindAWindow("Rechnung 12", true, false); }), nullptr);
  const HWND nearest = Await([] { return FindAWindow("rechnung 1", true, false); });
  ASSERT_NE(nearest, nullptr);
  EXPECT_EQ(FindAWindow("Rechnung", false, false), nearest);
  EXPECT_NE(FindAWindow("Rechnung 12", true, false), nearest);
  EXPECT_EQ(FindAWindow("Rechnung", false, true), nullptr) << "none of them belongs to this process";
  EXPECT_EQ(FindAWindow("Rechnung", true, false), nullptr);
  // The third window may come up after the other two.
  const HWND befund = Await([] { return FindAWindow("Befund Zahn 11", true, false); });
  ASSERT_NE(befund, nullptr);
  EXPECT_EQ(FindAWindowClass("Xmessage", "Befund", false), befund);
  EXPECT_EQ(FindAWindowClass("XMessage", "Befund", false), nullptr);
  // A window that goes away is no longer found.
  m_windows.back().reset();
  for (int i = 0; i < 200 && FindAWindow("Befund", false, false); ++i) std::this_thread::sleep_for(25ms);
  EXPECT_EQ(FindAWindow("Befund", false, false), nullptr);
}

TEST_F(DesktopTest, ClipboardHoldsTheTextAfterTheCall) {
  ASSERT_TRUE(CopyToClipboard(nullptr, "Termin 10:30 \xE4nderung"));  // 1252 text
  EXPECT_EQ(ReadClipboard("UTF8_STRING"), "Termin 10:30 \xC3\xA4nderung");
  EXPECT_EQ(ReadClipboard("STRING"), "Termin 10:30 \xE4nderung");
  ASSERT_TRUE(CopyToClipboard(nullptr, "zweiter Text"));
  EXPECT_EQ(ReadClipboard("UTF8_STRING"), "zweiter Text");
  // Another program takes the clipboard; then this one puts text there again.
  desktop::ChildProcess other({"/bin/sh", "-c", "printf fremd | /usr/bin/xclip -i -selection clipboard -loops 2"},
                              {"DISPLAY=" + m_display.name()});
  for (int i = 0; i < 100 && ReadClipboard("UTF8_STRING") != "fremd"; ++i) std::this_thread::sleep_for(20ms);
  EXPECT_EQ(ReadClipboard("UTF8_STRING"), "fremd");
  other.Wait();
  ASSERT_TRUE(CopyToClipboard(nullptr, "wieder meins"));
  EXPECT_EQ(ReadClipboard("UTF8_STRING"), "wieder meins");
  // No text: the clipboard is only emptied.
  ASSERT_TRUE(CopyToClipboard(nullptr, nullptr));
  EXPECT_EQ(ReadClipboard("UTF8_STRING"), "");
}

TEST_F(DesktopTest, TextPaddedInTheDisplaysFont) {
  // Xvfb's default font is "fixed", 6 pixels a character.
  CString text("Name");
  FormatWindowText(nullptr, text, 60, ":", nullptr, '.');
  EXPECT_STREQ(text, "Name.....");
  text = "Name";
  FormatWindowText(nullptr, text, -12, ": ", nullptr, '.');
  EXPECT_STREQ(text, "Name......");
  text = "Ein langer Name";
  FormatWindowText(nullptr, text, 60, ":", nullptr, '.');
  EXPECT_STREQ(text, "Ein langer Name");
}

TEST_F(DesktopTest, ProgramOutlivesItsDisplay) {
  ASSERT_TRUE(CopyToClipboard(nullptr, "vor dem Ende"));
  // The X server goes away under the clipboard's connection; the program
  // goes on, and on a new display the clipboard works again. Whether the
  // clipboard's thread has already seen the loss (the call connects anew
  // and finds nobody) or not (the call finds the loss), the call fails.
  m_display.Stop();
  EXPECT_FALSE(CopyToClipboard(nullptr, "ohne Anzeige"));
  desktop::VirtualDisplay next;
  ASSERT_FALSE(next.name().empty());
  setenv("DISPLAY", next.name().c_str(), 1);
  ASSERT_TRUE(CopyToClipboard(nullptr, "neue Anzeige"));
  desktop::ChildProcess xclip({"/bin/sh", "-c", "/usr/bin/xclip -o -selection clipboard; echo"},
                              {"DISPLAY=" + next.name()});
  EXPECT_EQ(xclip.ReadLine(3000ms), "neue Anzeige");
}

}  // namespace
