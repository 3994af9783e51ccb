#include "ui/rename/addphotos_rename_unit_item_counter.hpp"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>

#include "ui/controls/make_control.hpp"
#include "ui/rename/rename_layout.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"
#include "ui/theme/window_value.hpp"

namespace parvel {

namespace {

QLabel* make_label(const std::string& id, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setFont(theme::font_manager::instance()->font(10));
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setText(localized(id));
  return label;
}

}  // namespace

addphotos_rename_unit_item_counter::addphotos_rename_unit_item_counter(QWidget* parent)
    : addphotos_rename_unit_item("unit_item_counter", parent),
      start_label_(make_label("unit_item_counter_start", this)),
      digits_label_(make_label("unit_item_counter_digits", this)),
      start_field_(make_number_field<QLineEdit>(this, 114, 10, 3)),
      digits_field_(make_number_field<QLineEdit>(this, 115, 10, 3)) {
  QObject::connect(start_field_, &QLineEdit::textChanged, this, [this] { notify_changed(); });
  QObject::connect(digits_field_, &QLineEdit::textChanged, this, [this] { on_digits_changed(); });
  reset();
  measure();
}

counter_item_measure addphotos_rename_unit_item_counter::metrics() const {
  const QFontMetrics field(start_field_->font());
  return measure_counter_item(QSize(field.horizontalAdvance(QStringLiteral("WWW")), field.height()),
                              fit_static_to_text(*start_label_),
                              fit_static_to_text(*digits_label_));
}

QSize addphotos_rename_unit_item_counter::preferred_size() const {
  return metrics().preferred;
}

counter_values addphotos_rename_unit_item_counter::values() const {
  return {get_window_value<unsigned int>(*start_field_),
          get_window_value<unsigned int>(*digits_field_)};
}

std::shared_ptr<rename_alg> addphotos_rename_unit_item_counter::make_alg() const {
  return make_counter_alg(values());
}

void addphotos_rename_unit_item_counter::reset() {
  set_values(counter_values{});
}

void addphotos_rename_unit_item_counter::save(core::key_value_params& params) const {
  save_counter_values(params, values());
}

void addphotos_rename_unit_item_counter::load(const core::key_value_params& params) {
  set_values(load_counter_values(params));
}

void addphotos_rename_unit_item_counter::set_values(const counter_values& values) {
  set_window_value(*start_field_, values.start);
  set_window_value(*digits_field_, values.digits);
}

void addphotos_rename_unit_item_counter::on_digits_changed() {
  if (get_window_value<unsigned int>(*digits_field_) > max_counter_digits) {
    // Setting the text comes back here with the corrected value, which tells.
    set_window_value(*digits_field_, max_counter_digits);
    digits_field_->selectAll();
    return;
  }
  notify_changed();
}

void addphotos_rename_unit_item_counter::place_controls() {
  const counter_item_measure m = metrics();
  const counter_item_layout p = layout_counter_item(m, label_offset(), height());
  start_label_->setGeometry(p.start_label);
  start_field_->setGeometry(p.start_field);
  digits_label_->setGeometry(p.digits_label);
  digits_field_->setGeometry(p.digits_field);
}

}  // namespace parvel
