#pragma once

#include "ui/rename/addphotos_rename_unit_item.hpp"

class QLineEdit;

namespace parvel {

// A fixed text in place of the unit's part, kept under its own key.
class addphotos_rename_unit_item_text : public addphotos_rename_unit_item {
 public:
  addphotos_rename_unit_item_text(std::string key, QWidget* parent);

  QSize preferred_size() const override;
  std::shared_ptr<rename_alg> make_alg() const override;
  void reset() override;
  void save(core::key_value_params& params) const override;
  void load(const core::key_value_params& params) override;

 protected:
  void place_controls() override;

 private:
  QSize field_size() const;

  const std::string key_;
  QLineEdit* field_;
};

}  // namespace parvel
