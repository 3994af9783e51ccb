#pragma once

#include "core/atom/atom_link_impl.hpp"

namespace core::update {

// A feed link with the platform its file is built for, such as "X86".
class update_link final : public atom::atom_link {
 public:
  void clear() override { *this = update_link(); }
  bool empty() const override { return link_.empty() && platform_.empty(); }
  void set_href(const std::string& value) override { link_.set_href(value); }
  const std::string& href() const override { return link_.href(); }
  void set_rel(const std::string& value) override { link_.set_rel(value); }
  const std::string& rel() const override { return link_.rel(); }
  void set_type(const std::string& value) override { link_.set_type(value); }
  const std::string& type() const override { return link_.type(); }
  void set_hreflang(const std::string& value) override { link_.set_hreflang(value); }
  const std::string& hreflang() const override { return link_.hreflang(); }
  void set_title(const std::string& value) override { link_.set_title(value); }
  const std::string& title() const override { return link_.title(); }
  void set_length(std::int64_t value) override { link_.set_length(value); }
  std::int64_t length() const override { return link_.length(); }

  const std::string& platform() const { return platform_; }
  void set_platform(const std::string& value) { platform_ = value; }

 private:
  atom::atom_link_impl link_;
  std::string platform_;
};

}  // namespace core::update
