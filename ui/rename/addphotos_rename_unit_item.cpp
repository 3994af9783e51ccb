#include "ui/rename/addphotos_rename_unit_item.hpp"

#include <QLabel>

#include "ui/rename/rename_layout.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

addphotos_rename_unit_item::addphotos_rename_unit_item(const std::string& name_id, QWidget* parent)
    : QWidget(parent), name_label_(new QLabel(this)) {
  // The unit's picture shows through.
  setAutoFillBackground(false);
  name_label_->setFont(theme::font_manager::instance()->font(10));
  name_label_->setText(localized(name_id));
}

void addphotos_rename_unit_item::measure() {
  const item_measure m = measure_item(preferred_size(), fit_static_to_text(*name_label_));
  item_size_ = m.size;
  empty_ = m.empty;
  label_offset_ = m.label_offset;
}

void addphotos_rename_unit_item::notify_changed() {
  if (isVisible())
    signal_changed();
}

void addphotos_rename_unit_item::resizeEvent(QResizeEvent*) {
  if (size().isEmpty())
    return;
  measure();
  name_label_->setGeometry(item_label_place(fit_static_to_text(*name_label_), height()));
  place_controls();
}

}  // namespace parvel
