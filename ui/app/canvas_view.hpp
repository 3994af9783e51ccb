#pragma once

#include <QWidget>
#include <array>
#include <boost/signals2/connection.hpp>
#include <memory>
#include <vector>

#include "core/update/update_enclosure.hpp"
#include "core/windows/async_window_update.hpp"

namespace parvel {

// The main frame's client view: stacks the pages of the program at its whole
// size, update page over send page over add-photos page. Only the top page
// takes input: a page covered by another is disabled, so the keyboard never
// reaches a page the user cannot see (while a send runs, nothing typed can
// change the photo set the job reads). Pages asking to be closed are released
// from a posted call, after the handler that asked has returned.
// User-interface thread: the controller's signals reach the slots there.
class canvas_view : public QWidget, public core::windows_async_window_update {
  Q_OBJECT

 public:
  // Bottom to top.
  enum class layer { addphotos, send, update };
  using page_pointer = std::shared_ptr<QWidget>;

  explicit canvas_view(QWidget* parent = nullptr);
  ~canvas_view() override;

  // Puts page in its layer as a child of the canvas, releasing the page held
  // there, and lays the pages out. Pages are made by add_control_dispose.
  void set_page(layer where, page_pointer page);
  QWidget* page(layer where) const { return pages_[index(where)].get(); }

  // Each present page at the whole client area, in z-order; the top page
  // enabled and, when it is new on top, given the focus.
  void layout_pages();

  // Controller slots. The close slots release their page: with defer, from a
  // posted call of themselves without it, which releases only the page that
  // was there when they were called.
  void on_update_window_closed(bool defer);
  void on_send_window_closed(bool defer);
  // A new send page (replacing an earlier one) over the add-photos page,
  // then the archive job of the user's photo set.
  void on_send_window_opened();
  // A newer version puts the update page on top: required (state 2) when
  // the enclosure's status is "critical", else offered (state 1).
  void on_update_check_succeeded(bool newer, const core::update::update_enclosure& enclosure);
  void on_update_check_failed();
  void on_ui_updated();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  static std::size_t index(layer where) { return static_cast<std::size_t>(where); }
  void release_page(layer where, bool defer);
  QWidget* top_page() const;

  std::array<page_pointer, 3> pages_;
  QWidget* focused_top_ = nullptr;  // the top page that was last given the focus
  // Last member: disconnected first, before the pages go.
  std::vector<boost::signals2::scoped_connection> connections_;
};

}  // namespace parvel
