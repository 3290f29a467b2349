#include <xtbasis/mailslot.h>

#include "mailnames.h"

bool CXTMailslotServer::DecodeMail(const CString& mail, CString& sender, MAILTYPES& type, CString& text) {
  const int p1 = mail.Find('|');
  if (p1 < 0) return false;
  const int p2 = mail.Find('|', p1 + 1);
  if (p2 < 0) return false;
  // Sender and id name the mail; a repeated delivery finds them known. The
  // key counts as seen even when the rest of the mail turns out bad. Each
  // sending account has keys of its own.
  if (!m_seen[m_from].insert(mail.Left(p2)).second) return false;
  const int p3 = mail.Find('|', p2 + 1);
  if (p3 < 0) return false;
  const std::string_view whole(mail.GetString(), static_cast<size_t>(mail.GetLength()));
  type = xtb::mail::TypeOfName(whole.substr(static_cast<size_t>(p2 + 1), static_cast<size_t>(p3 - p2 - 1)));
  if (type == MAILTYPE_NONE) return false;
  sender = mail.Left(p1);
  text = mail.Mid(p3 + 1);
  return true;
}
