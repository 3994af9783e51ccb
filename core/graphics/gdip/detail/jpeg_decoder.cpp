#include "core/graphics/gdip/detail/jpeg_decoder.hpp"

// libjpeg's headers need FILE and size_t declared first, and jerror.h
// takes jpeglib.h's configuration (arithmetic coding among its codes).
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

// One decode: libjpeg's state, the source it reads, and where it has got to.
// libjpeg's failures jump back to the step that called it (its C frames
// cannot pass an exception), which then reports the words.
struct jpeg_reader {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  jpeg_progress_mgr progress{};
  std::jmp_buf failed_at{};
  std::mutex lock;  // the rows are read in one order, by one thread at a time
  std::FILE* file = nullptr;
  int next_row = 0;
  bool invert = false;  // CMYK as Adobe writes it, ink inverted
  // Rows as libjpeg gives them when they are wider than the image: a shrunk
  // size is rounded up there and down in the header.
  std::vector<JSAMPLE> wide_rows;
  std::string words;  // of the failure; empty while it decodes
  // libjpeg's words once the file has ended: what it lacks then shows as bits
  // needed past the end or once the file is read.
  std::string ended;
  // How many scans carried each component, and the last scan counted.
  std::array<int, MAX_COMPONENTS> scans_of{};
  int counted_scan = 0;
  std::shared_ptr<decoder_damage> damage;
};

// Whether the warning libjpeg raises now means picture data was lost or
// contradicted: it decodes on, with grey where the data failed. Past the
// header, where libjpeg meets the file's end says nothing of the picture: it
// reads a few bytes ahead, and a few bytes may code many flat rows. A Huffman
// decoder that needs bits past the end says so, as a premature end of its data
// segment; whether a file of several scans got them all is judged once it is
// read. An arithmetic-coded scan leaves out its trailing zero bytes by design
// and its decoder supplies them, so one cut within its last scan cannot be
// told from one whose end marker alone is missing.
bool loses_picture_data(const jpeg_decompress_struct& info) {
  switch (info.err->msg_code) {
    case JWRN_JPEG_EOF:
      return info.total_iMCU_rows == 0;
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:  // a scan refines bits never sent, or sends them again
      return true;
    case JWRN_NOT_SEQUENTIAL:
      // A scan that starts past the DC coefficient or sends some of each
      // coefficient's bits holds other data than its decoder reads. Some
      // writers leave the spectral end at zero: that scan decodes whole.
      return info.Ss != 0 || info.Ah != 0 || info.Al != 0;
    default:  // stray bytes between segments, odd markers: nothing lost
      return false;
  }
}

[[noreturn]] void fail(j_common_ptr common) {
  auto* reader = static_cast<jpeg_reader*>(common->client_data);
  char words[JMSG_LENGTH_MAX];
  common->err->format_message(common, words);
  reader->words = words;
  std::longjmp(reader->failed_at, 1);
}

void on_message(j_common_ptr common, int level) {
  if (level >= 0) {
    return;
  }
  auto* reader = static_cast<jpeg_reader*>(common->client_data);
  if (common->err->msg_code == JWRN_JPEG_EOF) {
    char words[JMSG_LENGTH_MAX];
    common->err->format_message(common, words);
    reader->ended = words;
  }
  if (loses_picture_data(reader->info)) {
    if (reader->ended.empty()) {
      fail(common);
    }
    reader->words = reader->ended;  // what a file lacks past its end, it lost to the end
    std::longjmp(reader->failed_at, 1);
  }
}

// libjpeg reports progress before each step of reading a file of several
// scans, so every scan's header is seen here before its data.
void count_scan(j_common_ptr common) {
  auto* reader = static_cast<jpeg_reader*>(common->client_data);
  const jpeg_decompress_struct& info = reader->info;
  if (info.input_scan_number != reader->counted_scan) {
    reader->counted_scan = info.input_scan_number;
    for (int i = 0; i < info.comps_in_scan; ++i) {
      ++reader->scans_of[static_cast<std::size_t>(info.cur_comp_info[i]->component_index)];
    }
  }
}

// Whether a file read whole got every coefficient of every component as its
// scans declare: in a progressive file, libjpeg's record of the bit each
// coefficient was last refined to has reached bit 0; a sequential file of
// several scans carries each component once.
bool has_every_coefficient(jpeg_reader& reader) {
  jpeg_decompress_struct& info = reader.info;
  if (!jpeg_has_multiple_scans(&info)) {
    return true;
  }
  for (int c = 0; c < info.num_components; ++c) {
    const bool whole = info.progressive_mode
                           ? std::all_of(info.coef_bits[c], info.coef_bits[c] + DCTSIZE2,
                                         [](int bit) { return bit == 0; })
                           : reader.scans_of[static_cast<std::size_t>(c)] == 1;
    if (!whole) {
      return false;
    }
  }
  return true;
}

void on_error(j_common_ptr common) {
  fail(common);
}

void close_reader(VipsImage*, jpeg_reader* reader) {
  jpeg_destroy_decompress(&reader->info);
  if (reader->file != nullptr) {
    std::fclose(reader->file);
  }
  delete reader;
}

// The steps that call libjpeg hold only plain values across its jumps.
bool start(jpeg_reader* reader, int shrink) {
  if (setjmp(reader->failed_at) != 0) {
    return false;
  }
  jpeg_decompress_struct& info = reader->info;
  jpeg_read_header(&info, TRUE);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(shrink);
  // A multi-scan file is read whole here.
  jpeg_start_decompress(&info);
  reader->invert = info.saw_Adobe_marker && info.out_color_space == JCS_CMYK;
  return true;
}

bool read_rows(jpeg_reader* reader, JSAMPROW* rows, int count) {
  if (setjmp(reader->failed_at) != 0) {
    return false;
  }
  for (int done = 0; done < count;) {
    done += static_cast<int>(
        jpeg_read_scanlines(&reader->info, rows + done, static_cast<JDIMENSION>(count - done)));
  }
  return true;
}

// Decodes the rows libjpeg gives past the image's last (a shrunk size is
// rounded up there), so that the last row of blocks is judged at every size.
void read_past_the_image(jpeg_reader* reader) {
  const std::size_t left = reader->info.output_height - reader->info.output_scanline;
  const std::size_t row_bytes = std::size_t{reader->info.output_width} *
                                static_cast<std::size_t>(reader->info.output_components);
  reader->wide_rows.resize(row_bytes * left);
  std::vector<JSAMPROW> rows(left);
  for (std::size_t y = 0; y < left; ++y) {
    rows[y] = reader->wide_rows.data() + y * row_bytes;
  }
  read_rows(reader, rows.data(), static_cast<int>(left));
}

int generate(VipsRegion* out, void*, void* client, void*, gboolean*) {
  auto* reader = static_cast<jpeg_reader*>(client);
  const VipsRect& rows = out->valid;
  const std::lock_guard lock(reader->lock);
  if (reader->words.empty() && rows.top != reader->next_row) {
    reader->words = "rows asked out of order";
  }
  if (reader->words.empty()) {
    const std::size_t row_bytes = VIPS_REGION_SIZEOF_LINE(out);
    const std::size_t wide_row_bytes =
        std::size_t{reader->info.output_width} * static_cast<std::size_t>(reader->info.output_components);
    std::vector<JSAMPROW> starts(static_cast<std::size_t>(rows.height));
    for (int y = 0; y < rows.height; ++y) {
      starts[static_cast<std::size_t>(y)] = VIPS_REGION_ADDR(out, 0, rows.top + y);
    }
    std::vector<JSAMPROW> targets = starts;
    if (wide_row_bytes != row_bytes) {
      reader->wide_rows.resize(wide_row_bytes * starts.size());
      for (std::size_t y = 0; y < starts.size(); ++y) {
        starts[y] = reader->wide_rows.data() + y * wide_row_bytes;
      }
    }
    if (read_rows(reader, starts.data(), rows.height)) {
      reader->next_row += rows.height;
      for (std::size_t y = 0; y < starts.size(); ++y) {
        if (starts[y] != targets[y]) {
          std::copy_n(starts[y], row_bytes, targets[y]);
        }
        if (reader->invert) {
          std::transform(targets[y], targets[y] + row_bytes, targets[y],
                         [](JSAMPLE v) { return 255 - v; });
        }
      }
      if (reader->next_row == out->im->Ysize) {
        read_past_the_image(reader);
      }
    }
  }
  if (!reader->words.empty()) {
    reader->damage->found(reader->words);
    vips_error("libjpeg", "%s", reader->words.c_str());
    return -1;
  }
  return 0;
}

struct image_unref {
  void operator()(VipsImage* image) const noexcept { g_object_unref(image); }
};

// Starts libjpeg on the reader's source, and the pixels it gives under header.
vips::VImage decode(const vips::VImage& header, jpeg_reader* owned, int shrink) {
  std::unique_ptr<VipsImage, image_unref> image(vips_image_new());
  g_signal_connect(image.get(), "close", G_CALLBACK(close_reader), owned);
  const jpeg_reader& reader = *owned;
  // Kept out of start: a string assigned across libjpeg's jumps may be clobbered.
  if (start(owned, shrink) && !has_every_coefficient(*owned)) {
    owned->words =
        reader.ended.empty() ? "Scans leave out or repeat part of the picture" : reader.ended;
  }
  if (!reader.words.empty()) {
    reader.damage->found(reader.words);
    throw vips::VError(reader.words);
  }
  const jpeg_decompress_struct& info = reader.info;
  // libjpeg rounds a shrunk size up, the header down: the extra column and
  // row are left out.
  const auto rounded_up = [shrink](JDIMENSION decoded, int wanted) {
    const auto extra = static_cast<long>(decoded) - wanted;
    return extra == 0 || (shrink > 1 && extra == 1);
  };
  if (!rounded_up(info.output_width, header.width()) ||
      !rounded_up(info.output_height, header.height()) ||
      info.output_components != header.bands()) {
    throw vips::VError("the file changed while it was read");
  }
  VipsImage* pixels = nullptr;
  if (vips_image_pipelinev(image.get(), VIPS_DEMAND_STYLE_THINSTRIP, header.get_image(),
                           nullptr) != 0 ||
      vips_image_generate(image.get(), nullptr, generate, nullptr, owned, nullptr) != 0 ||
      vips_sequential(image.get(), &pixels, "tile_height", 8, nullptr) != 0) {
    throw vips::VError();
  }
  return vips::VImage(pixels);  // steals the reference
}

bool create(jpeg_reader* reader) {
  if (setjmp(reader->failed_at) != 0) {
    return false;
  }
  jpeg_create_decompress(&reader->info);
  return true;
}

// A reader whose libjpeg is created, for decode to own.
jpeg_reader* new_reader(std::shared_ptr<decoder_damage> damage) {
  auto reader = std::make_unique<jpeg_reader>();
  reader->damage = std::move(damage);
  reader->info.err = jpeg_std_error(&reader->errors);
  reader->errors.error_exit = on_error;
  reader->errors.emit_message = on_message;
  reader->info.client_data = reader.get();
  if (!create(reader.get())) {
    throw vips::VError(reader->words);
  }
  reader->progress.progress_monitor = count_scan;
  reader->info.progress = &reader->progress;
  return reader.release();
}

}  // namespace

vips::VImage decode_jpeg_file(const vips::VImage& header, scoped_handle file, int shrink,
                              std::shared_ptr<decoder_damage> damage) {
  jpeg_reader* reader = new_reader(std::move(damage));
  reader->file = ::fdopen(file.get(), "rb");
  if (reader->file == nullptr) {
    const int error = errno;
    close_reader(nullptr, reader);
    throw status_failure(status::win32_error, error);
  }
  file.release();
  jpeg_stdio_src(&reader->info, reader->file);
  return decode(header, reader, shrink);
}

vips::VImage decode_jpeg_bytes(const vips::VImage& header, std::string_view bytes,
                               std::shared_ptr<decoder_damage> damage) {
  jpeg_reader* reader = new_reader(std::move(damage));
  jpeg_mem_src(&reader->info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  return decode(header, reader, 1);
}

}  // namespace core::graphics::gdip::detail
