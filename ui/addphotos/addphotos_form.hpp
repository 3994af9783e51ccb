#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>

namespace parvel {

class package_info;
class user;

// The message edit's limit, counted in UTF-16 units as typed.
inline constexpr int message_limit = 300;

// The recipients of the To field: split at every "," and ";" (adjacent ones
// count as one), each piece trimmed, blank pieces dropped, order kept.
QStringList split_recipients(const QString& to_text);

// Send is possible: From and To not blank, and at least one photo.
bool send_allowed(const QString& from_text, const QString& to_text, std::size_t photo_count);

// The counter under the Message label: "(<300 - length>)".
QString make_remaining_text(int length);

// The form as typed.
struct addphotos_form {
  QString to;
  QString from;
  QString subject;
  QString message;
  bool copy_to_myself = false;
};

// Copies the form into the user and the photo set before a send: every
// recipient not yet saved joins the contacts (kept sorted byte-wise, one
// contacts-changed signal per addition), the sender as typed names the
// archive (an archive an earlier send kept for its Retry is removed first),
// the sender is appended to the recipients when a copy is asked for.
// User-interface thread.
void commit_form(const addphotos_form& form, user& person, package_info& package);

}  // namespace parvel
