#include "printing/image.h"

#include <cairo.h>
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <fstream>
#include <iterator>

#include "base/error.h"
#include "printing/internal/bmp_reader.h"

namespace tillbook::printing {

namespace {

using internal::DecodedPicture;

std::atomic<uint64_t> nextId{1};

// Feeds cairo's PNG reader from memory.
struct PngSource {
  std::string_view bytes;
  size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* src = static_cast<PngSource*>(closure);
  if (src->bytes.size() - src->at < length) return CAIRO_STATUS_READ_ERROR;
  std::copy_n(src->bytes.data() + src->at, length, data);
  src->at += length;
  return CAIRO_STATUS_SUCCESS;
}

bool DecodePng(std::string_view bytes, DecodedPicture& out) {
  PngSource src{bytes};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPng, &src);
  const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    cairo_surface_flush(s);
    out.width = cairo_image_surface_get_width(s);
    out.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const bool opaque = cairo_image_surface_get_format(s) == CAIRO_FORMAT_RGB24;
    out.argb.resize(size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
      for (int x = 0; x < out.width; ++x)
        out.argb[size_t(y) * out.width + x] = opaque ? row[x] | 0xFF000000u : row[x];
    }
  }
  cairo_surface_destroy(s);
  return ok;
}

struct JpegFailure {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void JpegFailed(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->jump, 1);
}

// Decoding between the decoder's set-up and its release: a failure jumps back out of here, so
// nothing in this function owns memory of its own (the picture's vector belongs to the caller).
bool DecodeJpegInto(std::string_view bytes, jpeg_decompress_struct& info, DecodedPicture& out) {
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.width = int(info.output_width);
  out.height = int(info.output_height);
  if (info.density_unit == 1 && info.X_density > 0) out.dpi = info.X_density;
  if (info.density_unit == 2 && info.X_density > 0) out.dpi = info.X_density * 2.54;
  out.argb.resize(size_t(out.width) * out.height);
  // The line buffer comes from the decoder's own pool, released with it even after a jump.
  JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                              info.output_width * 3, 1);
  while (info.output_scanline < info.output_height) {
    const size_t y = info.output_scanline;
    jpeg_read_scanlines(&info, line, 1);
    for (int x = 0; x < out.width; ++x) {
      const unsigned char* p = &line[0][size_t(x) * 3];
      out.argb[y * out.width + x] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
  }
  jpeg_finish_decompress(&info);
  return true;
}

bool DecodeJpeg(std::string_view bytes, DecodedPicture& out) {
  jpeg_decompress_struct info{};
  JpegFailure failure{};
  info.err = jpeg_std_error(&failure.base);
  failure.base.error_exit = JpegFailed;
  failure.base.output_message = [](j_common_ptr) {};
  jpeg_create_decompress(&info);
  bool ok = false;
  if (setjmp(failure.jump) == 0) ok = DecodeJpegInto(bytes, info, out);
  jpeg_destroy_decompress(&info);
  return ok;
}

bool Decode(std::string_view bytes, DecodedPicture& out) {
  if (bytes.starts_with("\x89PNG")) return DecodePng(bytes, out);
  if (bytes.starts_with("\xFF\xD8")) return DecodeJpeg(bytes, out);
  if (bytes.starts_with("BM")) return internal::DecodeBmp(bytes, out);
  return false;
}

}  // namespace

Image::Image(int width, int height, std::vector<uint32_t> argb, double dpi, std::string source)
    : width_(width),
      height_(height),
      argb_(std::move(argb)),
      dpi_(dpi > 0 ? dpi : 96),
      source_(std::move(source)),
      id_(nextId++) {}

std::shared_ptr<const Image> Image::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("Impossibile accedere al file dell'immagine:\r" + path.string());
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  DecodedPicture picture;
  if (!Decode(bytes, picture) || picture.width <= 0 || picture.height <= 0)
    throw Error("Immagine non valida: " + path.string(), "formato non riconosciuto", 481);
  return std::make_shared<Image>(picture.width, picture.height, std::move(picture.argb),
                                 picture.dpi, path.string());
}

}  // namespace tillbook::printing
