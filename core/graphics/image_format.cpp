#include "core/graphics/image_format.hpp"

#include <algorithm>
#include <array>
#include <locale>
#include <span>
#include <stdexcept>
#include <string_view>

namespace core::graphics {

namespace {

constexpr std::string_view bmp_extensions[] = {".bmp", ".dib"};
constexpr std::string_view gif_extensions[] = {".gif"};
constexpr std::string_view jpeg_extensions[] = {".jpg", ".jpeg", ".jpe", ".jif", ".jfif", ".jfi"};
constexpr std::string_view png_extensions[] = {".png"};
constexpr std::string_view tiff_extensions[] = {".tif", ".tiff"};
constexpr std::string_view hd_photo_extensions[] = {".hdp", ".wdp"};
constexpr std::string_view psd_extensions[] = {".psd"};
constexpr std::string_view raw_extensions[] = {
    ".3fr", ".arw", ".srf", ".sr2", ".bay", ".crw", ".cr2", ".cap", ".iiq", ".eip", ".dcs",
    ".dcr", ".drf", ".k25", ".kdc", ".dng", ".erf", ".fff", ".mef", ".mos", ".mrw", ".nef",
    ".nrw", ".orf", ".ptx", ".pef", ".pxn", ".r3d", ".raf", ".raw", ".rw2", ".rwz", ".x3f"};

struct format_entry {
  image_format id;
  std::string_view mime_type;
  std::span<const std::string_view> extensions;
};

// Constant-initialised, so lookups made by other static objects see it.
constexpr std::array<format_entry, 8> format_table{{
    {image_formats::bmp, "image/bmp", bmp_extensions},
    {image_formats::gif, "image/gif", gif_extensions},
    {image_formats::jpeg, "image/jpeg", jpeg_extensions},
    {image_formats::png, "image/png", png_extensions},
    {image_formats::tiff, "image/tiff", tiff_extensions},
    {image_formats::hd_photo, "image/vnd.ms-photo", hd_photo_extensions},
    {image_formats::psd, "image/psd", psd_extensions},
    {image_formats::raw, "image/raw", raw_extensions},
}};

const format_entry* find_entry(image_format format) {
  const auto it = std::find_if(format_table.begin(), format_table.end(),
                               [format](const format_entry& e) { return e.id == format; });
  return it == format_table.end() ? nullptr : &*it;
}

const format_entry& entry_of(image_format format) {
  const format_entry* entry = find_entry(format);
  if (entry == nullptr) {
    throw std::invalid_argument("image format is not supported.");
  }
  return *entry;
}

}  // namespace

image_format image_format_from_extension(const std::string& extension) {
  std::string lower = extension;
  std::use_facet<std::ctype<char>>(std::locale())
      .tolower(lower.data(), lower.data() + lower.size());
  for (const format_entry& entry : format_table) {
    for (std::string_view candidate : entry.extensions) {
      if (candidate == lower) {
        return entry.id;
      }
    }
  }
  return image_formats::none;
}

std::string image_format_default_extension(image_format format) {
  // Every format of the table lists at least one extension.
  return std::string(entry_of(format).extensions.front());
}

std::vector<std::string> image_format_extensions(image_format format) {
  const format_entry& entry = entry_of(format);
  return {entry.extensions.begin(), entry.extensions.end()};
}

std::string image_format_mime_type(image_format format) {
  const format_entry* entry = find_entry(format);
  return entry == nullptr ? std::string() : std::string(entry->mime_type);
}

bool image_format_carries_orientation(image_format format) {
  return format == image_formats::jpeg || format == image_formats::png ||
         format == image_formats::tiff;
}

}  // namespace core::graphics
