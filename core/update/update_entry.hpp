#pragma once

#include <string>

#include "core/atom/basic_atom_entry.hpp"
#include "core/update/update_link.hpp"
#include "core/update/update_namespace.hpp"

namespace core::update {

// A released version offered by the feed: an Atom entry whose links carry
// platforms, with the version it offers and how urgent it is. Its namespace
// starts empty; the extension namespace it keeps means it never reports
// empty().
class update_entry final : public atom::basic_atom_entry<update_link> {
 public:
  update_entry() : basic_atom_entry(std::string()) {}

  void clear() override { *this = update_entry(); }
  bool empty() const override {
    return fields_empty() && update_namespace_uri_.empty() && version_.empty() && status_.empty();
  }

  // Four numbers separated by points, as written in the feed.
  const std::string& version() const { return version_; }
  void set_version(const std::string& value) { version_ = value; }
  // "critical" for a required upgrade.
  const std::string& status() const { return status_; }
  void set_status(const std::string& value) { status_ = value; }

 private:
  std::string update_namespace_uri_ = update_namespace_uri;
  std::string version_;
  std::string status_;
};

}  // namespace core::update
