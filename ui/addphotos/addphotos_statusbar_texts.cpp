#include "ui/addphotos/addphotos_statusbar_texts.hpp"

#include <boost/format.hpp>

#include "engine/options/photo_convert_option.hpp"
#include "engine/options/photo_resize_option.hpp"
#include "engine/rename/rename_alg.hpp"

namespace parvel {

QString format_status_text(const QString& localized, std::initializer_list<QString> values) {
  QString prepared = localized;
  prepared.replace(QLatin1Char('['), QLatin1Char('%')).replace(QLatin1Char(']'), QLatin1Char('%'));
  boost::wformat format;
  format.exceptions(boost::io::no_error_bits);
  format.parse(prepared.toStdWString());
  for (const QString& value : values)
    format % value.toStdWString();
  return QString::fromStdWString(format.str());
}

QString selected_field_text(const QString& localized, std::size_t count, const QString& size_text) {
  return format_status_text(localized, {QString::number(count), size_text});
}

QString convert_field_text(const QString& localized, const photo_convert_option& option) {
  if (option.format == convert_keep)
    return {};
  return format_status_text(localized, {QString::fromStdU16String(option.text())});
}

QString resize_field_text(const QString& localized, const photo_resize_option& option) {
  if (option.kind == resize_keep)
    return {};
  return format_status_text(localized, {QString::fromStdU16String(option.size_text())});
}

QString rename_field_text(const QString& localized, rename_alg* strategy) {
  if (strategy == nullptr)
    return {};
  const std::string pattern = strategy->apply("*");
  if (pattern == "*")
    return {};
  // The placeholder stands for the stem; the extension stays whatever it was.
  QString prepared = localized;
  prepared.append(QLatin1String(".*"));
  return format_status_text(prepared, {QString::fromStdString(pattern)});
}

}  // namespace parvel
