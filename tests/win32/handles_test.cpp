// Handles as a program written for Windows uses them: a handle closed twice,
// never given out or forged fails with ERROR_INVALID_HANDLE and touches no
// other object.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "kernel_objects.h"

namespace {

struct Probe : xtb::win32::KernelObject {
  explicit Probe(bool* gone) : gone(gone) {}
  ~Probe() override { *gone = true; }
  bool* gone;
};

TEST(Handles, ClosingTwiceOrForgedFailsWithInvalidHandle) {
  bool gone = false;
  HANDLE handle = xtb::win32::OpenHandle(std::make_shared<Probe>(&gone));
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_TRUE(gone);
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  for (HANDLE forged : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x7)}) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(forged));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

TEST(Handles, AnObjectInUseOutlivesItsHandle) {
  bool gone = false;
  HANDLE handle = xtb::win32::OpenHandle(std::make_shared<Probe>(&gone));
  std::shared_ptr<Probe> inUse = xtb::win32::ObjectOfKind<Probe>(handle);
  ASSERT_NE(inUse, nullptr);
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_FALSE(gone);
  EXPECT_EQ(xtb::win32::ObjectOf(handle), nullptr);
  inUse.reset();
  EXPECT_TRUE(gone);
}

TEST(Handles, AHandleOfAnotherKindIsRefused) {
  struct Other : xtb::win32::KernelObject {};
  bool gone = false;
  HANDLE handle = xtb::win32::OpenHandle(std::make_shared<Probe>(&gone));
  SetLastError(0);
  EXPECT_EQ(xtb::win32::ObjectOfKind<Other>(handle), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(CloseHandle(handle));
}

}  // namespace
