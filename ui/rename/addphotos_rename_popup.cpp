#include "ui/rename/addphotos_rename_popup.hpp"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <boost/lexical_cast.hpp>
#include <cmath>

#include "core/log/logger.hpp"
#include "engine/photos/package_info.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/rename/addphotos_rename_unit.hpp"
#include "ui/rename/addphotos_rename_unit_item_counter.hpp"
#include "ui/rename/addphotos_rename_unit_item_empty.hpp"
#include "ui/rename/addphotos_rename_unit_item_text.hpp"
#include "ui/rename/rename_layout.hpp"
#include "ui/rename/rename_scheme.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

namespace {

// The popup's and its controls' font.
constexpr int text_font = 10;

addphotos_rename_unit* make_unit(const char* title_id, QWidget* parent) {
  auto* unit = new addphotos_rename_unit(parent);
  unit->set_title(localized(title_id));
  return unit;
}

// A missing or unreadable scheme reads as 0, which shows the first.
int saved_scheme(const core::key_value_params& params) {
  if (!params.has("scheme_type"))
    return 0;
  try {
    return params.get<int>("scheme_type");
  } catch (const boost::bad_lexical_cast&) {
    return 0;
  }
}

}  // namespace

addphotos_rename_popup::addphotos_rename_popup(std::shared_ptr<package_info> photos,
                                               core::key_value_params& params, QWidget* parent)
    : float_view(parent), photos_(std::move(photos)), params_(params) {
  arrow_size_ = load_png_resource(131).size();
  setFont(theme::font_manager::instance()->font(text_font));

  prefix_unit_ = make_unit("unit_prefix", this);
  prefix_text_ = new addphotos_rename_unit_item_text("prefix_text", prefix_unit_);
  prefix_unit_->add_item(prefix_text_);
  filename_unit_ = make_unit("unit_filename", this);
  filename_text_ = new addphotos_rename_unit_item_text("filename_text", filename_unit_);
  filename_counter_ = new addphotos_rename_unit_item_counter(filename_unit_);
  filename_empty_ = new addphotos_rename_unit_item_empty(filename_unit_);
  filename_unit_->add_item(filename_text_);
  filename_unit_->add_item(filename_counter_);
  filename_unit_->add_item(filename_empty_);
  suffix_unit_ = make_unit("unit_suffix", this);
  suffix_text_ = new addphotos_rename_unit_item_text("suffix_text", suffix_unit_);
  suffix_unit_->add_item(suffix_text_);
  units_ = {prefix_unit_, filename_unit_, suffix_unit_};
  for (addphotos_rename_unit_item* item : std::initializer_list<addphotos_rename_unit_item*>{
           prefix_text_, filename_text_, filename_counter_, suffix_text_}) {
    item_connections_.emplace_back(item->signal_changed.connect([this] { commit_and_preview(); }));
  }

  scheme_label_ = new QLabel(localized("rename_scheme"), this);
  scheme_label_->setFont(theme::font_manager::instance()->font(text_font));
  scheme_list_ = make_control<QComboBox>(this, 116, text_font);
  scheme_list_->addItem(localized("rename_preffix_suffix"));
  scheme_list_->addItem(localized("rename_sequence_numbers"));
  QObject::connect(scheme_list_, &QComboBox::activated, this,
                   [this](int entry) { choose_scheme(scheme_of_list_entry(entry)); });
  apply_ = make_control<QPushButton>(this, 1, text_font, localized("apply"));
  QObject::connect(apply_, &QPushButton::clicked, this, [this] { hide_view(); });
  reset_ = make_control<QPushButton>(this, 4, text_font, localized("reset"));
  QObject::connect(reset_, &QPushButton::clicked, this, [this] { on_reset(); });
  setTabOrder(scheme_list_, apply_);
  setTabOrder(apply_, reset_);

  std::vector<std::string> names;
  for (photo_entry& entry : photos_->photos()) {
    if (names.size() == 2)
      break;
    names.push_back(entry.get_display_name());
  }
  preview_ = make_preview_rows(names);

  scheme_list_->setCurrentIndex(0);
  take_focus(*scheme_list_);
  choose_scheme(1);
  load();
}

addphotos_rename_popup::~addphotos_rename_popup() = default;

std::shared_ptr<rename_alg> addphotos_rename_popup::make_scheme() const {
  std::vector<std::shared_ptr<rename_alg>> parts;
  for (const addphotos_rename_unit* unit : units_)
    parts.push_back(unit->make_alg());
  return chain_rename_algs(parts);
}

void addphotos_rename_popup::do_commit_updates() {
  core::log::write(core::log::severity::debug, "addphotos_rename_popup::do_commit_updates");
  if (units_.empty())
    return;
  store_rename_scheme(*photos_, make_scheme());
}

void addphotos_rename_popup::refresh_preview() {
  // A scheme of its own: the one in the photo set belongs to the sends,
  // and the preview's numbering must not move a send's counter.
  const std::shared_ptr<rename_alg> scheme = make_scheme();
  parvel::refresh_preview(preview_, scheme.get());
  update();
}

void addphotos_rename_popup::commit_and_preview() {
  do_commit_updates();
  refresh_preview();
}

void addphotos_rename_popup::choose_scheme(int scheme) {
  if (scheme == scheme_)
    return;
  scheme_ = scheme;
  prefix_unit_->set_current(0);
  suffix_unit_->set_current(0);
  if (const std::optional<unsigned> item = filename_item_of_scheme(scheme))
    filename_unit_->set_current(*item);
  layout();
  commit_and_preview();
}

void addphotos_rename_popup::load() {
  if (params_.values().empty())
    return;
  const int scheme = saved_scheme(params_);
  scheme_list_->setCurrentIndex(list_entry_of_scheme(scheme));
  take_focus(*scheme_list_);
  choose_scheme(scheme);
  for (addphotos_rename_unit* unit : units_) {
    if (addphotos_rename_unit_item* item = unit->current_item())
      item->load(params_);
  }
  commit_and_preview();
}

void addphotos_rename_popup::on_reset() {
  scheme_list_->setCurrentIndex(0);
  take_focus(*scheme_list_);
  choose_scheme(1);
  for (addphotos_rename_unit* unit : units_) {
    if (addphotos_rename_unit_item* item = unit->current_item())
      item->reset();
  }
}

void addphotos_rename_popup::before_hide() {
  core::key_value_params saved;
  for (const addphotos_rename_unit* unit : units_) {
    if (const addphotos_rename_unit_item* item = unit->current_item())
      item->save(saved);
  }
  saved["scheme_type"] = std::to_string(scheme_);
  params_ = saved;
}

void addphotos_rename_popup::layout() {
  rename_popup_layout_input input;
  input.label = fit_static_to_text(*scheme_label_);
  const QFontMetrics metrics(scheme_list_->font());
  for (int i = 0; i < scheme_list_->count(); ++i) {
    const QSize text(metrics.horizontalAdvance(scheme_list_->itemText(i)), metrics.height());
    input.list_text = input.list_text.expandedTo(text);
  }
  const QFontMetrics button(apply_->font());
  input.apply_text = QSize(button.horizontalAdvance(apply_->text()), button.height());
  input.reset_text = QSize(button.horizontalAdvance(reset_->text()), button.height());
  for (addphotos_rename_unit* unit : units_) {
    unit->set_min_height(0);
    unit->update_layout();
    input.units.push_back(unit->unit_size());
  }
  input.client = size();
  const rename_popup_layout places = layout_rename_popup(input);
  // The shorter units grow to the common height, which changes their item's
  // place but not their width.
  for (addphotos_rename_unit* unit : units_) {
    if (unit->unit_size().height() != places.unit_height) {
      unit->set_min_height(places.unit_height);
      unit->update_layout();
    }
  }
  preview_origin_ = places.preview_origin;
  set_preferred_size(places.preferred);
  if (size().isEmpty())
    return;
  scheme_label_->setGeometry(places.label);
  scheme_list_->setGeometry(places.list);
  for (std::size_t i = 0; i < units_.size(); ++i)
    units_[i]->setGeometry(places.units[i]);
  apply_->setGeometry(places.apply);
  reset_->setGeometry(places.reset);
  apply_->show();
  reset_->show();
}

void addphotos_rename_popup::resizeEvent(QResizeEvent*) {
  layout();
}

void addphotos_rename_popup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(QColor(0x80, 0x80, 0x80));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));

  const QRect content = rect().adjusted(8, 8, -8, -8);
  const QFontMetrics metrics(font());
  // Whole pixels up, so that eliding never cuts the widest name itself.
  const QFontMetricsF exact(font());
  int widest = 0;
  for (const auto& [name, result] : preview_) {
    const qreal advance = exact.horizontalAdvance(QString::fromStdString(name));
    widest = std::max(widest, static_cast<int>(std::ceil(advance)) + 1);
  }
  const preview_layout places =
      layout_preview(content, preview_origin_, metrics.height(), widest, metrics.height(),
                     arrow_size_, static_cast<int>(preview_.size()));
  painter.setFont(font());
  const auto draw = [&](const QRect& box, const QString& text, const QColor& colour) {
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     metrics.elidedText(text, Qt::ElideRight, box.width()));
  };
  draw(places.heading, localized("rename_preview"), Qt::black);
  const QImage arrow = load_png_resource(131, painter.device()->devicePixelRatioF());
  std::size_t row = 0;
  for (const auto& [name, result] : preview_) {
    const preview_row_layout& place = places.rows[row++];
    draw(place.name, QString::fromStdString(name), Qt::black);
    if (!arrow.isNull())
      draw_image_on_pixels(painter, place.arrow.topLeft(), arrow);
    draw(place.result, QString::fromStdString(result), QColor(0, 128, 0));
  }
}

}  // namespace parvel
