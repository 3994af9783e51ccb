#pragma once

namespace core::atom {

// Namespace names are identifiers, compared exactly and never fetched.
inline constexpr char atom_namespace_uri[] = "http://www.w3.org/2005/Atom";
inline constexpr char xhtml_namespace_uri[] = "http://www.w3.org/1999/xhtml";

}  // namespace core::atom
