#pragma once

#include <string>

namespace parvel {

// The maker's web service base, e.g. https://send.lumbrel.example/desktopserver:
// the settings' "ServiceUrl" when it holds an https address, else the build's.
std::string service_base_url();
// The update feed: the settings' "FeedUrl", else the build's.
std::string update_feed_url();
// The maker's home page, which the windows open in the browser.
std::string web_site_url();

}  // namespace parvel
