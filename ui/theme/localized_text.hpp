#pragma once

#include <QString>
#include <string>

namespace parvel {

// The application's text for a localization id, "[ProductName]" filled; a
// missing id gives the id.
QString localized(const std::string& id);

}  // namespace parvel
