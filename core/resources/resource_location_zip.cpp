#include "core/resources/resource_location_zip.hpp"

#include <sstream>

#include "core/io/archivers/zip_file_source.hpp"

namespace core {

std::shared_ptr<std::istream> resource_location_zip::open(const std::string& resource) const {
  return std::make_shared<std::stringstream>(read(resource));
}

std::string resource_location_zip::read(const std::string& resource) const {
  io::archivers::zip_file_source archive{io::filesystem::file_source(archive_path_)};
  archive.select(resource);
  std::string content;
  char buffer[8192];
  for (std::streamsize got; (got = archive.read(buffer, sizeof buffer)) > 0;) {
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

bool resource_location_zip::exists(const std::string& resource) const {
  try {
    io::archivers::zip_file_source archive{io::filesystem::file_source(archive_path_)};
    archive.select(resource);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace core
