#pragma once

#include <utility>

class QLineEdit;
class QObject;
class QWidget;

namespace parvel {

// The control's id as its object name ("id_124"): the windows' code and the
// tests find controls by it.
void set_control_id(QObject& control, int id);

// The id and the theme's font number (1 to 11).
void set_up_control(QWidget& control, int id, int font);

// Digits only (ES_NUMBER), typed or pasted, up to `digits` of them.
void admit_digits_only(QLineEdit& edit, int digits);

// A child control of `parent` with its id and font; the control's constructor
// takes `args` and then the parent.
template <class Control, class... Args>
Control* make_control(QWidget* parent, int id, int font, Args&&... args) {
  auto* control = new Control(std::forward<Args>(args)..., parent);
  set_up_control(*control, id, font);
  return control;
}

// A number field: a line edit (or one derived from it) made as above that
// admits digits only.
template <class Edit>
Edit* make_number_field(QWidget* parent, int id, int font, int digits) {
  auto* edit = make_control<Edit>(parent, id, font);
  admit_digits_only(*edit, digits);
  return edit;
}

}  // namespace parvel
