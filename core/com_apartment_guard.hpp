#pragma once

namespace core {

// Marks the span in which a thread may parse XML. Linux has no COM to start,
// so the guard holds nothing; parsing sites keep it to show where that span is.
class com_apartment_guard {
 public:
  com_apartment_guard() = default;
  com_apartment_guard(const com_apartment_guard&) = delete;
  com_apartment_guard& operator=(const com_apartment_guard&) = delete;
};

}  // namespace core
