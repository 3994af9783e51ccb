// lumbrel-hd-photo-decoder: decodes the HD Photo file on its standard input
// and writes the header record and pixels of hd_photo_wire.hpp to its
// standard output; any other outcome is a non-zero exit or a signal. It runs
// as a child of the program so that jxrlib's failed assertions, crashes and
// leaks on damaged files end this process alone, and its limits bound what a
// hostile file can make it take.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <JXRGlue.h>

#include "core/graphics/gdip/detail/hd_photo_wire.hpp"

// AddressSanitizer and ThreadSanitizer reserve terabytes of shadow memory, so
// an address-space limit fails their every allocation. gcc says so with
// __SANITIZE_ADDRESS__ and __SANITIZE_THREAD__, Debian's clang 14 only
// through __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LUMBREL_SHADOW_MEMORY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define LUMBREL_SHADOW_MEMORY 1
#endif
#endif

namespace {

namespace wire = core::graphics::gdip::detail::hd_photo_wire;

// Beyond the file itself: the pixels of the largest image the program accepts
// (8 bytes a pixel at most) and jxrlib's working memory.
constexpr rlim_t working_memory = rlim_t{1} << 30;
constexpr rlim_t cpu_seconds = 60;

constexpr int failed = 1;

struct stream_closer {
  void operator()(WMPStream* stream) const noexcept { stream->Close(&stream); }
};
using stream_ptr = std::unique_ptr<WMPStream, stream_closer>;

struct decoder_releaser {
  void operator()(PKImageDecode* decoder) const noexcept { decoder->Release(&decoder); }
};
using decoder_ptr = std::unique_ptr<PKImageDecode, decoder_releaser>;

struct pixel_format_name {
  const PKPixelFormatGUID* format;
  wire::layout layout;
};

const pixel_format_name pixel_formats[] = {
    {&GUID_PKPixelFormat24bppRGB, wire::layout::rgb24},
    {&GUID_PKPixelFormat24bppBGR, wire::layout::bgr24},
    {&GUID_PKPixelFormat32bppBGR, wire::layout::bgr32},
    {&GUID_PKPixelFormat32bppBGRA, wire::layout::bgra32},
    {&GUID_PKPixelFormat32bppRGBA, wire::layout::rgba32},
    {&GUID_PKPixelFormat32bppPBGRA, wire::layout::pbgra32},
    {&GUID_PKPixelFormat32bppPRGBA, wire::layout::prgba32},
    {&GUID_PKPixelFormat8bppGray, wire::layout::gray8},
    {&GUID_PKPixelFormat16bppGray, wire::layout::gray16},
    {&GUID_PKPixelFormat48bppRGB, wire::layout::rgb48},
    {&GUID_PKPixelFormat64bppRGBA, wire::layout::rgba64},
    {&GUID_PKPixelFormat32bppCMYK, wire::layout::cmyk32},
    {&GUID_PKPixelFormat64bppCMYK, wire::layout::cmyk64},
};

bool set_limit(int resource, rlim_t value) {
  const rlimit limit{value, value};
  return ::setrlimit(resource, &limit) == 0;
}

// Set before a byte of the file is read.
bool limit_self([[maybe_unused]] off_t input_size) {
  bool limited = set_limit(RLIMIT_CORE, 0) && set_limit(RLIMIT_CPU, cpu_seconds);
#ifndef LUMBREL_SHADOW_MEMORY
  limited = limited && set_limit(RLIMIT_AS, working_memory + static_cast<rlim_t>(input_size));
#endif
  return limited;
}

bool read_input(std::vector<U8>& bytes, off_t expected_size) {
  bytes.resize(static_cast<std::size_t>(expected_size) + 1);  // one more to see the end
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      bytes.resize(2 * bytes.size());
    }
    const ssize_t count = ::read(STDIN_FILENO, bytes.data() + used, bytes.size() - used);
    if (count == 0) {
      bytes.resize(used);
      return true;
    }
    if (count < 0 && errno != EINTR) {
      return false;
    }
    used += static_cast<std::size_t>(count > 0 ? count : 0);
  }
}

bool write_output(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t count = ::write(STDOUT_FILENO, bytes, size);
    if (count < 0 && errno == EINTR) {
      continue;
    }
    if (count <= 0) {
      return false;
    }
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

// jxrlib decodes what is there of a cut image and makes up the rest: the
// container's directory says where the image lies. Its alpha plane's byte
// count cannot be trusted (jxrlib's own encoder writes the file's size
// there), so that plane has only to begin within the file.
bool holds_declared_data(const WmpDEMisc& directory, std::size_t input_size) {
  const std::uint64_t image_end = std::uint64_t{directory.uImageOffset} + directory.uImageByteCount;
  return image_end <= input_size &&
         (directory.uAlphaByteCount == 0 || directory.uAlphaOffset < input_size);
}

int decode(std::vector<U8>& input) {
  WMPStream* raw_stream = nullptr;
  if (Failed(CreateWS_Memory(&raw_stream, input.data(), input.size()))) {
    return failed;
  }
  const stream_ptr stream(raw_stream);
  PKImageDecode* raw_decoder = nullptr;
  if (Failed(PKImageDecode_Create_WMP(&raw_decoder))) {
    return failed;
  }
  const decoder_ptr decoder(raw_decoder);
  if (Failed(decoder->Initialize(decoder.get(), stream.get()))) {
    return failed;
  }
  // jxrlib leaves a separate alpha plane undecoded (alpha 0) unless asked.
  decoder->WMP.wmiSCP.uAlphaMode = decoder->WMP.bHasAlpha ? 2 : 0;
  I32 width = 0;
  I32 height = 0;
  PKPixelFormatGUID format;
  wire::header header{};
  if (Failed(decoder->GetSize(decoder.get(), &width, &height)) || width <= 0 || height <= 0 ||
      Failed(decoder->GetPixelFormat(decoder.get(), &format)) ||
      Failed(decoder->GetResolution(decoder.get(), &header.dpi_x, &header.dpi_y))) {
    return failed;
  }
  header.width = static_cast<std::uint32_t>(width);
  header.height = static_cast<std::uint32_t>(height);
  header.pixels = wire::layout::count;
  for (const pixel_format_name& name : pixel_formats) {
    if (std::memcmp(name.format, &format, sizeof format) == 0) {
      header.pixels = name.layout;
    }
  }
  if (header.pixels == wire::layout::count) {
    return failed;
  }
  // The program refuses too large an image on this record alone.
  if (!write_output(&header, sizeof header)) {
    return failed;
  }
  if (!holds_declared_data(decoder->WMP.wmiDEMisc, input.size())) {
    return failed;
  }
  const std::size_t stride = std::size_t{header.width} * wire::stored_bytes(header.pixels);
  if (stride > UINT32_MAX) {
    return failed;
  }
  std::vector<U8> pixels(stride * header.height);
  const PKRect whole{0, 0, width, height};
  if (Failed(decoder->Copy(decoder.get(), &whole, pixels.data(), static_cast<U32>(stride))) ||
      !write_output(pixels.data(), pixels.size())) {
    return failed;
  }
  return EXIT_SUCCESS;
}

}  // namespace

int main() {
  struct stat input_status {};
  if (::fstat(STDIN_FILENO, &input_status) != 0 || !limit_self(input_status.st_size)) {
    return failed;
  }
  try {
    std::vector<U8> input;
    if (!read_input(input, input_status.st_size)) {
      return failed;
    }
    return decode(input);
  } catch (...) {  // out of memory within the limit
    return failed;
  }
}
