#pragma once

#include <QSize>
#include <boost/signals2/connection.hpp>
#include <memory>
#include <vector>

#include "core/key_value_params.hpp"
#include "ui/rename/float_view.hpp"
#include "ui/rename/rename_preview.hpp"

class QComboBox;
class QLabel;
class QPushButton;

namespace parvel {

class addphotos_rename_unit;
class addphotos_rename_unit_item_counter;
class addphotos_rename_unit_item_empty;
class addphotos_rename_unit_item_text;
class package_info;
class rename_alg;

// Where the user composes the photos' names in the archive: a scheme,
// three units (Prefix, Filename, Suffix) and a preview of two names. Every
// change stores the scheme in the photo set at once; "Apply" and a click
// outside save the popup's values for the rest of the run and hide it.
class addphotos_rename_popup : public float_view {
 public:
  // The photo set receives the scheme; params keep the values between
  // openings (never written to the settings file).
  addphotos_rename_popup(std::shared_ptr<package_info> photos, core::key_value_params& params,
                         QWidget* parent);
  ~addphotos_rename_popup() override;

  // Builds the scheme from the units and stores it in the photo set.
  void do_commit_updates();
  int scheme() const { return scheme_; }
  const preview_rows& preview() const { return preview_; }

 protected:
  void before_hide() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::shared_ptr<rename_alg> make_scheme() const;
  void choose_scheme(int scheme);
  void commit_and_preview();
  void refresh_preview();
  void load();
  void on_reset();
  void layout();

  std::shared_ptr<package_info> photos_;
  core::key_value_params& params_;
  std::vector<addphotos_rename_unit*> units_;
  addphotos_rename_unit* prefix_unit_;
  addphotos_rename_unit_item_text* prefix_text_;
  addphotos_rename_unit* filename_unit_;
  addphotos_rename_unit_item_text* filename_text_;
  addphotos_rename_unit_item_counter* filename_counter_;
  addphotos_rename_unit_item_empty* filename_empty_;
  addphotos_rename_unit* suffix_unit_;
  addphotos_rename_unit_item_text* suffix_text_;
  int scheme_ = 0;
  preview_rows preview_;
  QLabel* scheme_label_;
  QComboBox* scheme_list_;
  QPushButton* apply_;
  QPushButton* reset_;
  QPoint preview_origin_;
  QSize arrow_size_;
  std::vector<boost::signals2::scoped_connection> item_connections_;
};

}  // namespace parvel
