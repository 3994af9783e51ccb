#pragma once

#include <filesystem>
#include <string>

namespace test_support {

// A fresh folder for one test, removed with everything in it afterwards.
class temp_folder {
 public:
  temp_folder();
  temp_folder(const temp_folder&) = delete;
  temp_folder& operator=(const temp_folder&) = delete;
  ~temp_folder();

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

// Sets an environment variable for the life of the object, then restores it.
class scoped_env {
 public:
  scoped_env(std::string name, const std::string& value);
  scoped_env(const scoped_env&) = delete;
  scoped_env& operator=(const scoped_env&) = delete;
  ~scoped_env();

 private:
  std::string name_;
  bool had_value_;
  std::string old_value_;
};

}  // namespace test_support
