// XTBrowseForFolder: the user chooses a folder, or on request a computer of
// the network, through the presenter in force (platform/presenter.h): a GTK
// folder chooser on a desktop, the headless answer (XTBASIS_FOLDER_ANSWER)
// without one.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/wintypes.h>

// Results of XTBrowseForFolder.
#define XTBROWSE_ERROR 0      // no dialog was available, or the choice gave no path
#define XTBROWSE_CANCELLED 1  // cancelled, or an empty choice
#define XTBROWSE_CHOSEN 2     // written to `path` (when not null)

// `flags` are the BIF_* flags. Without BIF_DONTGOBELOWDOMAIN,
// BIF_BROWSEFORCOMPUTER and BIF_BROWSEFORPRINTER the folder chooser is
// shown (file-system folders only, as with BIF_RETURNONLYFSDIRS); where it is
// not available, the classic browser: the presenter asked again with
// BIF_NEWDIALOGSTYLE added, or, with BIF_BROWSEFORCOMPUTER, the list of the
// computers this one knows (this computer and those of /etc/hosts), whose
// choice is handed back as "\\NAME". `path` holds the folder to preselect
// (or null) and receives the choice, cut to `pathSize` - 1 characters and
// terminated; on cancel it is left as it was.
XTBASIS_C_API int XTBrowseForFolder(HWND owner, const char* title, unsigned int flags, char* path,
                                    unsigned int pathSize);
