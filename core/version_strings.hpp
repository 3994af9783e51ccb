#pragma once

namespace core::build {

// Filled in by the build from the project's version (version_strings.cpp.in).
extern const char* const product_version;
extern const char* const file_version;
extern const char* const company_name;
extern const char* const internal_name;
extern const char* const special_build;

}  // namespace core::build
