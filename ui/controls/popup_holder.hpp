#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "core/windows/async_window_update.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace parvel {

// When a popup that hid leaves its holder.
enum class popup_release {
  // At the call posted after the hiding: until then the holder still holds
  // it, and a toggle meanwhile only drops it (the link popups).
  posted,
  // At once, kept alive until the posted call: the next keystroke may open a
  // new popup before the old one is gone (contact completion). Only for
  // popups typed past: a Qt popup destroyed while another one is shown
  // closes that one too.
  at_hiding,
};

// The one popup of a kind that a window holds: made by add_control_dispose
// for each opening and released from a call posted to the holding window
// after it hid, never inside its own signal_hidden. A member of that window,
// which it must not outlive. T has signal_hidden(bool). UI thread only.
template <class T>
class popup_holder {
 public:
  popup_holder(const core::windows_async_window_update& window, popup_release release)
      : window_(window), release_(release) {}
  popup_holder(const popup_holder&) = delete;
  popup_holder& operator=(const popup_holder&) = delete;

  T* get() const { return popup_.get(); }
  T& operator*() const { return *popup_; }
  T* operator->() const { return popup_.get(); }
  explicit operator bool() const { return popup_ != nullptr; }
  bool is_shown() const { return popup_ && popup_->isVisible(); }

  // A new popup in place of the held one; the caller places and shows it.
  template <class... Args>
  T& open(Args&&... args) {
    popup_ = add_control_dispose<T>::make(std::forward<Args>(args)...);
    const T* const made = popup_.get();
    popup_->signal_hidden.connect([this, made](bool) { on_hidden(made); });
    return *popup_;
  }

  // A link's click: drops the held popup and returns null, else opens one.
  template <class... Args>
  T* toggle(Args&&... args) {
    if (popup_) {
      popup_.reset();
      return nullptr;
    }
    return &open(std::forward<Args>(args)...);
  }

 private:
  void on_hidden(const T* which) {
    if (release_ == popup_release::at_hiding && popup_.get() == which)
      hidden_.push_back(std::move(popup_));
    window_.post([this, which] { release(which); });
  }

  void release(const T* which) {
    // A popup opened again since the hiding is not `which` and survives.
    if (release_ == popup_release::posted && popup_.get() == which)
      popup_.reset();
    std::erase_if(hidden_,
                  [which](const std::shared_ptr<T>& popup) { return popup.get() == which; });
  }

  const core::windows_async_window_update& window_;
  const popup_release release_;
  std::shared_ptr<T> popup_;
  std::vector<std::shared_ptr<T>> hidden_;
};

}  // namespace parvel
