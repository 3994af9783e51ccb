#pragma once

#include "core/resources/resource_location.hpp"

namespace core {

// Resources compiled into the program, named by their number in decimal
// ("132") and all of one type ("RT_BIN"). A name that is not a 16-bit number
// throws boost::bad_lexical_cast; a missing or empty resource
// std::runtime_error "Cannot read the inprocess resource.".
class resource_location_inprocess : public resource_location {
 public:
  resource_location_inprocess(std::string name, std::string type)
      : resource_location("inprocess", std::move(name)), type_(std::move(type)) {}

  const std::string& type() const { return type_; }

  std::shared_ptr<std::istream> open(const std::string& resource) const override;
  std::string read(const std::string& resource) const override;
  bool exists(const std::string& resource) const override;

 private:
  std::string type_;
};

}  // namespace core
