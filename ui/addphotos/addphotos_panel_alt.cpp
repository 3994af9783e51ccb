#include "ui/addphotos/addphotos_panel_alt.hpp"

#include <QLabel>
#include <algorithm>

#include "ui/addphotos/addphotos_convert_popup.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"
#include "ui/addphotos/addphotos_resize_popup.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

namespace {

// The links and the separators between them share it.
constexpr int strip_font = 6;

// Just under the link; placed again on every layout while shown.
void place_under(const QWidget& link, addphotos_list_popup& popup) {
  popup.setGeometry(
      popup_rect_under(QRect(link.mapToGlobal(QPoint(0, 0)), link.size()), popup.preferred_size()));
}

}  // namespace

addphotos_panel_alt::addphotos_panel_alt(QWidget* parent) : QWidget(parent) {
  link_add_files_ = make_link("add_files", 117);
  link_add_folder_ = make_link("add_folder", 118);
  link_resize_ = make_link("resize", 120);
  link_format_ = make_link("format", 119);
  link_rename_ = make_link("rename", 121);
  for (QLabel*& separator : separators_) {
    separator = new QLabel(QStringLiteral("|"), this);
    separator->setFont(theme::font_manager::instance()->font(strip_font));
    separator->setAlignment(Qt::AlignCenter);
    separator->hide();
  }
  connect(link_add_files_, &link_label::clicked, this, [this] { signal_add_files(); });
  connect(link_add_folder_, &link_label::clicked, this, [this] { signal_add_folder(); });
  connect(link_resize_, &link_label::clicked, this, [this] { toggle_resize_popup(); });
  connect(link_format_, &link_label::clicked, this, [this] { toggle_convert_popup(); });
  connect(link_rename_, &link_label::clicked, this, [this] { signal_rename_clicked(); });
}

addphotos_panel_alt::~addphotos_panel_alt() = default;

link_label* addphotos_panel_alt::make_link(const char* text_id, int id) {
  auto* link = make_control<link_label>(this, id, strip_font, localized(text_id));
  link->hide();
  return link;
}

QSize addphotos_panel_alt::sizeHint() const {
  // The page gives the strip twice the height of its "|".
  const QSize separator = fit_static_to_text(*separators_[0]);
  int width = 3 * static_cast<int>(separator.width() * 5.0);
  for (const QLabel* link :
       {link_add_files_, link_add_folder_, link_resize_, link_format_, link_rename_})
    width += fit_static_to_text(*link).width();
  return {width, 2 * separator.height()};
}

void addphotos_panel_alt::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layout();
}

void addphotos_panel_alt::layout() {
  if (rect().isEmpty())
    return;
  const panel_alt_layout places = layout_panel_alt({
      rect(),
      fit_static_to_text(*link_add_files_),
      fit_static_to_text(*link_add_folder_),
      fit_static_to_text(*link_resize_),
      fit_static_to_text(*link_format_),
      fit_static_to_text(*link_rename_),
      fit_static_to_text(*separators_[0]),
  });
  const std::pair<QWidget*, QRect> controls[] = {
      {link_add_files_, places.add_files},    {link_add_folder_, places.add_folder},
      {link_resize_, places.resize},          {link_format_, places.format},
      {link_rename_, places.rename},          {separators_[0], places.separators[0]},
      {separators_[1], places.separators[1]}, {separators_[2], places.separators[2]},
  };
  for (const auto& [control, place] : controls) {
    control->setGeometry(place);
    control->show();
  }
  if (resize_popup_.is_shown())
    place_under(*link_resize_, *resize_popup_);
  if (convert_popup_.is_shown())
    place_under(*link_format_, *convert_popup_);
}

void addphotos_panel_alt::toggle_convert_popup() {
  if (addphotos_convert_popup* const opened = convert_popup_.toggle(this)) {
    place_under(*link_format_, *opened);
    opened->show();
  }
}

void addphotos_panel_alt::toggle_resize_popup() {
  if (addphotos_resize_popup* const opened = resize_popup_.toggle(this)) {
    place_under(*link_resize_, *opened);
    opened->show();
  }
}

}  // namespace parvel
