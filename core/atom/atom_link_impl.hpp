#pragma once

#include "core/atom/atom_link.hpp"

namespace core::atom {

// A link value with the link element's attributes.
class atom_link_impl final : public atom_link {
 public:
  void clear() override { *this = atom_link_impl(); }
  bool empty() const override;
  void set_href(const std::string& value) override { href_ = value; }
  const std::string& href() const override { return href_; }
  void set_rel(const std::string& value) override { rel_ = value; }
  const std::string& rel() const override { return rel_; }
  void set_type(const std::string& value) override { type_ = value; }
  const std::string& type() const override { return type_; }
  void set_hreflang(const std::string& value) override { hreflang_ = value; }
  const std::string& hreflang() const override { return hreflang_; }
  void set_title(const std::string& value) override { title_ = value; }
  const std::string& title() const override { return title_; }
  void set_length(std::int64_t value) override { length_ = value; }
  std::int64_t length() const override { return length_; }

 private:
  std::string href_;
  std::string rel_;
  std::string type_;
  std::string hreflang_;
  std::string title_;
  std::int64_t length_ = 0;
};

}  // namespace core::atom
