#pragma once

#include <string>

namespace core::io::l10n {

class localization_table;

// Empties the table and reads the document (UTF-8 XML) into it. Throws
// core::msxml_exception; the table then keeps what was read before.
void load_localization(localization_table& table, const std::string& document);

}  // namespace core::io::l10n
