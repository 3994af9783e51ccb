#pragma once

class QObject;

namespace parvel {

inline constexpr int notify_selection_changed = -1501;
inline constexpr int notify_click = -1502;
inline constexpr int notify_right_click = -1503;
inline constexpr int notify_double_click = -1504;
inline constexpr int notify_check_toggled = -1506;
inline constexpr int notify_link_clicked = -1507;
inline constexpr int notify_delete_key = -1508;

// What a list tells its parent. The list never changes its own data in
// answer: the parent changes the model and the list repaints.
struct basic_list_notification {
  QObject* from = nullptr;  // the list
  int id_from = 0;          // the list's control id ("id_<n>" object name)
  int code = 0;
  int row = -1;     // -1 = none
  int column = -1;  // column id, -1 = none
};

}  // namespace parvel
