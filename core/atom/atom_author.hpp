#pragma once

#include <string>

namespace core::atom {

// An Atom person: a feed's author.
class atom_author {
 public:
  virtual ~atom_author() = default;
  virtual void clear() = 0;
  // All three texts empty.
  virtual bool empty() const = 0;
  virtual void set_name(const std::string& value) = 0;
  virtual const std::string& name() const = 0;
  virtual void set_email(const std::string& value) = 0;
  virtual const std::string& email() const = 0;
  virtual void set_uri(const std::string& value) = 0;
  virtual const std::string& uri() const = 0;

 protected:
  atom_author() = default;
  atom_author(const atom_author&) = default;
  atom_author& operator=(const atom_author&) = default;
};

}  // namespace core::atom
