#include "ui/addphotos/addphotos_statusbar.hpp"

#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/addphotos_statusbar_texts.hpp"
#include "ui/addphotos/flow_statusbar_item.hpp"
#include "ui/addphotos/photo_list/byte_size.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

addphotos_statusbar::addphotos_statusbar(QWidget* page)
    : flow_statusbar(page),
      selected_(new flow_statusbar_item(this)),
      convert_(new flow_statusbar_item(this)),
      resize_(new flow_statusbar_item(this)),
      rename_(new flow_statusbar_item(this)) {
  for (flow_statusbar_item* field : {selected_, convert_, resize_, rename_})
    add_item(field);
  const auto the_user = user::instance();
  connections_.emplace_back(the_user->signal_photos_added.connect([this] { update_selected(); }));
  connections_.emplace_back(the_user->signal_photos_removed.connect([this] { update_selected(); }));
  connections_.emplace_back(the_user->signal_rename_changed.connect([this] { update_rename(); }));
  // The handlers read the managers' current option, not the one signalled.
  connections_.emplace_back(convert_option_manager::instance()->signal_option_changed.connect(
      [this](const photo_convert_option&) { update_convert(); }));
  connections_.emplace_back(resize_option_manager::instance()->signal_option_changed.connect(
      [this](const photo_resize_option&) { update_resize(); }));
  update_selected();
}

void addphotos_statusbar::update_selected() {
  const std::shared_ptr<package_info> photos = user::instance()->get_package();
  const std::size_t count = photos->photo_count();
  const QString size = QString::fromStdString(format_byte_size(photos->total_size()));
  show_text(*selected_, selected_field_text(localized("status_files_selected"), count, size));
}

void addphotos_statusbar::update_convert() {
  show_text(*convert_, convert_field_text(localized("status_files_convert"),
                                          convert_option_manager::instance()->current()));
}

void addphotos_statusbar::update_resize() {
  show_text(*resize_, resize_field_text(localized("status_files_resize"),
                                        resize_option_manager::instance()->current()));
}

void addphotos_statusbar::update_rename() {
  const std::shared_ptr<rename_alg> scheme = user::instance()->get_package()->get_rename_alg();
  show_text(*rename_, rename_field_text(localized("status_files_rename"), scheme.get()));
}

void addphotos_statusbar::show_text(flow_statusbar_item& field, const QString& text) {
  field.set_text(text);
  layout_items();
  update();
}

}  // namespace parvel
