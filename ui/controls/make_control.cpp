#include "ui/controls/make_control.hpp"

#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "ui/theme/font_manager.hpp"

namespace parvel {

void set_control_id(QObject& control, int id) {
  control.setObjectName(QStringLiteral("id_%1").arg(id));
}

void set_up_control(QWidget& control, int id, int font) {
  set_control_id(control, id);
  control.setFont(theme::font_manager::instance()->font(font));
}

void admit_digits_only(QLineEdit& edit, int digits) {
  static const QRegularExpression only_digits(QStringLiteral("[0-9]*"));
  edit.setValidator(new QRegularExpressionValidator(only_digits, &edit));
  edit.setMaxLength(digits);
}

}  // namespace parvel
