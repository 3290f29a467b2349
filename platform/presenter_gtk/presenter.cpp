// The desktop presenter: GTK windows where a desktop can be reached, the
// headless answers where it cannot or where the environment answers.
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/presenter.h>

#include <cstdlib>

#include "dialogs.h"
#include "os/environment.h"

using xtb::gtk::Outcome;

namespace {

// The outcome of `show`, or kNoDesktop without calling it when the
// environment variable answers.
template <typename Show>
Outcome ShowUnlessAnswered(const char* answerVariable, Show show) {
  return xtb::os::NonEmptyEnvironmentValue(answerVariable) != nullptr ? Outcome::kNoDesktop : show();
}

// TRUE with the chosen path, FALSE with the last error of a cancelled or lost dialog.
BOOL DialogResult(Outcome outcome, const std::optional<std::string>& chosen, CString& path) {
  if (outcome == Outcome::kDisplayLost || !chosen) {
    SetLastError(outcome == Outcome::kDisplayLost ? ERROR_NOT_SUPPORTED : ERROR_CANCELLED);
    return FALSE;
  }
  path = chosen->c_str();
  return TRUE;
}

}  // namespace

int XTDesktopPresenter::ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) {
  int answer = 0;
  const Outcome outcome = ShowUnlessAnswered(
      "XTBASIS_MSGBOX_ANSWER", [&] { return xtb::gtk::ShowBox(caption.view(), text.view(), type, answer); });
  if (outcome == Outcome::kNoDesktop) return m_headless.ShowMessageBox(owner, text, caption, type);
  if (outcome == Outcome::kDisplayLost) SetLastError(ERROR_NOT_SUPPORTED);
  return answer;
}

BOOL XTDesktopPresenter::ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) {
  std::optional<std::string> chosen;
  const Outcome outcome =
      ShowUnlessAnswered("XTBASIS_SAVEFILE_ANSWER", [&] { return xtb::gtk::ShowSaveDialog(request, chosen); });
  return outcome == Outcome::kNoDesktop ? m_headless.ShowSaveFileDialog(request, path)
                                        : DialogResult(outcome, chosen, path);
}

BOOL XTDesktopPresenter::ShowFolderDialog(const XTFolderRequest& request, CString& folder) {
  std::optional<std::string> chosen;
  const Outcome outcome =
      ShowUnlessAnswered("XTBASIS_FOLDER_ANSWER", [&] {
        return request.flags & BIF_BROWSEFORCOMPUTER ? xtb::gtk::ShowComputerDialog(request, chosen)
                                                     : xtb::gtk::ShowFolderDialog(request, chosen);
      });
  return outcome == Outcome::kNoDesktop ? m_headless.ShowFolderDialog(request, folder)
                                        : DialogResult(outcome, chosen, folder);
}
