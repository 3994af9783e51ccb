#pragma once

namespace parvel::interop {

// The service's extension elements and its kinds of entry. Identifiers,
// compared exactly and never fetched: the service sends and expects these.
inline constexpr char extension_namespace_uri[] =
    "http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd";
inline constexpr char kind_scheme[] = "http://www.lumbrel.example/xsd/desktop/1.0/2009#kind";
inline constexpr char media_term[] = "http://www.lumbrel.example/xsd/desktop/1.0/2009#media";
inline constexpr char package_term[] = "http://www.lumbrel.example/xsd/desktop/1.0/2009#package";
inline constexpr char thumbnail_term[] =
    "http://www.lumbrel.example/xsd/desktop/1.0/2009#thumbnail";
inline constexpr char ticket_term[] = "http://www.lumbrel.example/xsd/desktop/1.0/2009#ticket";

}  // namespace parvel::interop
