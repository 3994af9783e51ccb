#pragma once

#include <string>

#include "core/atom/atom_author.hpp"
#include "core/atom/atom_entry.hpp"
#include "core/atom/atom_link.hpp"

namespace core::atom {

// An Atom feed: its own texts, one author, links and entries in document
// order. References from add_link(), add_entry(), link() and entry() are
// valid until the next link or entry is added.
class atom_feed {
 public:
  virtual ~atom_feed() = default;
  // Back to the defaults, links and entries dropped.
  virtual void clear() = 0;
  // Every field empty and every link, entry and the author empty.
  virtual bool empty() const = 0;
  // The namespace of the feed element as read.
  virtual const std::string& namespace_uri() const = 0;
  virtual void set_namespace_uri(const std::string& value) = 0;
  virtual void set_title_type(const std::string& value) = 0;
  virtual const std::string& title_type() const = 0;
  virtual void set_title(const std::string& value) = 0;
  virtual const std::string& title() const = 0;
  virtual void set_subtitle_type(const std::string& value) = 0;
  virtual const std::string& subtitle_type() const = 0;
  virtual void set_subtitle(const std::string& value) = 0;
  virtual const std::string& subtitle() const = 0;
  virtual void set_id(const std::string& value) = 0;
  virtual const std::string& id() const = 0;
  virtual void set_updated(const std::string& value) = 0;
  virtual const std::string& updated() const = 0;
  // Copies name, email and uri into the feed's own author.
  virtual void set_author(const atom_author& value) = 0;
  virtual atom_author& author() = 0;
  virtual const atom_author& author() const = 0;
  virtual atom_link& add_link() = 0;
  // Past the end: std::invalid_argument "Cannot get the link. Index is out of range.".
  virtual atom_link& link(unsigned index) = 0;
  virtual const atom_link& link(unsigned index) const = 0;
  virtual unsigned link_count() const = 0;
  // A new entry of the implementing class's entry type.
  virtual atom_entry& add_entry() = 0;
  // Past the end: std::invalid_argument "Cannot get the entry. Index is out of range.".
  virtual atom_entry& entry(unsigned index) = 0;
  virtual const atom_entry& entry(unsigned index) const = 0;
  virtual unsigned entry_count() const = 0;

 protected:
  atom_feed() = default;
  atom_feed(const atom_feed&) = default;
  atom_feed& operator=(const atom_feed&) = default;
};

}  // namespace core::atom
