#pragma once

#include <QSize>
#include <QWidget>
#include <boost/signals2/signal.hpp>
#include <memory>
#include <string>

#include "core/key_value_params.hpp"

class QLabel;

namespace parvel {

class rename_alg;

// One way of renaming inside a rename unit: a name label and the controls of
// that way. Every change the user makes raises signal_changed while the item
// is shown, so hidden items never do.
class addphotos_rename_unit_item : public QWidget {
 public:
  boost::signals2::signal<void()> signal_changed;

  // The controls' own size, without the name label.
  virtual QSize preferred_size() const = 0;
  virtual std::shared_ptr<rename_alg> make_alg() const = 0;
  virtual void reset() = 0;
  virtual void save(core::key_value_params& params) const = 0;
  virtual void load(const core::key_value_params& params) = 0;

  // Measures again: the controls beside the name label.
  void measure();
  QSize item_size() const { return item_size_; }
  bool is_empty() const { return empty_; }

 protected:
  // name_id: the localized name shown left of the controls.
  addphotos_rename_unit_item(const std::string& name_id, QWidget* parent);

  int label_offset() const { return label_offset_; }
  void notify_changed();
  // Places the controls for the item's height.
  virtual void place_controls() {}

  void resizeEvent(QResizeEvent* event) override;

 private:
  QLabel* name_label_;
  QSize item_size_;
  bool empty_ = false;
  int label_offset_ = 0;
};

}  // namespace parvel
