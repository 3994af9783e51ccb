#pragma once

#include <gtest/gtest.h>

#include <string>

namespace test_support {

// Names a table row after its `name` field, for INSTANTIATE_TEST_SUITE_P.
struct row_name {
  template <class Row>
  std::string operator()(const testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

}  // namespace test_support
