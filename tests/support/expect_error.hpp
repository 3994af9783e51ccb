#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <typeinfo>

namespace test_support {

// Expects f to throw exactly E (not a derived type) with exactly this text.
template <class E, class F>
void expect_error(F&& f, const std::string& text) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected " << text;
  } catch (const std::exception& e) {
    EXPECT_EQ(typeid(e), typeid(E)) << "thrown: " << typeid(e).name() << " " << e.what();
    EXPECT_EQ(e.what(), text);
  }
}

}  // namespace test_support
