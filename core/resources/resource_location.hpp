#pragma once

#include <istream>
#include <memory>
#include <string>

namespace core {

// A source of named resources: "inprocess" (compiled into the program) or
// "zip" (entries of an archive). The name says what its owner uses it for.
class resource_location {
 public:
  virtual ~resource_location() = default;

  const std::string& kind() const { return kind_; }
  const std::string& name() const { return name_; }

  // A stream holding the whole resource.
  virtual std::shared_ptr<std::istream> open(const std::string& resource) const = 0;
  virtual std::string read(const std::string& resource) const = 0;
  // False also when looking fails.
  virtual bool exists(const std::string& resource) const = 0;

 protected:
  resource_location(std::string kind, std::string name)
      : kind_(std::move(kind)), name_(std::move(name)) {}

 private:
  std::string kind_;
  std::string name_;
};

}  // namespace core
