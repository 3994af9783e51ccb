#include "engine/user/user.hpp"

#include <algorithm>
#include <iterator>

#include "engine/photos/package_info.hpp"
#include "engine/user/user_config.hpp"

namespace parvel {

user::user() : package_(std::make_shared<package_info>()) {
  const user_config record = user_config::load();
  package_->sender = record.email;
  package_->make_archive_name();
  package_->signal_sender_changed(record.email);
  contacts = record.contacts;
  package_->counter = record.value;

  relays_.emplace_back(package_->signal_photos_added.connect([this] { signal_photos_added(); }));
  relays_.emplace_back(
      package_->signal_photos_removed.connect([this] { signal_photos_removed(); }));
  relays_.emplace_back(
      package_->signal_rename_changed.connect([this] { signal_rename_changed(); }));
  relays_.emplace_back(package_->signal_sender_changed.connect(
      [this](const std::string& sender) { signal_sender_changed(sender); }));
}

void user::find_contacts(const std::string& text, std::vector<std::string>& out) const {
  std::vector<std::string> further_on;
  for (const std::string& contact : contacts) {
    const std::size_t at = contact.find(text);
    if (at == 0) {
      out.push_back(contact);
    } else if (at != std::string::npos) {
      further_on.push_back(contact);
    }
  }
  out.insert(out.end(), std::make_move_iterator(further_on.begin()),
             std::make_move_iterator(further_on.end()));
}

bool user::has_contact(const std::string& text) const {
  return std::any_of(contacts.begin(), contacts.end(), [&](const std::string& contact) {
    return contact.find(text) != std::string::npos;
  });
}

void user::remove_contact(const std::string& address) {
  std::erase(contacts, address);
  signal_contact_removed();
}

}  // namespace parvel
