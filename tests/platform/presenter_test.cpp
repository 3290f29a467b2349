#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>

namespace {

// Sends standard error into a temporary file while alive; Text() reads it.
class StderrCapture {
 public:
  StderrCapture() : m_file(std::tmpfile()), m_saved(dup(2)) {
    fflush(stderr);
    dup2(fileno(m_file), 2);
  }
  ~StderrCapture() {
    Restore();
    std::fclose(m_file);
  }
  std::string Text() {
    Restore();
    std::string text;
    std::rewind(m_file);
    for (int c; (c = std::fgetc(m_file)) != EOF;) text += static_cast<char>(c);
    return text;
  }

 private:
  void Restore() {
    if (m_saved < 0) return;
    dup2(m_saved, 2);
    close(m_saved);
    m_saved = -1;
  }
  FILE* m_file;
  int m_saved;
};

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) { setenv(name, value, 1); }
  ~ScopedEnv() { unsetenv(m_name); }

 private:
  const char* m_name;
};

class Presenter : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("XTBASIS_MSGBOX_ANSWER");
    unsetenv("XTBASIS_SAVEFILE_ANSWER");
    unsetenv("XTBASIS_FOLDER_ANSWER");
    // The headless presenter even when the tests run in a desktop session.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    SetXTPresenter(nullptr);
  }
};

TEST_F(Presenter, HeadlessBoxWritesCaptionAndTextOnOneLineOfStandardError) {
  StderrCapture capture;
  EXPECT_EQ(MessageBoxA(nullptr, "Zeile 1\r\nZeile 2\nZeile 3\rEnde", "XTTrace", MB_OK | MB_TOPMOST), IDOK);
  // No caption: Windows' own "Error". Text in 1252 (ü) reaches the terminal as UTF-8.
  EXPECT_EQ(MessageBoxA(nullptr, "Pr\xFC" "fen", nullptr, MB_OK), IDOK);
  EXPECT_EQ(AfxMessageBox("Frage?\n\nJa oder nein", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(capture.Text(), "XTTrace: Zeile 1 Zeile 2 Zeile 3 Ende\n"
                            "Error: Pr\xC3\xBC" "fen\n" +
                                std::string(program_invocation_short_name) + ": Frage?  Ja oder nein\n");
}

TEST_F(Presenter, DefaultButtonComesFromTheButtonSet) {
  EXPECT_EQ(XTDefaultButton(MB_OK), IDOK);
  EXPECT_EQ(XTDefaultButton(MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(XTDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3 | MB_ICONERROR), IDCANCEL);
  EXPECT_EQ(XTDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(XTDefaultButton(MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
  EXPECT_EQ(XTDefaultButton(MB_CANCELTRYCONTINUE | MB_DEFBUTTON2), IDTRYAGAIN);
  EXPECT_EQ(XTDefaultButton(MB_RETRYCANCEL), IDRETRY);
  // A default beyond the set, and an unknown set, fall back to the first button.
  EXPECT_EQ(XTDefaultButton(MB_YESNO | MB_DEFBUTTON4), IDYES);
  EXPECT_EQ(XTDefaultButton(0x0000000Fu), IDOK);
  EXPECT_TRUE(XTHasButton(MB_OKCANCEL, IDCANCEL));
  EXPECT_FALSE(XTHasButton(MB_OK, IDCANCEL));
  EXPECT_FALSE(XTHasButton(MB_OK, IDHELP));
  EXPECT_TRUE(XTHasButton(MB_OK | MB_HELP, IDHELP));
}

TEST_F(Presenter, EnvironmentChoosesTheAnswerWhenTheBoxHasThatButton) {
  XTHeadlessPresenter headless(-1);  // lines go nowhere
  {
    ScopedEnv env("XTBASIS_MSGBOX_ANSWER", "no");
    EXPECT_EQ(headless.ShowMessageBox(nullptr, "t", "c", MB_YESNOCANCEL), IDNO);
    EXPECT_EQ(headless.ShowMessageBox(nullptr, "t", "c", MB_OK), IDOK);  // no such button: default
  }
  {
    ScopedEnv env("XTBASIS_MSGBOX_ANSWER", "2");
    EXPECT_EQ(headless.ShowMessageBox(nullptr, "t", "c", MB_OKCANCEL), IDCANCEL);
  }
  {
    ScopedEnv env("XTBASIS_MSGBOX_ANSWER", "Retry");
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_ABORTRETRYIGNORE), IDRETRY);
  }
}

TEST_F(Presenter, UnknownEnvironmentAnswerIsReportedAndTheDefaultTaken) {
  ScopedEnv env("XTBASIS_MSGBOX_ANSWER", "VIELLEICHT");
  StderrCapture capture;
  EXPECT_EQ(MessageBoxA(nullptr, "Text", "Titel", MB_YESNO | MB_DEFBUTTON2), IDNO);
  const std::string text = capture.Text();
  EXPECT_EQ(text.rfind("Titel: Text\n", 0), 0u) << text;
  EXPECT_NE(text.find("unknown answer 'VIELLEICHT'"), std::string::npos) << text;
}

class RecordingPresenter : public XTPresenter {
 public:
  int ShowMessageBox(HWND, const CString& text, const CString& caption, UINT type) override {
    seen = caption + "|" + text;
    seenType = type;
    return IDIGNORE;
  }
  BOOL ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) override {
    path = "/tmp/" + request.defaultExt;
    return TRUE;
  }
  BOOL ShowFolderDialog(const XTFolderRequest& request, CString& folder) override {
    folder = request.initialFolder;
    return TRUE;
  }
  CString seen;
  UINT seenType = 0;
};

TEST_F(Presenter, ProgramsInstallTheirOwnPresenter) {
  RecordingPresenter own;
  XTPresenter* before = SetXTPresenter(&own);
  EXPECT_EQ(before, nullptr);
  EXPECT_EQ(&GetXTPresenter(), &own);
  EXPECT_EQ(MessageBoxA(nullptr, "Text", "Titel", MB_ABORTRETRYIGNORE | MB_TOPMOST), IDIGNORE);
  EXPECT_EQ(own.seen, "Titel|Text");
  EXPECT_EQ(own.seenType, MB_ABORTRETRYIGNORE | MB_TOPMOST);
  CString path;
  XTSaveFileRequest save;
  save.defaultExt = "dmp";
  EXPECT_TRUE(XTShowSaveFileDialog(save, path));
  EXPECT_EQ(path, "/tmp/dmp");

  EXPECT_EQ(SetXTPresenter(nullptr), &own);
  EXPECT_NE(&GetXTPresenter(), &own);
  StderrCapture quiet;
  EXPECT_EQ(MessageBoxA(nullptr, "Text", "Titel", MB_ABORTRETRYIGNORE), IDABORT);
}

TEST_F(Presenter, HeadlessDialogsCancelUnlessTheEnvironmentAnswers) {
  XTHeadlessPresenter headless(-1);
  XTSaveFileRequest save;
  save.defaultExt = "dmp";
  save.filter = "DMP-Datei (*.dmp)|*.dmp||";
  CString path("unchanged");
  SetLastError(0);
  EXPECT_FALSE(headless.ShowSaveFileDialog(save, path));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(path, "unchanged");
  {
    ScopedEnv env("XTBASIS_SAVEFILE_ANSWER", "/var/tmp/absturz");
    EXPECT_TRUE(headless.ShowSaveFileDialog(save, path));
    EXPECT_EQ(path, "/var/tmp/absturz.dmp");
  }
  {
    // An extension of its own is kept; a dot in a folder name is no extension.
    ScopedEnv env("XTBASIS_SAVEFILE_ANSWER", "/var/tmp/a.b/dump.bin");
    EXPECT_TRUE(headless.ShowSaveFileDialog(save, path));
    EXPECT_EQ(path, "/var/tmp/a.b/dump.bin");
    setenv("XTBASIS_SAVEFILE_ANSWER", "/var/tmp/a.b/dump", 1);
    EXPECT_TRUE(headless.ShowSaveFileDialog(save, path));
    EXPECT_EQ(path, "/var/tmp/a.b/dump.dmp");
  }
  XTFolderRequest folder;
  folder.initialFolder = "/home";
  CString chosen("unchanged");
  EXPECT_FALSE(XTHeadlessPresenter(-1).ShowFolderDialog(folder, chosen));
  EXPECT_EQ(chosen, "unchanged");
  ScopedEnv env("XTBASIS_FOLDER_ANSWER", "/srv/praxis");
  StderrCapture capture;
  EXPECT_TRUE(XTShowFolderDialog(folder, chosen));
  EXPECT_EQ(chosen, "/srv/praxis");
  EXPECT_EQ(capture.Text(), "Ordner suchen: /home\n");
}

}  // namespace
