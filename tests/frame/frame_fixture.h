// A test's own temporary folder, registry hives and system base object.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "scratch_dir.h"
#include "tracesettings.h"

class TestSysBase : public CXTSysBase {
 public:
  CString MainRegKey() override { return mainKey; }
  CString mainKey;
};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = std::filesystem::path(m_scratch.Path()).parent_path();
    setenv("XTBASIS_REGISTRY_DIR", (m_dir / "hives").c_str(), 1);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    m_sysBase.mainKey = CString(std::string("SOFTWARE\\XTFrameTest\\") + test->test_suite_name() + "." + test->name());
    m_sysBase.LogDir = CString(m_dir.string() + "/");
    xtb::ProcessTraceSettings().Reset();
    gp_XTSysBase = &m_sysBase;
  }
  void TearDown() override {
    gp_XTSysBase = nullptr;
    xtb::ProcessTraceSettings().Reset();
  }

  // Writes a value below HKEY_LOCAL_MACHINE\<key>.
  static void SetValue(const CString& key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(handle);
  }
  static void SetText(const CString& key, const char* name, const char* text, DWORD type = REG_SZ) {
    SetValue(key, name, type, text, static_cast<DWORD>(std::char_traits<char>::length(text) + 1));
  }
  void SetTraceText(const char* name, const char* text, DWORD type = REG_SZ) {
    SetText(m_sysBase.mainKey, name, text, type);
  }

  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::string TraceFile() const { return Path("r9trace.log"); }
  static std::string Read(const std::string& path) { return ScratchDir::Read(path); }

  ScratchDir m_scratch;
  std::filesystem::path m_dir;  // m_scratch without the final '/'

  TestSysBase m_sysBase;
};
