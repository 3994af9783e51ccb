#include "ui/addphotos/photo_list/photo_filters.hpp"

#include <algorithm>

#include "core/graphics/image_format.hpp"
#include "engine/app/application.hpp"
#include "engine/options/image_format_name.hpp"

namespace parvel {

std::vector<photo_filter_group> make_filter_groups() {
  namespace formats = core::graphics::image_formats;
  std::vector<photo_filter_group> groups;
  photo_filter_group all_pictures{
      application::instance()->get_localized_string("add_files_dlg_filter"), {}};
  for (const core::graphics::image_format format :
       {formats::bmp, formats::gif, formats::jpeg, formats::png, formats::psd, formats::raw,
        formats::tiff}) {
    photo_filter_group group{image_format_name(format), {}};
    for (const std::string& extension : core::graphics::image_format_extensions(format)) {
      group.patterns.push_back("*" + extension);
    }
    all_pictures.patterns.insert(all_pictures.patterns.end(), group.patterns.begin(),
                                 group.patterns.end());
    groups.push_back(std::move(group));
  }
  groups.push_back(std::move(all_pictures));
  groups.push_back(
      {application::instance()->get_localized_string("add_files_dlg_filter_all"), {"*.*"}});
  return groups;
}

std::vector<photo_filter_entry> make_filter_text() {
  // A description lists at most this many patterns.
  constexpr std::size_t listed_patterns = 7;
  const std::string all_pictures =
      application::instance()->get_localized_string("add_files_dlg_filter");
  const std::string all_files =
      application::instance()->get_localized_string("add_files_dlg_filter_all");
  std::vector<photo_filter_entry> entries;
  for (const photo_filter_group& group : make_filter_groups()) {
    photo_filter_entry entry{group.name, {}};
    for (std::size_t i = 0; i < group.patterns.size(); ++i)
      entry.patterns += (i == 0 ? "" : ";") + group.patterns[i];
    if (group.name != all_pictures && group.name != all_files) {
      entry.description += " (";
      for (std::size_t i = 0; i < std::min(group.patterns.size(), listed_patterns); ++i)
        entry.description += (i == 0 ? "" : "; ") + group.patterns[i];
      if (group.patterns.size() > listed_patterns)
        entry.description += "; ...";
      entry.description += ")";
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

QStringList make_dialog_filters() {
  QStringList filters;
  for (const photo_filter_entry& entry : make_filter_text()) {
    QString patterns = QString::fromStdString(entry.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters.push_back(
        QStringLiteral("%1 (%2)").arg(QString::fromStdString(entry.description), patterns));
  }
  return filters;
}

}  // namespace parvel
