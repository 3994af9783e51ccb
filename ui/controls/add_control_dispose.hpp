#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <utility>

namespace parvel {

// The one end of a window that its owner holds by shared pointer (popups,
// pages): the last release destroys the window, then the object. A window
// already deleted with its Qt parent (at shut-down) is not deleted twice.
// Owners never release from inside a signal the window raised: they post
// the release to their own window (popup_holder).
template <class T>
class add_control_dispose {
 public:
  template <class... Args>
  static std::shared_ptr<T> make(Args&&... args) {
    T* const object = new T(std::forward<Args>(args)...);
    return std::shared_ptr<T>(object, disposer{QPointer<QWidget>(object)});
  }

 private:
  struct disposer {
    QPointer<QWidget> alive;
    void operator()(T*) const {
      // Deleting a QWidget destroys its native window before its members.
      delete alive.data();
    }
  };
};

}  // namespace parvel
