// CStdioFile: lines and text as the C runtime's streams read and write them.
// Reads go through a buffer read ahead (positions subtract what it still
// holds); writes go straight to the file, so its length is always true.
#include <algorithm>
#include <cstring>
#include <string>

#include <xtbasis/win32/mfc_files.h>
#include <xtbasis/win32/mfc_object.h>

IMPLEMENT_DYNAMIC(CStdioFile, CFile)

namespace {

constexpr int kEnd = -1;
constexpr unsigned char kTextEnd = 0x1A;  // Ctrl-Z: where a text ends for the runtime's text mode

}  // namespace

CStdioFile::CStdioFile(LPCSTR fileName, UINT openFlags) { OpenOrThrow(fileName, openFlags); }

BOOL CStdioFile::Open(LPCSTR fileName, UINT openFlags, CFileException* error) {
  m_start = m_end = 0;
  m_text = (openFlags & typeBinary) == 0;
  return CFile::Open(fileName, openFlags & ~static_cast<UINT>(typeText | typeBinary), error);
}

void CStdioFile::Close() {
  m_start = m_end = 0;
  CFile::Close();
}

void CStdioFile::Abort() {
  m_start = m_end = 0;
  CFile::Abort();
}

UINT CStdioFile::Ahead(UINT count) {
  if (m_end - m_start >= count) return m_end - m_start;
  std::memmove(m_buffer, m_buffer + m_start, m_end - m_start);
  m_end -= m_start;
  m_start = 0;
  while (m_end < count) {
    const UINT got = CFile::Read(m_buffer + m_end, static_cast<UINT>(sizeof m_buffer) - m_end);
    if (got == 0) break;
    m_end += got;
  }
  return m_end;
}

int CStdioFile::NextCharacter() {
  if (Ahead(1) == 0) return kEnd;
  const auto ch = static_cast<unsigned char>(m_buffer[m_start]);
  if (m_text && ch == kTextEnd) return kEnd;  // left unread: every later read ends there too
  if (m_text && ch == '\r' && Ahead(2) >= 2 && m_buffer[m_start + 1] == '\n') {
    m_start += 2;
    return '\n';
  }
  ++m_start;
  return ch;
}

void CStdioFile::DropReadAhead() {
  const LONGLONG unread = m_end - m_start;
  m_start = m_end = 0;
  if (unread > 0) CFile::Seek(-unread, current);
}

BOOL CStdioFile::ReadString(CString& text) {
  std::string line;
  bool any = false;
  for (int ch = NextCharacter(); ch != kEnd; ch = NextCharacter()) {
    any = true;
    if (ch == '\n') break;
    line += static_cast<char>(ch);
  }
  text = CString(line.data(), static_cast<int>(line.size()));
  return any;
}

LPSTR CStdioFile::ReadString(LPSTR text, UINT maxChars) {
  if (text == nullptr || maxChars == 0) AfxThrowInvalidArgException();
  UINT count = 0;
  while (count + 1 < maxChars) {
    const int ch = NextCharacter();
    if (ch == kEnd) break;
    text[count++] = static_cast<char>(ch);
    if (ch == '\n') break;
  }
  text[count] = '\0';
  return count == 0 && maxChars > 1 ? nullptr : text;
}

void CStdioFile::WriteString(LPCSTR text) {
  if (text == nullptr) AfxThrowInvalidArgException();
  Write(text, static_cast<UINT>(std::strlen(text)));
}

UINT CStdioFile::Read(void* buffer, UINT count) {
  auto* bytes = static_cast<char*>(buffer);
  if (!m_text) {
    const UINT held = std::min(count, m_end - m_start);
    std::memcpy(bytes, m_buffer + m_start, held);
    m_start += held;
    return held < count ? held + CFile::Read(bytes + held, count - held) : held;
  }
  UINT got = 0;
  for (int ch; got < count && (ch = NextCharacter()) != kEnd;) bytes[got++] = static_cast<char>(ch);
  return got;
}

void CStdioFile::Write(const void* buffer, UINT count) {
  DropReadAhead();
  const auto* bytes = static_cast<const char*>(buffer);
  if (!m_text) return CFile::Write(bytes, count);
  // Each '\n' becomes "\r\n", a piece at a time.
  std::string piece;
  for (UINT at = 0; at < count;) {
    piece.clear();
    for (; at < count && piece.size() < 64 * 1024; ++at) {
      if (bytes[at] == '\n') piece += '\r';
      piece += bytes[at];
    }
    CFile::Write(piece.data(), static_cast<UINT>(piece.size()));
  }
}

void CStdioFile::Flush() { DropReadAhead(); }

ULONGLONG CStdioFile::Seek(LONGLONG offset, UINT from) {
  DropReadAhead();
  return CFile::Seek(offset, from);
}

ULONGLONG CStdioFile::GetPosition() const { return CFile::GetPosition() - (m_end - m_start); }
