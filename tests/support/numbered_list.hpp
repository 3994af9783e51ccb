#pragma once

#include <QString>

namespace test_support {

// count texts of the format with "%1" numbered from 000, each followed by
// `after`: numbered_list("p%1@x", 2, ",") is "p000@x,p001@x,".
inline QString numbered_list(const char* format, int count, const QString& after) {
  QString list;
  for (int i = 0; i < count; ++i)
    list += QString::fromLatin1(format).arg(i, 3, 10, QChar('0')) + after;
  return list;
}

}  // namespace test_support
