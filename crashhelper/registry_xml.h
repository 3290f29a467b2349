// A registry key with its values and sub-keys as an XML document, the
// crash reporter's attachment.
#pragma once

#include <string>

namespace xtb {

// "<registry><key name="HKEY_CURRENT_USER\Software\X"><value name="a"
// type="REG_SZ">text</value>...<key name="...">...</key></key></registry>";
// a key that cannot be opened gives the document with an empty registry.
std::string RegistryKeyAsXml(const std::string& keyPath);

}  // namespace xtb
