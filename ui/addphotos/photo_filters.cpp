#include "ui/addphotos/photo_filters.hpp"

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

QStringList make_dialog_filters() {
  QStringList filters;
  for (const photo_filter_group& group : make_filter_groups()) {
    QStringList patterns;
    for (const std::string& pattern : group.patterns) {
      const QString lower = QString::fromStdString(pattern);
      patterns.push_back(lower);
      if (lower.toUpper() != lower)
        patterns.push_back(lower.toUpper());
    }
    filters.push_back(QStringLiteral("%1 (%2)").arg(QString::fromStdString(group.name),
                                                    patterns.join(QLatin1Char(' '))));
  }
  return filters;
}

}  // namespace parvel
