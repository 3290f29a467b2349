// The desktop presenter on a real virtual display with real GTK: the probe
// shows a box or dialog, xdotool answers it with the keyboard, and the test
// checks the answer the probe printed ("<result> <last error> [path]").
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xtbasis/platform/presenter.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "desktop_session.h"

namespace {

using desktop::ChildProcess;
using desktop::VirtualDisplay;

std::string Arg(UINT value) { return std::to_string(value); }

std::string ReadFile(const std::string& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), {}};
}

TEST(DefaultPresenter, IsTheDesktopOneInADesktopSession) {
  const char* saved = std::getenv("DISPLAY");
  const std::string display = saved ? saved : "";
  unsetenv("WAYLAND_DISPLAY");
  setenv("DISPLAY", ":77", 1);
  EXPECT_NE(dynamic_cast<XTDesktopPresenter*>(&GetXTPresenter()), nullptr);
  setenv("DISPLAY", "", 1);
  EXPECT_NE(dynamic_cast<XTHeadlessPresenter*>(&GetXTPresenter()), nullptr);
  setenv("WAYLAND_DISPLAY", "wayland-0", 1);
  EXPECT_NE(dynamic_cast<XTDesktopPresenter*>(&GetXTPresenter()), nullptr);
  unsetenv("WAYLAND_DISPLAY");
  if (saved)
    setenv("DISPLAY", display.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

class DesktopPresenter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(display.name().empty()) << "Xvfb could not be started (scripts/install-debian-packages installs xvfb)";
  }

  // The probe ended by itself, without a sanitizer report.
  void ExpectCleanExit(ChildProcess& probe) { EXPECT_EQ(probe.Wait(), 0) << ReadFile(display.folder() + "/probe.err"); }

  // Shows a box of `type` titled "Probe", presses `keys` in it and returns the probe's answer line.
  std::string AnswerBox(UINT type, const std::vector<std::string>& keys) {
    auto probe = display.Probe({"box", Arg(type), "Probe", "Text"});
    if (!display.Focus("Probe")) return "<no window>";
    EXPECT_TRUE(display.Keys(keys));
    std::string answer = probe->ReadLine();
    ExpectCleanExit(*probe);
    return answer;
  }

  VirtualDisplay display;
};

TEST_F(DesktopPresenter, ReturnAnswersTheDefaultButtonAndTheCaptionIsConvertedFrom1252) {
  // "Prüfung" in code page 1252 must become the UTF-8 window title.
  const std::string caption = std::string("Pr\xFC") + "fung";
  auto probe = display.Probe({"box", Arg(MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION), caption, "Text"});
  ASSERT_TRUE(display.Focus(std::string("Pr\xC3\xBC") + "fung"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "7 0");  // IDNO
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, ButtonsStandInTheWindowsOrder) {
  // From the default button, Tab and the arrow keys walk along the buttons.
  EXPECT_EQ(AnswerBox(MB_YESNOCANCEL, {"Tab", "Return"}), "7 0");                  // Ja → Nein
  EXPECT_EQ(AnswerBox(MB_ABORTRETRYIGNORE, {"Right", "Right", "Return"}), "5 0");  // → Wiederholen → Ignorieren
}

TEST_F(DesktopPresenter, EscapeClosesOnlyBoxesWithCancelOrOnlyOk) {
  EXPECT_EQ(AnswerBox(MB_OKCANCEL, {"Escape"}), "2 0");
  EXPECT_EQ(AnswerBox(MB_OK | MB_ICONINFORMATION, {"Escape"}), "1 0");

  // Yes/No cannot be closed, and the help button does not close the box either.
  for (UINT type : {MB_YESNO, MB_OK | MB_HELP}) {
    auto probe = display.Probe({"box", Arg(type), "Probe", "Text"});
    ASSERT_TRUE(display.Focus("Probe"));
    EXPECT_TRUE(display.Keys(type == MB_YESNO ? std::vector<std::string>{"Escape"}
                                              : std::vector<std::string>{"Tab", "Return"}));
    EXPECT_EQ(probe->ReadLine(std::chrono::milliseconds(300)), "<timeout>") << type;
    EXPECT_EQ(display.CountWindows("Probe"), 1) << type;
    ASSERT_TRUE(display.Focus("Probe"));
    EXPECT_TRUE(display.Keys(type == MB_YESNO ? std::vector<std::string>{"Return"}
                                              : std::vector<std::string>{"Shift+Tab", "Return"}));
    EXPECT_EQ(probe->ReadLine(), type == MB_YESNO ? "6 0" : "1 0") << type;
    ExpectCleanExit(*probe);
  }
}

TEST_F(DesktopPresenter, BoxesOfTwoThreadsAreOpenAtOnce) {
  auto probe = display.Probe({"boxes", Arg(MB_OK), "Erster", "Zweiter"});
  ASSERT_TRUE(display.Focus("Erster"));
  ASSERT_TRUE(display.Focus("Zweiter"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "second 1 0");
  EXPECT_EQ(display.CountWindows("Erster"), 1);  // the first thread still waits
  ASSERT_TRUE(display.Focus("Erster"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "first 1 0");
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, SaveDialogAppendsTheDefaultExtension) {
  // The preset names only the folder; the name is typed.
  auto probe = display.Probe({"save", Arg(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), "dmp", "DMP-Datei (*.dmp)|*.dmp||",
                              display.folder() + "/"});
  ASSERT_TRUE(display.Focus("Speichern unter"));
  EXPECT_TRUE(display.Type("absturz"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "1 0 " + display.folder() + "/absturz.dmp");
  ExpectCleanExit(*probe);

  // A preset name brings its folder; a name with an extension keeps it.
  probe = display.Probe({"save", "0", "dmp", "", display.folder() + "/bericht.txt"});
  ASSERT_TRUE(display.Focus("Speichern unter"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "1 0 " + display.folder() + "/bericht.txt");
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, SaveDialogAsksBeforeReplacingAFile) {
  const std::string existing = display.folder() + "/alt.dmp";
  std::ofstream(existing) << "alter Inhalt";
  const std::vector<std::string> save{"save", Arg(OFN_OVERWRITEPROMPT), "dmp", "DMP-Datei (*.dmp)|*.dmp||",
                                      display.folder() + "/alt"};

  // "Nein" (the default) goes back to the dialog; cancelling it then gives ERROR_CANCELLED.
  auto probe = display.Probe(save);
  ASSERT_TRUE(display.Focus("Speichern unter"));
  EXPECT_TRUE(display.Keys({"Return"}));
  ASSERT_TRUE(display.Focus("Datei ersetzen"));
  EXPECT_TRUE(display.Keys({"Return"}));
  ASSERT_TRUE(display.Focus("Speichern unter"));
  EXPECT_TRUE(display.Keys({"Escape"}));
  EXPECT_EQ(probe->ReadLine(), "0 1223");
  ExpectCleanExit(*probe);
  EXPECT_EQ(ReadFile(existing), "alter Inhalt");

  // "Ja" hands the existing file's name back.
  probe = display.Probe(save);
  ASSERT_TRUE(display.Focus("Speichern unter"));
  EXPECT_TRUE(display.Keys({"Return"}));
  ASSERT_TRUE(display.Focus("Datei ersetzen"));
  EXPECT_TRUE(display.Keys({"Shift+Tab", "Return"}));
  EXPECT_EQ(probe->ReadLine(), "1 0 " + existing);
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, FolderDialogStartsInTheInitialFolder) {
  const std::string folder = display.folder() + "/Praxis";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  auto probe = display.Probe({"folder", folder});
  ASSERT_TRUE(display.Focus("Ordner suchen"));
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(probe->ReadLine(), "1 0 " + folder);
  ExpectCleanExit(*probe);

  probe = display.Probe({"folder", folder});
  ASSERT_TRUE(display.Focus("Ordner suchen"));
  EXPECT_TRUE(display.Keys({"Escape"}));
  EXPECT_EQ(probe->ReadLine(), "0 1223");
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, HeadlessAnswersWithoutAReachableDisplayOrWhenTheEnvironmentAnswers) {
  // DISPLAY names a server that is not there: the default button, and the headless line on stderr.
  auto probe = display.Probe({"box", Arg(MB_OKCANCEL | MB_DEFBUTTON2), "Probe", "Ohne Anzeige"}, {"DISPLAY=:98765"});
  EXPECT_EQ(probe->ReadLine(), "2 0");
  ExpectCleanExit(*probe);
  EXPECT_NE(ReadFile(display.folder() + "/probe.err").find("Probe: Ohne Anzeige\n"), std::string::npos);

  // A working display, but the answer variables answer without a window.
  probe = display.Probe({"box", Arg(MB_YESNO), "Probe", "Text"}, {"XTBASIS_MSGBOX_ANSWER=NO"});
  EXPECT_EQ(probe->ReadLine(), "7 0");
  ExpectCleanExit(*probe);
  probe = display.Probe({"folder", "/"}, {"XTBASIS_FOLDER_ANSWER=/srv/praxis"});
  EXPECT_EQ(probe->ReadLine(), "1 0 /srv/praxis");
  ExpectCleanExit(*probe);
  EXPECT_EQ(display.CountWindows("Probe"), 0);
}

TEST_F(DesktopPresenter, ALostDisplayReleasesTheWaitingCaller) {
  auto probe = display.Probe({"box", Arg(MB_OK), "Probe", "Text"});
  ASSERT_TRUE(display.Focus("Probe"));
  display.Stop();
  EXPECT_EQ(probe->ReadLine(), "0 50");  // ERROR_NOT_SUPPORTED
  ExpectCleanExit(*probe);
}

TEST_F(DesktopPresenter, AForkedChildAnswersHeadlessly) {
  auto probe = display.Probe({"forkbox", Arg(MB_OKCANCEL | MB_DEFBUTTON2), "Probe"});
  ASSERT_TRUE(display.Focus("Probe"));
  EXPECT_TRUE(display.Keys({"Shift+Tab", "Return"}));
  EXPECT_EQ(probe->ReadLine(), "parent 1 0");
  EXPECT_EQ(probe->ReadLine(), "child 2 0");  // no window: the default button at once
  ExpectCleanExit(*probe);
}

}  // namespace
