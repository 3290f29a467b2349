// A Windows-style fragment written with the unsuffixed names compiles and
// reaches the library's A calls.
#include <windows.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace {

TEST(Unsuffixed, RegistryMessageAndModuleNamesReachTheACalls) {
  ScratchDir scratch;
  const std::string dir = scratch.Path().substr(0, scratch.Path().size() - 1);
  setenv("XTBASIS_REGISTRY_DIR", dir.c_str(), 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\Praxis", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &key, nullptr),
            ERROR_SUCCESS);
  const DWORD port = 25;
  EXPECT_EQ(RegSetValueEx(key, "Port", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&port), sizeof port),
            ERROR_SUCCESS);
  DWORD read = 0, size = sizeof read, type = 0;
  EXPECT_EQ(RegQueryValueEx(key, "Port", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size), ERROR_SUCCESS);
  EXPECT_EQ(read, port);
  DWORD values = 0;
  EXPECT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                            nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);
  EXPECT_EQ(RegDeleteValue(key, "Port"), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, "Software\\Praxis"), ERROR_SUCCESS);
  xtb::CloseRegistryHives();
  unsetenv("XTBASIS_REGISTRY_DIR");

  PostThreadMessage(GetCurrentThreadId(), WM_APP, 1, 2);  // no queue yet: refused
  MSG msg{};
  EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));  // makes the queue
  EXPECT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_APP, 1, 2));
  ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, WM_APP);
  EXPECT_EQ(DispatchMessage(&msg), 0);  // a thread message has no window

  EXPECT_EQ(GetModuleHandle(nullptr), GetModuleHandleA(nullptr));
  char text[8];
  EXPECT_EQ(LoadString(GetModuleHandle(nullptr), 65000, text, sizeof text), 0);
}

}  // namespace
