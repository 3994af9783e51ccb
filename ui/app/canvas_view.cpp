#include "ui/app/canvas_view.hpp"

#include "core/log/logger.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/user/user.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/controls/add_control_dispose.hpp"
#include "ui/send/send_page.hpp"
#include "ui/update/update_page.hpp"

namespace parvel {

namespace {

// The first widget of page that Tab would reach, else the page itself.
QWidget* first_focus_target(QWidget* page) {
  for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
    if (page->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(page) &&
        (w->focusPolicy() & Qt::TabFocus)) {
      return w;
    }
  }
  return page;
}

}  // namespace

canvas_view::canvas_view(QWidget* parent) : QWidget(parent) {
  controller& hub = *application::instance()->controller();
  // The update check reports on its job's thread; signal_ui_updated comes
  // only from this one.
  connections_.emplace_back(
      hub.on_update_window_closed.connect(relay(&canvas_view::on_update_window_closed)));
  connections_.emplace_back(
      hub.signal_send_window_opened.connect(relay(&canvas_view::on_send_window_opened)));
  connections_.emplace_back(
      hub.signal_send_window_closed.connect(relay(&canvas_view::on_send_window_closed)));
  connections_.emplace_back(
      hub.on_update_check_succeeded.connect(relay(&canvas_view::on_update_check_succeeded)));
  connections_.emplace_back(
      hub.signal_update_check_failed.connect(relay(&canvas_view::on_update_check_failed)));
  connections_.emplace_back(hub.signal_ui_updated.connect([this] { on_ui_updated(); }));
  set_page(layer::addphotos, add_control_dispose<addphotos_page>::make());
}

canvas_view::~canvas_view() {
  // Disconnected last made first, then the pages released top to bottom.
  while (!connections_.empty()) {
    connections_.pop_back();
  }
  for (auto page = pages_.rbegin(); page != pages_.rend(); ++page) {
    page->reset();
  }
}

void canvas_view::set_page(layer where, page_pointer page) {
  if (page) {
    page->setParent(this);
  }
  if (pages_[index(where)].get() == focused_top_) {
    focused_top_ = nullptr;
  }
  pages_[index(where)] = std::move(page);
  layout_pages();
}

QWidget* canvas_view::top_page() const {
  for (auto page = pages_.rbegin(); page != pages_.rend(); ++page) {
    if (*page) {
      return page->get();
    }
  }
  return nullptr;
}

void canvas_view::layout_pages() {
  QWidget* const top = top_page();
  for (const page_pointer& page : pages_) {
    if (!page) {
      continue;
    }
    page->setGeometry(rect());
    page->setEnabled(page.get() == top);
    page->raise();
    page->show();
  }
  if (top && top != focused_top_) {
    focused_top_ = top;
    first_focus_target(top)->setFocus(Qt::OtherFocusReason);
  }
  if (!top) {
    focused_top_ = nullptr;
  }
}

void canvas_view::release_page(layer where, bool defer) {
  if (defer) {
    // The page that asked: one opened again before the posted call survives it.
    post([this, where, which = pages_[index(where)].get()] {
      if (page(where) == which) {
        release_page(where, false);
      }
    });
    return;
  }
  if (pages_[index(where)].get() == focused_top_) {
    focused_top_ = nullptr;
  }
  pages_[index(where)].reset();
  layout_pages();
}

void canvas_view::on_update_window_closed(bool defer) {
  release_page(layer::update, defer);
}

void canvas_view::on_send_window_closed(bool defer) {
  release_page(layer::send, defer);
}

void canvas_view::on_send_window_opened() {
  auto page = add_control_dispose<send_page>::make();
  page->set_state(send_started);
  set_page(layer::send, std::move(page));
  application::instance()->controller()->start_photo_archive(user::instance()->get_package());
}

void canvas_view::on_update_check_succeeded(bool newer,
                                            const core::update::update_enclosure& enclosure) {
  core::log::write(core::log::severity::debug, "on_update_check_succeeded()");
  if (!newer) {
    return;
  }
  auto page = add_control_dispose<update_page>::make();
  page->set_enclosure(enclosure);
  page->set_state(enclosure.status == "critical" ? update_required : update_available);
  set_page(layer::update, std::move(page));
}

void canvas_view::on_update_check_failed() {
  core::log::write(core::log::severity::debug, "on_update_check_failed()");
}

void canvas_view::on_ui_updated() {
  layout_pages();
}

void canvas_view::resizeEvent(QResizeEvent*) {
  layout_pages();
}

}  // namespace parvel
