#pragma once

#include <cstdint>
#include <string>

namespace core::atom {

// An Atom link. Every operation is virtual so that the plain Atom readers
// can fill extended links through this interface.
class atom_link {
 public:
  virtual ~atom_link() = default;
  // Back to the defaults.
  virtual void clear() = 0;
  // All texts empty and the length 0.
  virtual bool empty() const = 0;
  virtual void set_href(const std::string& value) = 0;
  virtual const std::string& href() const = 0;
  virtual void set_rel(const std::string& value) = 0;
  virtual const std::string& rel() const = 0;
  // The media type of the target.
  virtual void set_type(const std::string& value) = 0;
  virtual const std::string& type() const = 0;
  virtual void set_hreflang(const std::string& value) = 0;
  virtual const std::string& hreflang() const = 0;
  virtual void set_title(const std::string& value) = 0;
  virtual const std::string& title() const = 0;
  // The size of the target in bytes.
  virtual void set_length(std::int64_t value) = 0;
  virtual std::int64_t length() const = 0;

 protected:
  atom_link() = default;
  atom_link(const atom_link&) = default;
  atom_link& operator=(const atom_link&) = default;
};

}  // namespace core::atom
