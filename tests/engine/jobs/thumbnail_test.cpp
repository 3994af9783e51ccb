#include "engine/jobs/thumbnail.hpp"

#include <gtest/gtest.h>

#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace formats = core::graphics::image_formats;

struct thumbnail_case {
  const char* name;
  int width, height;
  core::graphics::image_format format;
  int thumb_width, thumb_height;
};

class thumbnail : public testing::TestWithParam<thumbnail_case> {};

TEST_P(thumbnail, is_a_jpeg_within_160_by_160_never_enlarged) {
  const auto& c = GetParam();
  test_support::register_image_codecs();
  test_support::temp_folder folder;
  const std::string path =
      folder.file(std::string("photo.") + (c.format == formats::png ? "png" : "jpg"));
  test_support::write_image(test_support::photo_like(c.width, c.height), path, c.format);

  parvel::thumbnail_chain chain;
  parvel::make_thumbnail(chain, parvel::photo_entry{path});
  const auto& device = chain.save->device();
  const std::string bytes(device.data(), device.size());
  EXPECT_EQ(test_support::signature_of(bytes), formats::jpeg);
  const auto image = test_support::decode(bytes);
  EXPECT_EQ(image.width(), c.thumb_width);
  EXPECT_EQ(image.height(), c.thumb_height);
}

INSTANTIATE_TEST_SUITE_P(
    sizes, thumbnail,
    testing::Values(thumbnail_case{"small_stays", 100, 50, formats::jpeg, 100, 50},
                    thumbnail_case{"landscape", 4000, 3000, formats::jpeg, 160, 120},
                    thumbnail_case{"portrait_png", 300, 600, formats::png, 80, 160}),
    test_support::row_name());

TEST(thumbnail, of_a_missing_photo_throws) {
  test_support::register_image_codecs();
  parvel::thumbnail_chain chain;
  EXPECT_ANY_THROW(parvel::make_thumbnail(chain, parvel::photo_entry{"/no/such/photo.jpg"}));
}

}  // namespace
