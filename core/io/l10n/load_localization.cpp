#include "core/io/l10n/load_localization.hpp"

#include "core/com_apartment_guard.hpp"
#include "core/io/l10n/localization_handler.hpp"
#include "core/io/l10n/localization_table.hpp"
#include "core/xml/xml_reader.hpp"

namespace core::io::l10n {

void load_localization(localization_table& table, const std::string& document) {
  table.clear();
  [[maybe_unused]] const com_apartment_guard apartment;
  localization_handler handler(&table);
  xml_reader reader;
  reader.parse(&handler, document);
}

}  // namespace core::io::l10n
