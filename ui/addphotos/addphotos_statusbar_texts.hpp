#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>

namespace parvel {

class rename_alg;
struct photo_convert_option;
struct photo_resize_option;

// A localized text with its "[1]", "[2]" filled in order. Culture tables
// are not ours: a text with fewer placeholders drops the extra values, one
// with a stray "%" shows as written, and nothing throws.
QString format_status_text(const QString& localized, std::initializer_list<QString> values);

// "[1] files selected ([2])": the count and the total size's text; always shown.
QString selected_field_text(const QString& localized, std::size_t count, const QString& size_text);
// Empty while the option keeps the photos' format.
QString convert_field_text(const QString& localized, const photo_convert_option& option);
// Empty while the option keeps the photos' size; else "1920 x 1080".
QString resize_field_text(const QString& localized, const photo_resize_option& option);
// The scheme applied to "*" with ".*" after it; empty without a strategy or
// when the scheme keeps names. Advances a counting strategy by one.
QString rename_field_text(const QString& localized, rename_alg* strategy);

}  // namespace parvel
