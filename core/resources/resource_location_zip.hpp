#pragma once

#include "core/resources/resource_location.hpp"

namespace core {

// Entries of a zip archive, named by their path inside it. The archive is
// opened anew for each call. Failures of the zip reader (no archive, no such
// entry, damaged data) propagate from open and read; exists answers false.
class resource_location_zip : public resource_location {
 public:
  resource_location_zip(std::string name, std::string archive_path)
      : resource_location("zip", std::move(name)), archive_path_(std::move(archive_path)) {}

  const std::string& archive_path() const { return archive_path_; }

  std::shared_ptr<std::istream> open(const std::string& resource) const override;
  std::string read(const std::string& resource) const override;
  bool exists(const std::string& resource) const override;

 private:
  std::string archive_path_;
};

}  // namespace core
