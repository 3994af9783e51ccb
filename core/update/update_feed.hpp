#pragma once

#include <string>
#include <vector>

#include "core/atom/atom_author_impl.hpp"
#include "core/atom/atom_feed.hpp"
#include "core/update/update_entry.hpp"
#include "core/update/update_link.hpp"
#include "core/update/update_namespace.hpp"

namespace core::update {

// The update feed as read: the one implementation of the Atom feed
// interface, with update entries and links.
class update_feed final : public atom::atom_feed {
 public:
  void clear() override { *this = update_feed(); }
  bool empty() const override;
  const std::string& namespace_uri() const override { return namespace_uri_; }
  void set_namespace_uri(const std::string& value) override { namespace_uri_ = value; }
  void set_title_type(const std::string& value) override { title_type_ = value; }
  const std::string& title_type() const override { return title_type_; }
  void set_title(const std::string& value) override { title_ = value; }
  const std::string& title() const override { return title_; }
  void set_subtitle_type(const std::string& value) override { subtitle_type_ = value; }
  const std::string& subtitle_type() const override { return subtitle_type_; }
  void set_subtitle(const std::string& value) override { subtitle_ = value; }
  const std::string& subtitle() const override { return subtitle_; }
  void set_id(const std::string& value) override { id_ = value; }
  const std::string& id() const override { return id_; }
  void set_updated(const std::string& value) override { updated_ = value; }
  const std::string& updated() const override { return updated_; }
  void set_author(const atom::atom_author& value) override;
  atom::atom_author& author() override { return author_; }
  const atom::atom_author& author() const override { return author_; }
  atom::atom_link& add_link() override { return links_.emplace_back(); }
  atom::atom_link& link(unsigned index) override;
  const atom::atom_link& link(unsigned index) const override;
  unsigned link_count() const override { return static_cast<unsigned>(links_.size()); }
  atom::atom_entry& add_entry() override { return entries_.emplace_back(); }
  atom::atom_entry& entry(unsigned index) override;
  const atom::atom_entry& entry(unsigned index) const override;
  unsigned entry_count() const override { return static_cast<unsigned>(entries_.size()); }

  // link(index) and entry(index) with their extension parts.
  update_link& link_value(unsigned index);
  const update_link& link_value(unsigned index) const;
  update_entry& entry_value(unsigned index);
  const update_entry& entry_value(unsigned index) const;

 private:
  std::string namespace_uri_;
  std::string title_type_;
  std::string title_;
  std::string subtitle_type_;
  std::string subtitle_;
  std::string id_;
  std::string updated_;
  atom::atom_author_impl author_;
  std::vector<update_link> links_;
  std::vector<update_entry> entries_;
  std::string update_namespace_uri_ = update_namespace_uri;
};

}  // namespace core::update
