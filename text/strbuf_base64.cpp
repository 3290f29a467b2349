// CXTStrBuf: conversion to and from Base64.
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/strbuf.h>

#include "base64_codec.h"

bool CXTStrBuf::ToBase64(CXTStrBuf& target, bool lineBreaks) const {
  try {
    if (&target == this) {
      CXTStrBuf encoded(nullptr, 0, m_nGrowLimit);
      if (!ToBase64(encoded, lineBreaks)) AfxThrowMemoryException();
      target = encoded;
      return true;
    }
    const size_t chars = xtb::base64::EncodedLength(m_nLength, lineBreaks);
    if (chars >= npos) AfxThrowMemoryException();
    const auto length = static_cast<unsigned int>(chars);
    xtb::base64::EncodeTo(reinterpret_cast<const unsigned char*>(m_pData), m_nLength, lineBreaks,
                          target.GetBuffer(length));
    target.ReleaseBuffer(length);
    return true;
  } catch (CMemoryException* e) {
    e->Delete();
    target.Empty();
    return false;
  }
}

bool CXTStrBuf::FromBase64(const CXTStrBuf& source) {
  try {
    if (&source == this) {
      const CXTStrBuf text(*this);
      return FromBase64(text);
    }
    const auto capacity = static_cast<unsigned int>(xtb::base64::MaxDecodedLength(source.m_nLength));
    auto* out = reinterpret_cast<unsigned char*>(GetBuffer(capacity));
    ReleaseBuffer(static_cast<unsigned int>(xtb::base64::DecodeTo(source.m_pData, source.m_nLength, out, capacity)));
    return true;
  } catch (CMemoryException* e) {
    e->Delete();
    Empty();
    return false;
  }
}
