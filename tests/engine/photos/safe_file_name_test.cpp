#include "engine/photos/safe_file_name.hpp"

#include <gtest/gtest.h>

namespace {

TEST(safe_file_name, keeps_one_name_a_recipient_on_windows_can_unzip) {
  struct row {
    std::string name;
    std::string safe;
  };
  const row rows[] = {
      {"IMG_01.JPG", "IMG_01.JPG"},
      {"Ünïcode and blanks.jpg", "Ünïcode and blanks.jpg"},
      {"../a\\b.jpg", ".._a_b.jpg"},
      {std::string("tab\tnul\0del\x7f.jpg", 16), "tab_nul_del_.jpg"},
      {"12:00:00.jpg", "12_00_00.jpg"},
      {"a*b?c\"d<e>f|g.png", "a_b_c_d_e_f_g.png"},
      {"photo. . ", "photo____"},
      {"inner . dots.jpg", "inner . dots.jpg"},
      {".", "_"},
      {"..", "__"},
      {".hidden", ".hidden"},
      {"", ""},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(parvel::safe_file_name(r.name), r.safe);
  }
}

}  // namespace
