#pragma once

#include "ui/rename/addphotos_rename_unit_item.hpp"

namespace parvel {

// "Do Not Change": the unit's part is the stem as it is; nothing to set.
class addphotos_rename_unit_item_empty : public addphotos_rename_unit_item {
 public:
  explicit addphotos_rename_unit_item_empty(QWidget* parent);

  QSize preferred_size() const override { return {0, 0}; }
  std::shared_ptr<rename_alg> make_alg() const override;
  void reset() override {}
  void save(core::key_value_params&) const override {}
  void load(const core::key_value_params&) override {}
};

}  // namespace parvel
