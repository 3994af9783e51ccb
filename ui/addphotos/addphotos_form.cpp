#include "ui/addphotos/addphotos_form.hpp"

#include <QRegularExpression>
#include <algorithm>

#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"

namespace parvel {

QStringList split_recipients(const QString& to_text) {
  static const QRegularExpression delimiters(QStringLiteral("[,;]"));
  QStringList recipients;
  for (const QString& piece : to_text.split(delimiters, Qt::SkipEmptyParts)) {
    const QString recipient = piece.trimmed();
    if (!recipient.isEmpty())
      recipients.push_back(recipient);
  }
  return recipients;
}

bool send_allowed(const QString& from_text, const QString& to_text, std::size_t photo_count) {
  return !from_text.trimmed().isEmpty() && !to_text.trimmed().isEmpty() && photo_count != 0;
}

QString make_remaining_text(int length) {
  return QStringLiteral("(%1)").arg(message_limit - length);
}

void commit_form(const addphotos_form& form, user& person, package_info& package) {
  std::vector<std::string> recipients;
  for (const QString& recipient : split_recipients(form.to)) {
    std::string address = recipient.toStdString();
    if (std::find(person.contacts.begin(), person.contacts.end(), address) ==
        person.contacts.end()) {
      person.contacts.push_back(address);
      std::sort(person.contacts.begin(), person.contacts.end());
      person.signal_contacts_changed();
    }
    recipients.push_back(std::move(address));
  }
  package.sender = form.from.toStdString();
  // An archive an earlier send kept for its Retry goes before the name moves
  // on: nothing can send it any more.
  package.remove_archive();
  package.make_archive_name();
  if (form.copy_to_myself)
    recipients.push_back(package.sender);
  package.recipients = std::move(recipients);
  package.subject = form.subject.toStdString();
  package.message = form.message.toStdString();
}

}  // namespace parvel
