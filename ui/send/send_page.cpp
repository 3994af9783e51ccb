#include "ui/send/send_page.hpp"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <chrono>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/errors/parvel_code.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "ui/controls/make_control.hpp"
#include "ui/theme/drawing.hpp"
#include "ui/theme/localized_text.hpp"

namespace parvel {

namespace {

// Kinds of the posted calls that a newer one of its kind replaces.
enum coalesced : int { archive_progress_call = 1, upload_progress_call = 2 };

}  // namespace

std::uint32_t steady_tick() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

send_page::send_page(tick_clock clock, QWidget* parent)
    : QWidget(parent),
      clock_(std::move(clock)),
      controller_(application::instance()->controller()) {
  cancel_ = make_button(2, "cancel");
  close_ = make_button(8, "close");
  retry_ = make_button(4, "retry");
  connect(cancel_, &QPushButton::clicked, this, [this] { on_cancel(); });
  connect(close_, &QPushButton::clicked, this, [this] { on_close(); });
  connect(retry_, &QPushButton::clicked, this, [this] { on_retry(); });

  bar_ = new progress_bar(this);
  set_control_id(*bar_, 0);
  bar_->set_show_text(true);

  for (auto [label, id] : {std::pair{&amount_, 128}, std::pair{&time_, 130}}) {
    *label = make_control<QLabel>(this, id, 5);
    (*label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    (*label)->hide();
  }
  connect_jobs();
}

send_page::~send_page() {
  while (!connections_.empty()) {
    connections_.pop_back();
  }
}

QPushButton* send_page::make_button(int id, const char* text_key) {
  auto* button = make_control<QPushButton>(this, id, 10, localized(text_key));
  button->hide();
  return button;
}

void send_page::connect_jobs() {
  controller& hub = *controller_;
  const auto keep = [this](boost::signals2::connection c) { connections_.emplace_back(c); };
  keep(hub.on_photo_archive_succeeded.connect(relay(&send_page::on_photo_archive_succeeded)));
  keep(hub.on_photo_archive_progress.connect(
      relay(&send_page::on_photo_archive_progress, archive_progress_call)));
  keep(hub.on_photo_archive_failed.connect(relay(&send_page::on_send_failed)));
  keep(hub.on_photo_archive_canceled.connect(relay(&send_page::on_send_canceled)));
  keep(hub.on_photo_upload_preparing.connect(relay(&send_page::on_photo_upload_preparing)));
  keep(hub.on_photo_upload_succeeded.connect(relay(&send_page::on_photo_upload_succeeded)));
  keep(hub.on_photo_upload_progress.connect(
      relay(&send_page::on_photo_upload_progress, upload_progress_call)));
  keep(hub.on_photo_upload_failed.connect(relay(&send_page::on_send_failed)));
  keep(hub.on_photo_upload_canceled.connect(relay(&send_page::on_send_canceled)));
  keep(hub.on_send_progress_message.connect(relay(&send_page::on_send_progress_message)));
}

void send_page::set_state(int state, const parvel_error& error) {
  // Every state set is a job's report (or the start): a pressed Retry is
  // answered.
  retrying_ = false;
  if (send_state_renews_texts(state_, state)) {
    state_ = state;
    set_texts(state, error);
    remaining_.reset();
  }
  layout();
}

void send_page::set_texts(int state, const parvel_error& error) {
  const send_state_texts keys = send_state_text_keys(state);
  if (keys.header) {
    header_ = localized(keys.header);
  }
  if (keys.status) {
    status_ = localized(keys.status);
  } else if (keys.error_status) {
    status_ = QString::fromUtf8(error.what());
  }
}

void send_page::layout() {
  if (rect().isEmpty()) {
    return;
  }
  refresh_image();
  const send_page_measures measures{
      .client = size(),
      .cancel_text = measure_text(cancel_->text(), cancel_->font()),
      .close_text = measure_text(close_->text(), close_->font()),
      .retry_text = measure_text(retry_->text(), retry_->font()),
      .text_height = measure_text(QStringLiteral("W"), amount_->font()).height(),
  };
  const send_page_places places = send_page_layout(measures, state_);
  const send_controls shown = send_state_controls(state_, retrying_);
  const auto place = [](QWidget* control, const QRect& where, bool visible) {
    control->setGeometry(where);
    control->setVisible(visible);
  };
  place(cancel_, places.cancel, shown.cancel);
  place(close_, places.close, shown.close);
  place(retry_, places.retry, shown.retry);
  place(bar_, places.bar, true);
  place(amount_, places.amount, shown.amount_texts);
  place(time_, places.time, shown.amount_texts);
}

void send_page::draw_image(QPainter& painter, QSize size) {
  const QRect client(QPoint(0, 0), size);
  painter.fillRect(client, QColor(0xFFEDEDED));
  const QFont& header_font = theme::font_manager::instance()->font(1);
  const QFont& status_font = theme::font_manager::instance()->font(2);
  const send_page_text_areas areas =
      send_page_text_layout(size, measure_text(QStringLiteral("TEXT"), header_font));
  constexpr int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

  painter.setFont(header_font);
  painter.setPen(QColor(0xFF000000));
  QRect header_place;
  painter.drawText(areas.header, flags, header_, &header_place);

  painter.setFont(status_font);
  painter.setPen(QColor(0xFF505050));
  painter.drawText(areas.status.translated(0, 2 * header_place.height()), flags, status_);
}

void send_page::paintEvent(QPaintEvent*) {
  paint_image();
}

void send_page::resizeEvent(QResizeEvent*) {
  layout();
}

void send_page::on_photo_archive_progress(std::uint64_t done, std::uint64_t total) {
  const std::optional<float> p = archive_progress(done, total);
  if (!p) {
    return;
  }
  bar_->set_value(*p);
  controller_->on_taskbar_progress(*p);
}

void send_page::on_photo_archive_succeeded(const std::shared_ptr<package_info>& package) {
  controller_->start_photo_upload(package);
}

void send_page::on_photo_upload_preparing() {
  set_state(send_uploading);
}

void send_page::on_photo_upload_progress(unsigned sent, unsigned total, bool through_proxy) {
  const std::optional<float> p = upload_progress(sent, total);
  if (!p) {
    return;
  }
  bar_->set_value(*p);
  controller_->on_taskbar_progress(*p);
  amount_->setText(progress_amount_text(sent, total, localized("kb")));
  const std::uint32_t remaining = remaining_.estimate(sent, total, clock_(), through_proxy);
  if (const auto text = time_remaining_text(
          remaining, application::instance()->get_localized_string("time_remaining"))) {
    time_->setText(QString::fromStdString(*text));
  }
}

void send_page::on_photo_upload_succeeded() {
  bar_->set_value(1.0f);
  set_state(send_succeeded);
  controller_->on_taskbar_progress(1.0f);
  controller_->notify_taskbar_action_succeeded();
}

void send_page::on_send_failed(const parvel_error& error) {
  set_state(send_failed, error);
  controller_->notify_action_failed();
}

void send_page::on_send_canceled() {
  set_state(send_canceled);
  controller_->notify_taskbar_action_succeeded();
}

void send_page::on_send_progress_message(int code) {
  status_ = localized(parvel_code_key(code));
  layout();
}

void send_page::on_cancel() {
  controller_->cancel_photo_archive();
  controller_->cancel_photo_upload();
}

void send_page::on_close() {
  hide();
  // No Retry can send the kept archive any more. A retry still under way
  // reads it: the next send's commit or the program's end removes it then.
  if (!retrying_) {
    user::instance()->get_package()->remove_archive();
  }
  controller_->notify_action_reset();
  controller_->notify_send_window_closed();
}

void send_page::on_retry() {
  controller_->notify_action_set();
  retrying_ = true;
  layout();
  const std::shared_ptr<package_info> package = user::instance()->get_package();
  if (package->archived) {
    controller_->start_photo_upload(package);
  } else {
    controller_->start_photo_archive(package);
  }
}

}  // namespace parvel
