// XTBrowseForFolder's choice between the two dialogs, its three results and
// its handling of the caller's buffer, through a presenter of the caller's
// own (as programs install them) and through the headless presenter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <xtbasis/folderdialog.h>
#include <xtbasis/platform/lasterror.h>

namespace {

// Answers each dialog with the next of its scripted answers and keeps the requests.
class ScriptedPresenter : public XTPresenter {
 public:
  struct Answer {
    BOOL ok;
    DWORD error;  // the last error of a FALSE answer
    const char* folder;
  };
  explicit ScriptedPresenter(std::vector<Answer> answers) : m_answers(std::move(answers)) {
    m_previous = SetXTPresenter(this);
  }
  ~ScriptedPresenter() override { SetXTPresenter(m_previous); }

  int ShowMessageBox(HWND, const CString&, const CString&, UINT) override { return 0; }
  BOOL ShowSaveFileDialog(const XTSaveFileRequest&, CString&) override { return FALSE; }
  BOOL ShowFolderDialog(const XTFolderRequest& request, CString& folder) override {
    requests.push_back(request);
    if (m_next >= m_answers.size()) {
      SetLastError(ERROR_NOT_SUPPORTED);
      return FALSE;
    }
    const Answer& answer = m_answers[m_next++];
    if (!answer.ok) {
      SetLastError(answer.error);
      return FALSE;
    }
    folder = answer.folder;
    return TRUE;
  }

  std::vector<XTFolderRequest> requests;

 private:
  std::vector<Answer> m_answers;
  size_t m_next = 0;
  XTPresenter* m_previous = nullptr;
};

TEST(BrowseForFolder, TheFolderChooserAnswersWhenTheFlagsAllowIt) {
  ScriptedPresenter presenter({{TRUE, 0, "/srv/praxis/scan"}, {FALSE, ERROR_CANCELLED, nullptr}});
  char path[MAX_PATH] = "/srv/praxis";
  EXPECT_EQ(XTBrowseForFolder(nullptr, "Ablage w\xE4hlen", BIF_RETURNONLYFSDIRS, path, sizeof path), XTBROWSE_CHOSEN);
  EXPECT_STREQ(path, "/srv/praxis/scan");
  ASSERT_EQ(presenter.requests.size(), 1u);
  EXPECT_EQ(presenter.requests[0].title, CString("Ablage w\xE4hlen"));
  EXPECT_EQ(presenter.requests[0].initialFolder, CString("/srv/praxis"));
  EXPECT_EQ(presenter.requests[0].flags, BIF_RETURNONLYFSDIRS);

  // Cancelled: the buffer keeps what it held, and the classic browser is not tried.
  EXPECT_EQ(XTBrowseForFolder(nullptr, "x", 0, path, sizeof path), XTBROWSE_CANCELLED);
  EXPECT_STREQ(path, "/srv/praxis/scan");
  EXPECT_EQ(presenter.requests.size(), 2u);
}

TEST(BrowseForFolder, TheClassicBrowserTakesOverWhereTheChooserCannot) {
  // The chooser is not available: the classic browser with the new dialog style.
  ScriptedPresenter presenter({{FALSE, ERROR_NOT_SUPPORTED, nullptr}, {TRUE, 0, "/home/praxis"}});
  char path[MAX_PATH] = "";
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, BIF_RETURNONLYFSDIRS, path, sizeof path), XTBROWSE_CHOSEN);
  EXPECT_STREQ(path, "/home/praxis");
  ASSERT_EQ(presenter.requests.size(), 2u);
  EXPECT_EQ(presenter.requests[1].flags, BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE);

  // What only the classic browser offers goes there at once.
  for (unsigned int flag : {BIF_DONTGOBELOWDOMAIN, BIF_BROWSEFORPRINTER}) {
    ScriptedPresenter classic({{TRUE, 0, "/x"}});
    EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, flag, path, sizeof path), XTBROWSE_CHOSEN);
    ASSERT_EQ(classic.requests.size(), 1u);
    EXPECT_EQ(classic.requests[0].flags, flag | BIF_NEWDIALOGSTYLE);
  }
  // A computer: no preselection, no new dialog style, its network name back.
  ScriptedPresenter computers({{TRUE, 0, "\\\\EMPFANG"}});
  std::strcpy(path, "/srv");
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, BIF_BROWSEFORCOMPUTER, path, sizeof path), XTBROWSE_CHOSEN);
  EXPECT_STREQ(path, "\\\\EMPFANG");
  ASSERT_EQ(computers.requests.size(), 1u);
  EXPECT_EQ(computers.requests[0].flags, BIF_BROWSEFORCOMPUTER);
  EXPECT_TRUE(computers.requests[0].initialFolder.IsEmpty());
  EXPECT_EQ(computers.requests[0].title, CString("Computer suchen"));

  // Neither dialog available.
  ScriptedPresenter none({});
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, 0, path, sizeof path), XTBROWSE_ERROR);
  EXPECT_EQ(none.requests.size(), 2u);
  EXPECT_STREQ(path, "\\\\EMPFANG");
}

TEST(BrowseForFolder, BuffersOfTheCaller) {
  // An empty choice counts as cancelled; a null path still gives 2.
  ScriptedPresenter presenter({{TRUE, 0, ""}, {TRUE, 0, "/srv/a"}, {TRUE, 0, "/srv/abcdef"}});
  char path[8] = "/alt";
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, 0, path, sizeof path), XTBROWSE_CANCELLED);
  EXPECT_STREQ(path, "/alt");
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, 0, nullptr, 0), XTBROWSE_CHOSEN);
  EXPECT_TRUE(presenter.requests[1].initialFolder.IsEmpty());
  // Cut to the buffer and terminated; an unterminated preselection is read only within it.
  std::memset(path, 'x', sizeof path);
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, 0, path, 6), XTBROWSE_CHOSEN);
  EXPECT_EQ(presenter.requests[2].initialFolder, CString("xxxxxx"));
  EXPECT_STREQ(path, "/srv/");
}

TEST(BrowseForFolder, HeadlessAnswersFromTheEnvironment) {
  ASSERT_EQ(std::getenv("DISPLAY") ? std::string(std::getenv("DISPLAY")) : "", "");
  char path[MAX_PATH] = "/tmp";
  unsetenv("XTBASIS_FOLDER_ANSWER");
  EXPECT_EQ(XTBrowseForFolder(nullptr, "Ordner", 0, path, sizeof path), XTBROWSE_CANCELLED);
  EXPECT_STREQ(path, "/tmp");
  setenv("XTBASIS_FOLDER_ANSWER", "/srv/praxis/archiv", 1);
  EXPECT_EQ(XTBrowseForFolder(nullptr, "Ordner", 0, path, sizeof path), XTBROWSE_CHOSEN);
  EXPECT_STREQ(path, "/srv/praxis/archiv");
  setenv("XTBASIS_FOLDER_ANSWER", "\\\\PRAXIS-PC2", 1);
  EXPECT_EQ(XTBrowseForFolder(nullptr, nullptr, BIF_BROWSEFORCOMPUTER, path, sizeof path), XTBROWSE_CHOSEN);
  EXPECT_STREQ(path, "\\\\PRAXIS-PC2");
  unsetenv("XTBASIS_FOLDER_ANSWER");
}

}  // namespace
