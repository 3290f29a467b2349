// The reg subcommand of the xtbasis tool against a store in a temp folder.
#include <fstream>

#include "registry_fixture.h"
#include "tool_run.h"

namespace {

struct ToolResult {
  int code;
  std::string out;
};

// Standard output, or with `errors` standard error instead.
ToolResult Tool(const std::string& arguments, bool errors = false) {
  const ToolRun run = RunToolSplit("reg " + arguments);
  return {run.status, errors ? run.errors : run.output};
}

using RegistryTool = RegistryTest;

TEST_F(RegistryTool, SetsGetsListsAndReportsByExitCode) {
  if (access(XTB_TOOL_PATH, X_OK) != 0) GTEST_SKIP() << "the tool is not built";
  EXPECT_EQ(Tool("set 'HKCU\\Software\\T' Name 'two words'").code, 0);
  EXPECT_EQ(Tool("set 'HKCU\\Software\\T' Count --type dword 0x10").code, 0);
  EXPECT_EQ(Tool("set 'HKCU\\Software\\T' Raw --type binary 00,ff").code, 0);
  EXPECT_EQ(Tool("get 'HKCU\\Software\\T' name").out, "two words\n");
  EXPECT_EQ(Tool("get 'HKEY_CURRENT_USER\\Software\\T' Count").out, "16\n");
  EXPECT_EQ(Tool("list 'HKCU\\Software'").out, "T\\\n");
  EXPECT_EQ(Tool("list 'HKCU\\Software\\T'").out,
            "Name\tREG_SZ\ttwo words\nCount\tREG_DWORD\t16\nRaw\tREG_BINARY\t00 ff\n");

  // The tool writes the same store that the calls read.
  HKEY key = nullptr;
  ASSERT_EQ(Open(HKEY_CURRENT_USER, "Software\\T", &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "Count"), 16u);
  RegCloseKey(key);

  EXPECT_EQ(Tool("get 'HKCU\\Software\\T' Missing").code, 1);
  EXPECT_EQ(Tool("set 'HKCU\\Software\\T' Count --type dword 4294967296").code, 2);
  EXPECT_EQ(Tool("set 'HKCU\\Software\\T' Count --type binary 0").code, 2);
  EXPECT_EQ(Tool("get 'HKXY\\Software'").code, 2);
  EXPECT_EQ(Tool("frob").code, 2);
  EXPECT_EQ(Tool("delete 'HKCU\\Software\\T' Name").code, 0);
  EXPECT_EQ(Tool("get 'HKCU\\Software\\T' Name").code, 1);
}

TEST_F(RegistryTool, ExportsAndImportsFiles) {
  if (access(XTB_TOOL_PATH, X_OK) != 0) GTEST_SKIP() << "the tool is not built";
  const std::string file = dir_ + "/t.reg";
  ASSERT_EQ(Tool("set 'HKLM\\SOFTWARE\\T' Path --type expand_sz '%HOME%'").code, 0);
  ASSERT_EQ(Tool("export 'HKLM\\SOFTWARE\\T' " + file).code, 0);
  ASSERT_EQ(Tool("delete 'HKLM\\SOFTWARE\\T'").code, 0);
  EXPECT_EQ(Tool("get 'HKLM\\SOFTWARE\\T' Path").code, 1);
  ASSERT_EQ(Tool("import " + file).code, 0);
  EXPECT_EQ(Tool("get 'HKLM\\SOFTWARE\\T' Path").out, "%HOME%\n");

  // A malformed entry is reported in German (UTF-8 on the terminal) and
  // skipped; --strict imports nothing.
  const std::string bad = dir_ + "/bad.reg";
  std::ofstream(bad) << "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\T]\n\"Path\"=\"x\"\nbroken\n\"N\"=dword:7\n";
  const ToolResult strict = Tool("import --strict " + bad, true);
  EXPECT_EQ(strict.code, 1);
  EXPECT_EQ(strict.out, "xtbasis reg: " + bad + ": Zeile 4: weder Schl\u00FCssel noch Wert\n" +
                            "xtbasis reg: " + bad + ": nichts importiert\n");
  EXPECT_EQ(Tool("get 'HKLM\\SOFTWARE\\T' Path").out, "%HOME%\n");
  const ToolResult lenient = Tool("import " + bad, true);
  EXPECT_EQ(lenient.code, 0);
  EXPECT_EQ(lenient.out, "xtbasis reg: " + bad + ": Zeile 4: weder Schl\u00FCssel noch Wert (\u00FCbersprungen)\n");
  EXPECT_EQ(Tool("get 'HKLM\\SOFTWARE\\T' Path").out, "x\n");
  EXPECT_EQ(Tool("get 'HKLM\\SOFTWARE\\T' N").out, "7\n");
  const ToolResult missing = Tool("export 'HKLM\\SOFTWARE\\Nope' " + file, true);
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "xtbasis reg: Schl\u00FCssel nicht gefunden: HKLM\\SOFTWARE\\Nope\n");
  EXPECT_EQ(Tool("import").code, 2);
}

}  // namespace
