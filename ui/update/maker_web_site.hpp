#pragma once

#include <string>

namespace parvel {

// The maker's web site, opened in the user's browser.
std::string maker_web_site();

}  // namespace parvel
