// The folder dialog on a virtual display with real GTK, shown by the
// `xtbasis folder` tool and answered with xdotool: each result, the folder
// chooser and the computer list. A screenshot of the chooser is kept in
// the build tree's artefacts/folder_dialog.png, one of the computer list in
// artefacts/computer_dialog.png.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "desktop_session.h"
#include "os/computers.h"

namespace {

using desktop::ChildProcess;
using desktop::VirtualDisplay;

class FolderDialogDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(display.name().empty()) << "Xvfb could not be started (scripts/install-debian-packages installs xvfb)";
  }

  std::unique_ptr<ChildProcess> Folder(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{XTB_TOOL_PATH, "folder"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = display.Environment();
    environment.push_back("LC_ALL=de_DE.UTF-8");  // a German desktop
    return std::make_unique<ChildProcess>(argv, environment, display.folder() + "/folder.err");
  }

  // The screen as it is now, kept in the build tree's artefacts/ for a look.
  void Screenshot(const std::string& name) {
    const std::string artefacts = XTB_ARTEFACT_DIR;
    std::filesystem::create_directories(artefacts);
    const std::string shot = artefacts + "/" + name;
    std::filesystem::remove(shot);
    EXPECT_EQ(std::system(("import -display " + display.name() + " -window root '" + shot + "'").c_str()), 0);
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
  }

  VirtualDisplay display;
};

TEST_F(FolderDialogDesktop, ChooserStartsInTheGivenFolderAndAnswersOkAndCancel) {
  const std::string folder = display.folder() + "/Röntgenbilder";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  auto tool = Folder({"Ablage wählen", "--in", folder});
  ASSERT_TRUE(display.Focus("Ablage wählen"));
  Screenshot("folder_dialog.png");  // German labels, the initial folder shown
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(tool->ReadLine(), folder);
  EXPECT_EQ(tool->Wait(), 0);

  tool = Folder({"Ablage wählen", "--in", folder});
  ASSERT_TRUE(display.Focus("Ablage wählen"));
  EXPECT_TRUE(display.Keys({"Escape"}));
  EXPECT_EQ(tool->ReadLine(), "<end>");
  EXPECT_EQ(tool->Wait(), 1);
}

TEST_F(FolderDialogDesktop, ComputerListGivesTheNetworkName) {
  const std::vector<std::string> computers = xtb::os::KnownComputers();
  ASSERT_FALSE(computers.empty());
  auto tool = Folder({"--computer"});
  ASSERT_TRUE(display.Focus("Computer suchen"));
  Screenshot("computer_dialog.png");
  EXPECT_TRUE(display.Keys({"Return"}));
  EXPECT_EQ(tool->ReadLine(), "\\\\" + computers.front());
  EXPECT_EQ(tool->Wait(), 0);

  tool = Folder({"--computer"});
  ASSERT_TRUE(display.Focus("Computer suchen"));
  EXPECT_TRUE(display.Keys({"Escape"}));
  EXPECT_EQ(tool->Wait(), 1);
}

TEST_F(FolderDialogDesktop, WithoutAReachableDisplayTheHeadlessAnswerHolds) {
  display.Stop();
  auto tool = Folder({"Ablage"});
  EXPECT_EQ(tool->Wait(), 1);  // nobody answers: cancelled
  std::vector<std::string> environment = display.Environment();
  environment.push_back("XTBASIS_FOLDER_ANSWER=/srv/praxis");
  ChildProcess answered({XTB_TOOL_PATH, "folder", "Ablage"}, environment);
  EXPECT_EQ(answered.ReadLine(), "/srv/praxis");
  EXPECT_EQ(answered.Wait(), 0);
}

}  // namespace
