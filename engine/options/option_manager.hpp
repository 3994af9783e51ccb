#pragma once

#include <boost/signals2/signal.hpp>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace parvel {

// The offered options of one kind and the current choice. The user interface
// chooses on its thread while the archive job reads the choice for every
// photo, so the choice is handed out as a copy under a lock.
template <class Option>
class option_manager {
 public:
  // Raised by the user interface after set_current, with the new option.
  boost::signals2::signal<void(const Option&)> signal_option_changed;

  const std::vector<Option>& options() const { return options_; }
  // Throws std::invalid_argument "Option index is out of range." outside the
  // list (the lists' rows use -1 for rows without an option).
  const Option& option(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= options_.size()) {
      throw std::invalid_argument("Option index is out of range.");
    }
    return options_[static_cast<std::size_t>(index)];
  }

  Option current() const {
    std::lock_guard lock(mutex_);
    return current_;
  }
  void set_current(const Option& option) {
    std::lock_guard lock(mutex_);
    current_ = option;
  }

 protected:
  option_manager(std::vector<Option> options, Option current)
      : options_(std::move(options)), current_(std::move(current)) {}

 private:
  const std::vector<Option> options_;
  mutable std::mutex mutex_;
  Option current_;
};

}  // namespace parvel
