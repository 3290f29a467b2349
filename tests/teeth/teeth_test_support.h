// Small helpers shared by the tooth-set tests.
#pragma once

#include <gtest/gtest.h>

#include <xtbasis/teeth.h>

// Exposes the database form writer to the tests.
class HexTeeth : public CTeeth {
 public:
  using CTeeth::GetHexTeeth;
  CString Hex() const {
    CString out;
    GetHexTeeth(out);
    return out;
  }
};

inline HexTeeth TeethOf(const char* notation) {
  HexTeeth teeth;
  EXPECT_TRUE(teeth.TryAddTeeth(notation)) << notation;
  return teeth;
}

inline std::string Normal(const CTeeth& teeth, bool expand = false) {
  CString out;
  teeth.GetNormalizedTeeth(out, expand);
  return out.str();
}
