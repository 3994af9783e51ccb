#include "ui/addphotos/photo_list/dropped_path.hpp"

#include <QByteArray>
#include <QUrl>

namespace parvel {

std::optional<std::string> dropped_path(const QUrl& url) {
  if (!url.isValid() || !url.isLocalFile())
    return std::nullopt;
  const QString host = url.host();
  if (!host.isEmpty() && host != QLatin1String("localhost"))
    return std::nullopt;
  // Fully encoded, the path is ASCII with every other byte as %XX, whatever
  // the name's encoding.
  const QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (!path.startsWith('/') || path.contains('\0'))
    return std::nullopt;
  return path.toStdString();
}

}  // namespace parvel
