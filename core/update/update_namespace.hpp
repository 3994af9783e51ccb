#pragma once

namespace core::update {

// The update feed's extension elements and attributes live here; an
// identifier, compared exactly and never fetched. The feed must use it.
inline constexpr char update_namespace_uri[] =
    "http://www.lumbrel.example/schemas/appsyndication/2009";

}  // namespace core::update
