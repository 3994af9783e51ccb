#pragma once

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <memory>
#include <string>
#include <vector>

#include "core/singleton.hpp"

namespace parvel {

class package_info;

// The person sending: the one photo set, the saved contacts, and the photo
// set's signals relayed for the windows. Created on the user-interface thread
// from "parvel.config"; the jobs only call get_package().
class user : public core::singleton<user> {
 public:
  boost::signals2::signal<void()> signal_photos_added;
  boost::signals2::signal<void()> signal_photos_removed;
  boost::signals2::signal<void()> signal_contacts_changed;
  boost::signals2::signal<void()> signal_contact_removed;
  boost::signals2::signal<void()> signal_rename_changed;
  boost::signals2::signal<void(const std::string&)> signal_sender_changed;

  std::shared_ptr<package_info> get_package() const { return package_; }

  // Contacts holding text: those that begin with it first, then the rest, each
  // in list order; every contact for an empty text. Appends to out.
  void find_contacts(const std::string& text, std::vector<std::string>& out) const;
  bool has_contact(const std::string& text) const;
  // Removes every contact equal to address; raises signal_contact_removed.
  void remove_contact(const std::string& address);

  std::vector<std::string> contacts;

 private:
  friend class core::singleton<user>;
  user();

  std::shared_ptr<package_info> package_;
  std::vector<boost::signals2::scoped_connection> relays_;
};

}  // namespace parvel
