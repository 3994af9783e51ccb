#include "ui/addphotos/addphotos_edit_panel.hpp"

#include <QLabel>

#include "core/log/logger.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "ui/addphotos/addphotos_edit_panel_layout.hpp"
#include "ui/addphotos/addphotos_resize_rows.hpp"
#include "ui/controls/cue_edit.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"
#include "ui/theme/window_value.hpp"

namespace parvel {

namespace {

QLabel* make_label(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(theme::font_manager::instance()->font(10));
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->hide();
  return label;
}

template <class Edit>
Edit* make_hidden_number_field(QWidget* parent, int id, int font, int digits) {
  auto* edit = make_number_field<Edit>(parent, id, font, digits);
  edit->hide();
  return edit;
}

}  // namespace

addphotos_edit_panel::addphotos_edit_panel(QWidget* parent) : QWidget(parent) {
  title_label_ = make_label(localized("edit_resize"), this);
  width_edit_ = make_hidden_number_field<cue_edit>(this, 111, 5, 5);
  width_edit_->set_cue_text(localized("width"));
  height_edit_ = make_hidden_number_field<cue_edit>(this, 112, 5, 5);
  height_edit_->set_cue_text(localized("height"));
  quality_label_ = make_label(localized("quality") + QStringLiteral(" (0-100)"), this);
  quality_edit_ = make_hidden_number_field<QLineEdit>(this, 122, 10, 3);
  const auto current = convert_option_manager::instance()->current();
  set_window_value(*quality_edit_, current.params.has_quality() ? current.params.get_quality() : 0);
  setTabOrder(width_edit_, height_edit_);
  setTabOrder(height_edit_, quality_edit_);

  // Only what the user types counts; the program's own texts change nothing.
  connect(width_edit_, &QLineEdit::textEdited, this, [this] { on_size_changed(); });
  connect(height_edit_, &QLineEdit::textEdited, this, [this] { on_size_changed(); });
  connect(quality_edit_, &QLineEdit::textEdited, this, [this] { on_quality_changed(); });
  resize_connection_ = resize_option_manager::instance()->signal_option_changed.connect(
      [this](const photo_resize_option& option) { on_resize_option_changed(option); });
  convert_connection_ = convert_option_manager::instance()->signal_option_changed.connect(
      [this](const photo_convert_option&) { layout(); });
  commit_connection_ = application::instance()->controller()->signal_commit_updates.connect(
      [this] { on_commit_updates(); });
}

addphotos_edit_panel::~addphotos_edit_panel() = default;

void addphotos_edit_panel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout();
}

void addphotos_edit_panel::layout() {
  if (rect().isEmpty())
    return;
  const QFont& field_font = width_edit_->font();
  const edit_panel_layout places = layout_edit_panel({
      rect(),
      measure_text(QStringLiteral("WWWWW"), field_font),
      measure_text(QStringLiteral("WWW"), field_font),
      fit_static_to_text(*title_label_),
      fit_static_to_text(*quality_label_),
      resize_option_manager::instance()->current().kind,
      convert_option_manager::instance()->current().format,
  });
  const auto place = [](QWidget& control, const QRect& rect, bool shown) {
    control.setGeometry(rect);
    control.setVisible(shown);
  };
  place(*title_label_, places.title, places.size_shown);
  place(*width_edit_, places.width, places.size_shown);
  place(*height_edit_, places.height, places.size_shown);
  place(*quality_label_, places.quality_label, places.quality_shown);
  place(*quality_edit_, places.quality, places.quality_shown);
}

void addphotos_edit_panel::on_quality_changed() {
  if (const auto clamped = clamped_quality(quality_edit_->text())) {
    quality_edit_->setText(*clamped);
    quality_edit_->selectAll();
  }
}

void addphotos_edit_panel::on_size_changed() {
  const photo_resize_option typed = typed_custom_size(width_edit_->text(), height_edit_->text());
  resize_option_manager& manager = *resize_option_manager::instance();
  if (same_size_option(manager.current(), typed))
    return;
  manager.set_current(typed);
  typing_size_ = true;
  manager.signal_option_changed(typed);
  typing_size_ = false;
}

void addphotos_edit_panel::on_resize_option_changed(const photo_resize_option& option) {
  const bool typing = typing_size_ || width_edit_->hasFocus() || height_edit_->hasFocus();
  if (const auto texts = size_fields_for(option, typing)) {
    width_edit_->setText(texts->first);
    height_edit_->setText(texts->second);
  } else {
    // "Custom size..." chosen again while the user types: the typed size
    // stays and becomes the manager's, so that its listeners show it too.
    on_size_changed();
  }
  layout();
  application::instance()->controller()->notify_ui_updated();
}

void addphotos_edit_panel::on_commit_updates() {
  core::log::write(core::log::severity::debug,
                   std::string("addphotos_edit_panel::on_commit_updates"));
  resize_option_manager& sizes = *resize_option_manager::instance();
  if (sizes.current().kind == resize_custom) {
    const photo_resize_option typed = typed_custom_size(width_edit_->text(), height_edit_->text());
    if (!same_size_option(sizes.current(), typed))
      sizes.set_current(typed);
  }
  convert_option_manager& formats = *convert_option_manager::instance();
  if (formats.current().format == convert_jpeg) {
    photo_convert_option jpeg(convert_jpeg);
    jpeg.params.set_quality(get_window_value<int>(*quality_edit_));
    formats.set_current(jpeg);
  }
}

}  // namespace parvel
