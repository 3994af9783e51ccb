#include "core/graphics/gdip/detail/bmp_decoder.hpp"

#include <magick/MagickCore.h>

#include <functional>
#include <memory>
#include <mutex>

#include "core/graphics/gdip/decoder_scratch_folder.hpp"
#include "core/graphics/gdip/detail/srgb8.hpp"

namespace core::graphics::gdip::detail {

namespace {

std::mutex decode_mutex;

struct blob_unref {
  void operator()(VipsBlob* blob) const noexcept { vips_area_unref(VIPS_AREA(blob)); }
};

struct exception_destroy {
  void operator()(ExceptionInfo* info) const noexcept { DestroyExceptionInfo(info); }
};

// Under decode_mutex. ImageMagick reads its temporary path from its registry
// at each file it makes; the library is started here first when no load has
// started it yet (a second start is a no-op). Its limits are its machine's
// memory unless set: an 8000 x 6000 BMP then took 680 MiB, its pixel cache at
// 16 bits a sample and the stored pixels all in memory.
void use_scratch_folder() {
  static std::once_flag started;
  std::call_once(started, [] {
    MagickCoreGenesis(vips_get_argv0(), MagickFalse);
    SetMagickResourceLimit(MemoryResource, bmp_decoder_heap);
    SetMagickResourceLimit(MapResource, bmp_decoder_heap);
  });
  const std::string folder = decoder_scratch_folder();
  if (folder.empty()) {
    return;
  }
  const std::unique_ptr<ExceptionInfo, exception_destroy> exception(AcquireExceptionInfo());
  SetImageRegistry(StringRegistryType, "temporary-path", folder.c_str(), exception.get());
}

vips::VImage decode_alone(const std::function<vips::VImage()>& load) {
  const std::lock_guard lock(decode_mutex);
  use_scratch_folder();
  // The copy holds no reference to the loader, whose image and cache go here.
  return to_srgb8(load()).copy_memory();
}

vips::VOption* failing_on_errors() {
  return vips::VImage::option()->set("fail_on", VIPS_FAIL_ON_ERROR);
}

}  // namespace

vips::VImage decode_bmp_file(const std::string& path) {
  return decode_alone([&] { return vips::VImage::magickload(path.c_str(), failing_on_errors()); });
}

vips::VImage decode_bmp(const std::string& bytes) {
  return decode_alone([&] {
    // The blob borrows the bytes, which outlive the copy.
    const std::unique_ptr<VipsBlob, blob_unref> blob(
        vips_blob_new(nullptr, bytes.data(), bytes.size()));
    return vips::VImage::magickload_buffer(blob.get(), failing_on_errors());
  });
}

}  // namespace core::graphics::gdip::detail
