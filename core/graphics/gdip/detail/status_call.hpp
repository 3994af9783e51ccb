#pragma once

#include <vips/vips8>

#include <new>
#include <string>

#include "core/graphics/gdip/detail/library_error.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"

namespace core::graphics::gdip::detail {

// Runs step and turns its failure into gdiplus_exception with message and the
// failure's status: the status it carries (with its system error or reason), generic_error for a
// libvips error (its words as the reason, naming the file whose decoding failed), out_of_memory
// for a failed allocation.
template <class Step>
auto call_with_status(const std::string& message, Step&& step) -> decltype(step()) {
  const failure_scope scope;
  try {
    return step();
  } catch (const status_failure& failure) {
    throw gdiplus_exception(message, failure.status(), failure.error(), failure.reason());
  } catch (const vips::VError& e) {
    throw gdiplus_exception(message, status::generic_error, 0, library_error_words(e));
  } catch (const std::bad_alloc&) {
    throw gdiplus_exception(message, status::out_of_memory);
  }
}

}  // namespace core::graphics::gdip::detail
