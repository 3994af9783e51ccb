#include "ui/update/update_page_layout.hpp"

#include "ui/update/update_state.hpp"

namespace parvel {

namespace {

constexpr int margin = 16;

int one_and_a_half(int height) {
  return height * 3 / 2;
}

QRect button_rect(QSize client, QSize text) {
  const int width = text.width() + 64;
  const int height = one_and_a_half(text.height());
  return {client.width() - width - margin, client.height() - height - margin, width, height};
}

// The part starting at left on the line at top; empty when it is not made.
QRect line_part(int& left, int top, QSize text) {
  if (text.isEmpty())
    return {};
  const QRect part(left, top, text.width(), one_and_a_half(text.height()));
  left += text.width();
  return part;
}

}  // namespace

update_page_layout layout_update_page(const update_page_layout_input& sizes,
                                      const update_state_view& state) {
  const QSize client = sizes.client;
  update_page_layout r;
  r.download = button_rect(client, sizes.download);
  r.cancel = button_rect(client, sizes.cancel);
  r.retry = button_rect(client, sizes.retry);
  r.close = button_rect(client, sizes.close);
  if (state.shift == update_state_view::cancel_shift::by_download)
    r.cancel.translate(-(r.download.width() + margin), 0);
  else if (state.shift == update_state_view::cancel_shift::by_retry)
    r.cancel.translate(-(r.retry.width() + margin), 0);

  const int bar_width = client.width() * 8 / 10;
  const int bar_height = r.cancel.height();
  r.progress_bar = QRect((client.width() - bar_width) / 2, (client.height() - bar_height) / 2,
                         bar_width, bar_height);
  const int bar_bottom = r.progress_bar.y() + bar_height;
  r.progress_text = QRect(r.progress_bar.x() + bar_width / 2, bar_bottom + margin, bar_width / 2,
                          one_and_a_half(sizes.progress_text_height));

  int left = r.progress_bar.x();
  const int line_top = bar_bottom + 48;
  r.link_before = line_part(left, line_top, sizes.link_before);
  r.link = line_part(left, line_top, sizes.link);
  r.link_after = line_part(left, line_top, sizes.link_after);
  return r;
}

}  // namespace parvel
