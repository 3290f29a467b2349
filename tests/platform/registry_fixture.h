// A fresh registry folder per test: XTBASIS_REGISTRY_DIR points into a temp
// folder that goes away afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <xtbasis/platform/registry.h>

#include "scratch_dir.h"

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = scratch_.Path().substr(0, scratch_.Path().size() - 1);
    setenv("XTBASIS_REGISTRY_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    xtb::CloseRegistryHives();  // the folder goes when the fixture does
    unsetenv("XTBASIS_REGISTRY_DIR");
  }

  static HKEY Create(HKEY root, const char* path, REGSAM access = KEY_ALL_ACCESS) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr), ERROR_SUCCESS) << path;
    return key;
  }
  static LONG Open(HKEY root, const char* path, HKEY* key, REGSAM access = KEY_ALL_ACCESS) {
    return RegOpenKeyExA(root, path, 0, access, key);
  }
  static LONG SetString(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  static LONG SetDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  // The value's bytes, or the error as text for a readable failure.
  static std::string Read(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
    std::string data(size, '\0');
    rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc != ERROR_SUCCESS) return "error " + std::to_string(rc);
    return data.substr(0, size);
  }
  static DWORD ReadDword(HKEY key, const char* name) {
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS) << name;
    return value;
  }
  // Names from an Enum call until ERROR_NO_MORE_ITEMS.
  template <class Enum>
  static std::vector<std::string> Names(Enum next) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      const LONG rc = next(i, name, &length);
      if (rc != ERROR_SUCCESS) {
        EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
        return names;
      }
      names.emplace_back(name, length);
    }
  }
  static std::vector<std::string> SubKeys(HKEY key) {
    return Names([key](DWORD i, char* name, DWORD* length) {
      return RegEnumKeyExA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }
  static std::vector<std::string> ValueNames(HKEY key) {
    return Names([key](DWORD i, char* name, DWORD* length) {
      return RegEnumValueA(key, i, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  ScratchDir scratch_;
  std::string dir_;  // scratch_ without the final '/'
};
