#include "ui/update/update_page.hpp"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <exception>

#include "core/graphics/xhtml_gdiplus_output_device.hpp"
#include "core/log/logger.hpp"
#include "core/shell_open.hpp"
#include "core/xhtml/parse.hpp"
#include "engine/app/application.hpp"
#include "engine/app/service_addresses.hpp"
#include "engine/controller/controller.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/send/progress_bar.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/localized_text.hpp"
#include "ui/update/download_progress.hpp"
#include "ui/update/link_text.hpp"
#include "ui/update/update_page_layout.hpp"
#include "ui/update/update_picture.hpp"
#include "ui/update/update_state.hpp"

namespace parvel {

namespace {

// Progress reports of one download replace each other in the queue.
constexpr int progress_post = 1;

constexpr int text_flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QLabel* make_static(QWidget* parent, const QString& text, int id = 0) {
  auto* label = make_control<QLabel>(parent, id, 5, text);
  label->setTextFormat(Qt::PlainText);
  label->hide();
  return label;
}

bool is_empty(const core::update::update_enclosure& e) {
  return e.title.empty() && e.platform.empty() && e.href.empty() && e.status.empty() &&
         std::all_of(e.version.fields.begin(), e.version.fields.end(),
                     [](std::int32_t field) { return field == 0; });
}

QSize text_size(const QWidget* part, const QString& text) {
  return part ? measure_text(text, part->font()) : QSize();
}

void place(QWidget* child, const QRect& rect, bool shown) {
  if (!child)
    return;
  child->setGeometry(rect);
  child->setVisible(shown);
}

}  // namespace

update_page::update_page(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);

  progress_ = new progress_bar(this);
  progress_->set_show_text(true);
  progress_->hide();

  progress_text_ = make_static(this, QString(), 128);
  progress_text_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  const link_text_parts link = split_link_text(localized("upgrade_download_failed_go"));
  if (!link.before.isEmpty())
    link_before_ = make_static(this, link.before);
  if (!link.label.isEmpty()) {
    link_ = make_control<link_label>(this, 129, 5, link.label);
    link_->set_underlined(true);
    link_->hide();
    connect(link_, &link_label::clicked, this, [this] { on_link(); });
  }
  if (!link.after.isEmpty())
    link_after_ = make_static(this, link.after);

  const auto make_button = [this](int id, const QString& text, void (update_page::*action)()) {
    auto* button = make_control<QPushButton>(this, id, 10, text);
    button->setFocusPolicy(Qt::StrongFocus);
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, action] { (this->*action)(); });
    return button;
  };
  download_ = make_button(127, escape_ampersands(localized("download_install")),
                          &update_page::on_download_install);
  cancel_ = make_button(2, localized("cancel"), &update_page::on_cancel);
  retry_ = make_button(4, localized("retry"), &update_page::on_retry);
  close_ = make_button(8, localized("close"), &update_page::on_close);

  controller_ = application::instance()->controller();
  connect_signals();
}

void update_page::connect_signals() {
  controller& hub = *controller_;
  connections_.emplace_back(
      hub.on_update_download_succeeded.connect(relay(&update_page::on_update_download_succeeded)));
  // Every 16 KiB piece reports: a report still queued is replaced by the
  // newer one instead of piling up.
  connections_.emplace_back(hub.on_update_download_progress.connect(
      relay(&update_page::on_update_download_progress, progress_post)));
  connections_.emplace_back(
      hub.on_update_download_failed.connect(relay(&update_page::on_update_download_failed)));
  connections_.emplace_back(
      hub.on_update_install_succeeded.connect(relay(&update_page::on_update_install_succeeded)));
  connections_.emplace_back(
      hub.on_update_install_failed.connect(relay(&update_page::on_update_install_failed)));
}

update_page::~update_page() {
  // Before the children go: a job's event must not reach a half-destroyed page.
  connections_.clear();
}

void update_page::set_enclosure(const core::update::update_enclosure& enclosure) {
  enclosure_ = enclosure;
  notes_.clear();
  if (enclosure_.content_type == "xhtml") {
    // The notes come from the network: a fault keeps what was read before it.
    try {
      core::xhtml::parse(enclosure_.content, notes_);
    } catch (const std::exception& e) {
      core::log::write(core::log::severity::error, "Cannot read the release notes: '%s'", e.what());
    }
  }
  refresh_image();
}

void update_page::set_state(int state) {
  state_ = state;
  // A new download, or the failure of the last one, offers Cancel again.
  cancel_->setEnabled(true);
  if (const update_state_view* view = find_update_state(state)) {
    header_ = localized(view->header_id);
    body_ = localized(view->body_id);
  }
  layout();
  refresh_image();
}

void update_page::layout() {
  const update_state_view* view = find_update_state(state_);
  if (size().isEmpty() || !view)
    return;
  const update_page_layout r = layout_update_page(
      {.client = size(),
       .download = measure_text(localized("download_install"), download_->font()),
       .cancel = measure_text(cancel_->text(), cancel_->font()),
       .retry = measure_text(retry_->text(), retry_->font()),
       .close = measure_text(close_->text(), close_->font()),
       .progress_text_height =
           measure_text(QStringLiteral("TEST"), progress_text_->font()).height(),
       .link_before = text_size(link_before_, link_before_ ? link_before_->text() : QString()),
       .link = text_size(link_, link_ ? link_->text() : QString()),
       .link_after = text_size(link_after_, link_after_ ? link_after_->text() : QString())},
      *view);
  place(download_, r.download, view->download);
  place(cancel_, r.cancel, view->cancel);
  place(retry_, r.retry, view->retry);
  place(close_, r.close, view->close);
  place(progress_, r.progress_bar, view->progress);
  place(progress_text_, r.progress_text, view->progress);
  place(link_before_, r.link_before, view->link_line);
  place(link_, r.link, view->link_line);
  place(link_after_, r.link_after, view->link_line);
}

void update_page::draw_image(QPainter& painter, QSize size) {
  const QFont& header_font = theme::font_manager::instance()->font(1);
  const QFont& body_font = theme::font_manager::instance()->font(2);
  const QFontMetricsF header_metrics(header_font, painter.device());
  const QFontMetricsF body_metrics(body_font, painter.device());
  const QSizeF text = header_metrics.size(0, QStringLiteral("TEXT"));

  const QRectF header_room = header_area(size, text);
  const QRectF header = header_metrics.boundingRect(header_room, text_flags, header_);
  const QRectF body_room = body_area(header_room, text.width()).translated(0, 2 * header.height());
  const QRectF body =
      body_box(body_metrics.boundingRect(body_area(header_room, text.width()), text_flags, body_),
               header.height());

  const QColor grey = QColor::fromRgba(0xFFEDEDED);
  gradient_fill_rect(painter, QRect(QPoint(0, 0), size), grey, grey);

  const update_state_view* view = find_update_state(state_);
  if (view) {
    const auto x = static_cast<float>(header.left());
    const auto y = static_cast<float>(header.top());
    const QColor arrow = QColor::fromRgba(view->arrow);
    const QPainterPath path = make_arrow_path(0.35f, 0.4f, x, y, x + 150, y + 100);
    painter.fillPath(path, arrow);
    painter.strokePath(path, QPen(arrow, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
  }

  painter.setFont(header_font);
  painter.setPen(QColor::fromRgba(0xFF000000));
  painter.drawText(header_room, text_flags, header_);
  painter.setFont(body_font);
  painter.setPen(QColor::fromRgba(0xFF505050));
  painter.drawText(body_room, text_flags, body_);

  if (view && view->notes && !is_empty(enclosure_)) {
    const QRectF panel = notes_panel(body, size);
    painter.fillPath(
        make_rounded_rect_path(
            panel.topLeft().toPoint(),
            QPoint(static_cast<int>(panel.right()), static_cast<int>(panel.bottom())), 5, 0),
        QColor::fromRgba(0x209B9B9B));
    draw_notes(painter, notes_text_area(panel));
  }
}

void update_page::draw_notes(QPainter& painter, const QRectF& area) {
  if (notes_.empty())
    return;
  core::graphics::xhtml_gdiplus_output_device device(painter, area,
                                                     theme::font_manager::instance()->font(5));
  // The first command is the root of the tree.
  notes_.front()->run(device);
}

void update_page::paintEvent(QPaintEvent*) {
  paint_image();
}

void update_page::resizeEvent(QResizeEvent*) {
  layout();
  refresh_image();
}

void update_page::on_download_install() {
  set_state(update_downloading);
  controller_->notify_action_set();
  controller_->start_update_download(enclosure_.href, enclosure_.length);
}

void update_page::on_cancel() {
  closed_ = true;
  controller_->notify_action_reset();
  if (state_ == update_downloading)
    controller_->cancel_update_download();
  hide();
  controller_->notify_update_window_closed();
}

void update_page::on_retry() {
  controller_->notify_action_set();
  set_state(update_downloading);
  controller_->start_update_download(enclosure_.href, enclosure_.length);
}

void update_page::on_close() {
  closed_ = true;
  hide();
  controller_->notify_action_reset();
  controller_->notify_update_window_closed();
}

void update_page::on_link() {
  try {
    core::shell_open(web_site_url());
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "Cannot open the web site: '%s'", e.what());
  }
}

void update_page::on_update_download_succeeded(const std::string& path) {
  // Cancel came first: nothing is started. A page released meanwhile gets no
  // call at all.
  if (closed_)
    return;
  // A started installer ends the program, which only this page asks for:
  // it stays until then.
  cancel_->setEnabled(false);
  controller_->notify_taskbar_action_succeeded();
  controller_->start_update_install(path);
}

void update_page::on_update_download_progress(unsigned received, unsigned total) {
  const auto progress = make_download_progress(received, total, localized("kb"));
  if (!progress)
    return;
  progress_->set_value(progress->bar_value);
  controller_->on_taskbar_progress(progress->fraction);
  progress_text_->setText(progress->text);
  // From the last byte the installer may be opening: too late to cancel.
  if (progress->complete)
    cancel_->setEnabled(false);
}

void update_page::on_update_download_failed() {
  controller_->notify_action_failed();
  set_state(update_download_failed);
}

void update_page::on_update_install_succeeded() {
  controller_->do_exit();
}

void update_page::on_update_install_failed() {
  controller_->notify_action_failed();
  set_state(update_install_failed);
}

}  // namespace parvel
