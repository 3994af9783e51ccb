#include "ui/rename/addphotos_rename_unit_item_text.hpp"

#include <QFontMetrics>
#include <QLineEdit>

#include "ui/controls/make_control.hpp"
#include "ui/rename/rename_item_values.hpp"
#include "ui/rename/rename_layout.hpp"

namespace parvel {

addphotos_rename_unit_item_text::addphotos_rename_unit_item_text(std::string key, QWidget* parent)
    : addphotos_rename_unit_item("unit_item_text", parent),
      key_(std::move(key)),
      field_(make_control<QLineEdit>(this, 113, 10)) {
  field_->setMaxLength(128);
  // Names the text makes unsafe ("/", "..") are made safe where the archive
  // stores them; the preview shows them so.
  QObject::connect(field_, &QLineEdit::textChanged, this, [this] { notify_changed(); });
  reset();
  measure();
}

QSize addphotos_rename_unit_item_text::field_size() const {
  const QFontMetrics metrics(field_->font());
  return text_field_size(QSize(metrics.horizontalAdvance(QLatin1Char('W')), metrics.height()));
}

QSize addphotos_rename_unit_item_text::preferred_size() const {
  return field_size() + QSize(4, 4);
}

std::shared_ptr<rename_alg> addphotos_rename_unit_item_text::make_alg() const {
  return make_text_alg(field_->text().toStdString());
}

void addphotos_rename_unit_item_text::reset() {
  field_->clear();
}

void addphotos_rename_unit_item_text::save(core::key_value_params& params) const {
  params[key_] = field_->text().toStdString();
}

void addphotos_rename_unit_item_text::load(const core::key_value_params& params) {
  field_->setText(QString::fromStdString(load_text_value(params, key_)));
}

void addphotos_rename_unit_item_text::place_controls() {
  const QSize field = field_size();
  field_->setGeometry(label_offset(), (height() - field.height()) / 2, field.width(),
                      field.height());
}

}  // namespace parvel
