#pragma once

#include "ui/rename/addphotos_rename_unit_item.hpp"
#include "ui/rename/rename_item_values.hpp"

class QLabel;
class QLineEdit;

namespace parvel {

struct counter_item_measure;

// The running number: its start and its zero-filled width.
class addphotos_rename_unit_item_counter : public addphotos_rename_unit_item {
 public:
  explicit addphotos_rename_unit_item_counter(QWidget* parent);

  QSize preferred_size() const override;
  std::shared_ptr<rename_alg> make_alg() const override;
  void reset() override;
  void save(core::key_value_params& params) const override;
  void load(const core::key_value_params& params) override;

  counter_values values() const;

 protected:
  void place_controls() override;

 private:
  counter_item_measure metrics() const;
  void set_values(const counter_values& values);
  void on_digits_changed();

  QLabel* start_label_;
  QLabel* digits_label_;
  QLineEdit* start_field_;
  QLineEdit* digits_field_;
};

}  // namespace parvel
