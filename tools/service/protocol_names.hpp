#pragma once

#include <string>
#include <string_view>

namespace service {

// Names the program and the service share. Namespace names are identifiers,
// compared byte for byte, never fetched.
inline constexpr std::string_view atom_namespace = "http://www.w3.org/2005/Atom";
inline constexpr std::string_view extension_namespace =
    "http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd";
inline constexpr std::string_view kind_scheme =
    "http://www.lumbrel.example/xsd/desktop/1.0/2009#kind";

// The category term of an entry kind: "media", "package", "thumbnail", "ticket".
inline std::string kind_term(std::string_view kind) {
  constexpr std::string_view scheme_base = "http://www.lumbrel.example/xsd/desktop/1.0/2009#";
  return std::string(scheme_base) + std::string(kind);
}

// Where the service and the update feed live on the server.
inline constexpr std::string_view service_path = "/desktopserver";
inline constexpr std::string_view feed_folder_path = "/content/";
inline constexpr std::string_view feed_file_name = "parvel.feed.xml";

}  // namespace service
