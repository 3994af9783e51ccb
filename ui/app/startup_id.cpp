#include "ui/app/startup_id.hpp"

#include <QCoreApplication>
#include <algorithm>

namespace parvel {

std::optional<std::uint32_t> startup_id_time(const QString& startup_id) {
  static const QLatin1String marker("_TIME");
  const qsizetype at = startup_id.lastIndexOf(marker);
  if (at == -1) {
    return std::nullopt;
  }
  const QStringView digits = QStringView(startup_id).mid(at + marker.size());
  const bool all_digits =
      !digits.isEmpty() &&
      std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
  bool fits = false;
  const qulonglong time = all_digits ? digits.toULongLong(&fits) : 0;
  if (!fits || time == 0 || time > UINT32_MAX) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(time);
}

QString own_startup_id(std::uint32_t time) {
  return QStringLiteral("lumbrel-send-photo-%1_TIME%2")
      .arg(QCoreApplication::applicationPid())
      .arg(time);
}

}  // namespace parvel
