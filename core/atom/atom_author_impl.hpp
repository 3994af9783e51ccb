#pragma once

#include "core/atom/atom_author.hpp"

namespace core::atom {

class atom_author_impl final : public atom_author {
 public:
  void clear() override { *this = atom_author_impl(); }
  bool empty() const override { return name_.empty() && email_.empty() && uri_.empty(); }
  void set_name(const std::string& value) override { name_ = value; }
  const std::string& name() const override { return name_; }
  void set_email(const std::string& value) override { email_ = value; }
  const std::string& email() const override { return email_; }
  void set_uri(const std::string& value) override { uri_ = value; }
  const std::string& uri() const override { return uri_; }

 private:
  std::string name_;
  std::string email_;
  std::string uri_;
};

}  // namespace core::atom
