#pragma once

#include <string>

#include "core/atom/atom_link.hpp"

namespace core::atom {

// An Atom entry with one category, one content and its links in document
// order. Every operation is virtual so that the plain Atom readers can fill
// extended entries through this interface.
class atom_entry {
 public:
  virtual ~atom_entry() = default;
  // Back to the implementing class's defaults, links dropped.
  virtual void clear() = 0;
  // Every text empty and every link empty.
  virtual bool empty() const = 0;
  // The namespace of the entry element as read.
  virtual const std::string& namespace_uri() const = 0;
  virtual void set_namespace_uri(const std::string& value) = 0;
  virtual const std::string& id() const = 0;
  virtual void set_id(const std::string& value) = 0;
  // The updated element's text, kept as text.
  virtual const std::string& updated() const = 0;
  virtual void set_updated(const std::string& value) = 0;
  virtual const std::string& title_type() const = 0;
  virtual void set_title_type(const std::string& value) = 0;
  virtual const std::string& title() const = 0;
  virtual void set_title(const std::string& value) = 0;
  // A new empty link at the end. The reference is valid until the next link
  // is added.
  virtual atom_link& add_link() = 0;
  // An index not below link_count() throws std::invalid_argument
  // "Cannot get the link. Index is out of range.".
  virtual atom_link& link(unsigned index) = 0;
  virtual const atom_link& link(unsigned index) const = 0;
  virtual unsigned link_count() const = 0;
  virtual const std::string& category_scheme() const = 0;
  virtual void set_category_scheme(const std::string& value) = 0;
  virtual const std::string& category_term() const = 0;
  virtual void set_category_term(const std::string& value) = 0;
  virtual const std::string& content_type() const = 0;
  virtual void set_content_type(const std::string& value) = 0;
  // The content's text, or its markup when the type is "xhtml".
  virtual const std::string& content() const = 0;
  virtual void set_content(const std::string& value) = 0;

 protected:
  atom_entry() = default;
  atom_entry(const atom_entry&) = default;
  atom_entry& operator=(const atom_entry&) = default;
};

}  // namespace core::atom
