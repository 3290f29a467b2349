#include "documentbounds.h"

namespace xtb::xml {
namespace {

constexpr std::string_view kAttributeListHead = "<!ATTLIST";

}  // namespace

void MarkupBound::Count() {
  size_t& count = m_attributeList ? m_declaredDefaults : m_values;
  if (++count > kMaxQuotedValuesPerTag) m_passed = true;
}

bool MarkupBound::Scan(std::string_view bytes) {
  for (const char c : bytes) {
    if (m_passed) return false;
    if (c == '<') {  // markup starts; a tag holds no other '<'
      m_state = State::kMarkup;
      m_values = 0;
      m_attributeList = false;
      m_headLength = 1;
      continue;
    }
    if (m_state == State::kText) continue;
    if (m_headLength > 0 && m_headLength < kAttributeListHead.size()) {
      m_headLength = c == kAttributeListHead[m_headLength] ? m_headLength + 1 : 0;
      m_attributeList = m_headLength == kAttributeListHead.size();
    }
    if (m_state == State::kQuoted) {
      if (c == m_quote) m_state = State::kMarkup;
    } else if (c == '"' || c == '\'') {
      m_state = State::kQuoted;
      m_quote = c;
      Count();
    } else if (c == '>') {
      m_state = State::kText;
    }
  }
  return !m_passed;
}

bool EntityBudget::Admit(std::string_view replacement, size_t consumed) {
  m_expanded += replacement.size();
  const size_t allowed = kEntityAllowance + kEntityAmplification * consumed;
  return m_expanded <= allowed && m_expanded <= kEntityTextLimit && MarkupBound().Scan(replacement);
}

}  // namespace xtb::xml
