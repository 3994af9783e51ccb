#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/atom/atom_entry.hpp"
#include "core/atom/sequence_access.hpp"

namespace core::atom {

// The fields and accessors every entry value shares, over the link type it
// holds. Implementations add clear() and empty(), which know their own
// defaults and extra fields.
template <class Link>
class basic_atom_entry : public atom_entry {
 public:
  const std::string& namespace_uri() const override { return namespace_uri_; }
  void set_namespace_uri(const std::string& value) override { namespace_uri_ = value; }
  const std::string& id() const override { return id_; }
  void set_id(const std::string& value) override { id_ = value; }
  const std::string& updated() const override { return updated_; }
  void set_updated(const std::string& value) override { updated_ = value; }
  const std::string& title_type() const override { return title_type_; }
  void set_title_type(const std::string& value) override { title_type_ = value; }
  const std::string& title() const override { return title_; }
  void set_title(const std::string& value) override { title_ = value; }
  atom_link& add_link() override { return links_.emplace_back(); }
  atom_link& link(unsigned index) override { return link_at(links_, index); }
  const atom_link& link(unsigned index) const override { return link_at(links_, index); }
  unsigned link_count() const override { return static_cast<unsigned>(links_.size()); }
  // link(index) as the implementation's own link type.
  Link& link_value(unsigned index) { return link_at(links_, index); }
  const Link& link_value(unsigned index) const { return link_at(links_, index); }
  const std::string& category_scheme() const override { return category_scheme_; }
  void set_category_scheme(const std::string& value) override { category_scheme_ = value; }
  const std::string& category_term() const override { return category_term_; }
  void set_category_term(const std::string& value) override { category_term_ = value; }
  const std::string& content_type() const override { return content_type_; }
  void set_content_type(const std::string& value) override { content_type_ = value; }
  const std::string& content() const override { return content_; }
  void set_content(const std::string& value) override { content_ = value; }

 protected:
  explicit basic_atom_entry(std::string namespace_uri) : namespace_uri_(std::move(namespace_uri)) {}

  // Every text empty and every link empty.
  bool fields_empty() const {
    return namespace_uri_.empty() && id_.empty() && updated_.empty() && title_type_.empty() &&
           title_.empty() && category_scheme_.empty() && category_term_.empty() &&
           content_type_.empty() && content_.empty() &&
           std::all_of(links_.begin(), links_.end(), [](const Link& l) { return l.empty(); });
  }

 private:
  std::string namespace_uri_;
  std::string id_;
  std::string updated_;
  std::string title_type_;
  std::string title_;
  std::string category_scheme_;
  std::string category_term_;
  std::string content_type_;
  std::string content_;
  std::vector<Link> links_;
};

}  // namespace core::atom
