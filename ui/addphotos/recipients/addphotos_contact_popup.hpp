#pragma once

#include <QSize>
#include <boost/signals2/signal.hpp>
#include <string>

#include "ui/addphotos/addphotos_list_popup.hpp"

namespace parvel {

class addphotos_contact_list;

// The completion popup under the recipients field: the saved contacts that
// hold the typed text. It never takes the focus, so typing goes on in the
// field, whose Up, Down and Enter keys may choose a contact too. A click on
// a contact hands it over through signal_contact_selected, a click on its
// cross removes it from the saved contacts; any click, in the popup or
// outside it, hides it. The owner releases it from a posted call after
// signal_hidden. UI thread only.
class addphotos_contact_popup : public addphotos_list_popup_of<addphotos_contact_list> {
 public:
  explicit addphotos_contact_popup(QWidget* owner);

  // The chosen contact, UTF-8.
  boost::signals2::signal<void(const std::string&)> signal_contact_selected;

  // Recomputes preferred_size from the rows: every row shown, never a
  // scroll bar, plus the one-pixel border on both sides. Cut by the owner's
  // edges, the rows scroll within what remains.
  void calc_size();

  // The keys of the field that keeps the typing: moves the selection by
  // `step` rows, from the first or the last row when none is selected, and
  // scrolls it into the popup's visible height.
  void move_selection(int step);
  // Hands the selected contact over as a click on it does, then hides;
  // false when no row is selected. The selected row is the highlighted one:
  // the keys, the pointer and the wheel choose it alike.
  bool choose_selected();

 private:
  // The list never shows a vertical scroll bar; the selected row stays whole
  // within the popup's height.
  void list_placed(const QRect& client) override;
  void on_list_click(const basic_list_notification& record) override;
  void choose(int row);
};

// The popup's size for its rows: (total column width, rows × row height),
// each plus 2 for the border unless it is 0.
QSize contact_popup_size(int total_width, int header_height, int rows, int row_height);

}  // namespace parvel
