#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <iterator>

#include "core/graphics/codec_registry.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace core::graphics;
using namespace core::graphics::gdip;
using namespace core::graphics::gdip::batch;

// The program starts imaging in the background once its window is shown; a
// job started at once must wait for it rather than find imaging not started.
TEST(imaging_startup, a_job_started_at_once_converts) {
  test_support::temp_folder folder;
  const std::string path = folder.file("photo.png");
  QImage photo(640, 480, QImage::Format_RGB32);
  photo.fill(QColor(200, 120, 40));
  ASSERT_TRUE(photo.save(QString::fromStdString(path), "PNG"));

  const gdiplus_background_startup imaging;
  gdiplus_image_open_file open(path);
  gdiplus_image_resize resize(&open, 160, 160, bicubic, fit_size | no_enlarge);
  gdiplus_image_save_stream save(&resize, "photo.jpg", {});
  save.run();
  save.stream().seekg(0, std::ios_base::beg);
  const std::string encoded{std::istreambuf_iterator<char>(save.stream()), {}};
  EXPECT_EQ(test_support::signature_of(encoded), image_formats::jpeg);
  const QImage written = QImage::fromData(QByteArray::fromStdString(encoded), "JPG");
  if (!written.isNull()) {  // Qt's JPEG plugin may be absent
    EXPECT_EQ(written.size(), QSize(160, 120));
  }
  EXPECT_EQ(registered_codecs().size(), 6U);
}

}  // namespace
