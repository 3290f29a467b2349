// Bounds on the work a document may make libxml2 do beyond reading it once,
// kept by every parse of the family (both reading roads and the validator).
//
// Attributes: the parser checks each attribute of a tag against all before
// it, so a tag with n attributes costs n * n / 2 steps. MarkupBound counts
// the quoted values of each piece of markup, from its '<' to the '>' that
// ends it outside quotes (a tag never holds another '<', so all of one
// tag's values are counted together), and those of all attribute-list
// declarations together (their defaults are added to every tag of their
// element). More than kMaxQuotedValuesPerTag ends the parse before the
// parser reads the tag's end.
//
// Entities: libxml2 2.9 bounds nested references, but not one large entity
// referenced many times. EntityBudget counts the replacement text of every
// reference the parser resolves and refuses the reference that makes it
// more than kEntityAllowance plus kEntityAmplification times the bytes of
// the document read so far, or more than kEntityTextLimit in all. Each
// replacement text is also held to MarkupBound before it is parsed.
#pragma once

#include <cstddef>
#include <string_view>

namespace xtb::xml {

inline constexpr size_t kMaxQuotedValuesPerTag = 10000;
inline constexpr size_t kEntityAllowance = 1u << 20;
inline constexpr size_t kEntityAmplification = 5;
inline constexpr size_t kEntityTextLimit = 32u << 20;

class MarkupBound {
 public:
  // Scans the next bytes of the text; false once a tag or the attribute-list
  // declarations passed the bound (and from then on).
  bool Scan(std::string_view bytes);

 private:
  enum class State : unsigned char { kText, kMarkup, kQuoted };
  void Count();

  State m_state = State::kText;
  char m_quote = 0;
  bool m_passed = false;
  bool m_attributeList = false;
  size_t m_headLength = 0;  // bytes of the markup's start compared with "<!ATTLIST"
  size_t m_values = 0;
  size_t m_declaredDefaults = 0;
};

class EntityBudget {
 public:
  // Admits one reference to an entity with `replacement` as its text, made
  // after `consumed` bytes of the document were read.
  bool Admit(std::string_view replacement, size_t consumed);

 private:
  size_t m_expanded = 0;
};

}  // namespace xtb::xml
