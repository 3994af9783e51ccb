#pragma once

#include <vips/vips8>

#include <new>
#include <string>
#include <type_traits>

#include "core/graphics/gdip/detail/library_error.hpp"
#include "core/graphics/gdip/detail/status_failure.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"

namespace core::graphics::gdip::detail {

// Runs step and turns its failure into gdiplus_exception with message and the
// failure's status: the status it carries (with its system error or reason), generic_error for a
// libvips error or damage a decoder found (its words as the reason, naming the file whose
// decoding failed), out_of_memory for a failed allocation.
template <class Step>
auto call_with_status(const std::string& message, Step&& step) -> decltype(step()) {
  const failure_scope scope;
  // A decoder that found damage fails the step, also where the library's
  // threads lost its failure on their way.
  const auto check_damage = [&] {
    if (std::string words = decoder_damage_words(); !words.empty()) {
      throw gdiplus_exception(message, status::generic_error, 0, std::move(words));
    }
  };
  try {
    if constexpr (std::is_void_v<decltype(step())>) {
      step();
      check_damage();
    } else {
      auto result = step();
      check_damage();
      return result;
    }
  } catch (const status_failure& failure) {
    throw gdiplus_exception(message, failure.status(), failure.error(), failure.reason());
  } catch (const vips::VError& e) {
    throw gdiplus_exception(message, status::generic_error, 0, library_error_words(e));
  } catch (const std::bad_alloc&) {
    throw gdiplus_exception(message, status::out_of_memory);
  }
}

}  // namespace core::graphics::gdip::detail
