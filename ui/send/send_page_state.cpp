#include "ui/send/send_page_state.hpp"

#include <algorithm>

namespace parvel {

namespace {

QSize button_size(QSize text) {
  return QSize(text.width() + 64, text.height() * 3 / 2);
}

// A rectangle whose sizes are clamped at 0.
QRect sized(int x, int y, int width, int height) {
  return QRect(x, y, std::max(0, width), std::max(0, height));
}

}  // namespace

send_controls send_state_controls(int state, bool retrying) {
  const bool outcome = state == send_succeeded || state == send_failed || state == send_canceled;
  const bool can_retry = (state == send_failed || state == send_canceled) && !retrying;
  return {.cancel = !outcome,
          .close = outcome,
          .retry = can_retry,
          .amount_texts = state == send_uploading};
}

send_state_texts send_state_text_keys(int state) {
  switch (state) {
    case send_started:
      return {"send_header", "send_start", false};
    case send_succeeded:
      return {"send_header", "send_succeeded", false};
    case send_failed:
      return {"send_header", nullptr, true};
    case send_canceled:
      return {"send_header", "send_canceled", false};
    default:
      return {};
  }
}

bool send_state_renews_texts(int current, int next) {
  return current != next || next == send_succeeded || next == send_failed || next == send_canceled;
}

send_page_places send_page_layout(const send_page_measures& m, int state) {
  const int width = m.client.width();
  const int height = m.client.height();
  const auto place_button = [&](QSize text) {
    const QSize size = button_size(text);
    return sized(width - 16 - size.width(), height - 16 - size.height(), size.width(),
                 size.height());
  };
  send_page_places p;
  p.cancel = place_button(m.cancel_text);
  p.close = place_button(m.close_text);
  p.retry = place_button(m.retry_text);
  if (state == send_failed || state == send_canceled) {
    p.retry.translate(-(p.close.width() + 16), 0);
  }
  const int bar_width = std::max(0, width * 80 / 100);
  const int bar_height = p.cancel.height();
  p.bar = sized((width - bar_width) / 2, (height - bar_height) / 2, bar_width, bar_height);
  const int line = m.text_height * 6 / 5;
  p.amount = sized(p.bar.x(), p.bar.y() + p.bar.height() + 16, bar_width, line);
  p.time = sized(p.bar.x(), p.amount.y() + p.amount.height() + 16, bar_width, line);
  return p;
}

send_page_text_areas send_page_text_layout(QSize client, QSize text_size) {
  const int w = text_size.width();
  const int h = text_size.height();
  send_page_text_areas a;
  a.header = sized(w / 2, h, client.width() - 2 * (w / 2), client.height() - 2 * h);
  a.status = sized(a.header.x() + w, a.header.y(), a.header.width() - 2 * w, a.header.height());
  return a;
}

}  // namespace parvel
