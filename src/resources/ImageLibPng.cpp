// PNG through libpng: any colour type, bit depth or interlacing is read as 8-bit B,G,R,A.
#include "resources/ImageLib.h"
#include "resources/ImageLibFile.h"

#include <png.h>

#include <bit>
#include <climits>
#include <cstdio>

namespace ImageLib {

// libpng's BGR order with the alpha after the colour is the memory layout of 0xAARRGGBB here.
static_assert(std::endian::native == std::endian::little);

namespace {

void ReadFromSource(png_structp png, png_bytep data, size_t length) {
  auto* source = static_cast<ImageSource*>(png_get_io_ptr(png));
  if (source->Read(data, length) != length) png_error(png, "Read Error");
}

void JumpBack(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void IgnoreWarning(png_structp, png_const_charp) {}

// libpng leaves this frame by longjmp on an error, so it holds no object with a destructor.
bool ReadPng(png_structp png, png_infop info, std::unique_ptr<Image>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (width > INT_MAX || height > INT_MAX) return false;
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) return false;
  *out = Image::Create(int(width), int(height));
  if (!*out) return false;
  // Each interlace pass fills in more pixels of the same rows.
  for (int pass = 0; pass < passes; ++pass)
    for (png_uint_32 y = 0; y < height; ++y)
      png_read_row(png, reinterpret_cast<png_bytep>((*out)->Row(int(y))), nullptr);
  png_read_end(png, nullptr);
  return true;
}

bool WritePng(png_structp png, png_infop info, FILE* file, const Image& image) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_color_8 significant = {};
  significant.red = significant.green = significant.blue = significant.alpha = 8;
  png_set_sBIT(png, info, &significant);
  png_set_bgr(png);
  png_set_IHDR(png, info, png_uint_32(image.GetWidth()), png_uint_32(image.GetHeight()), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.GetHeight(); ++y) png_write_row(png, reinterpret_cast<png_const_bytep>(image.Row(y)));
  png_write_end(png, info);
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodePNG(ImageSource& source) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  std::unique_ptr<Image> image;
  bool ok = false;
  if (info) {
    png_set_read_fn(png, &source, ReadFromSource);
    ok = ReadPng(png, info, &image);
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  return ok ? std::move(image) : nullptr;
}

Image* GetPNGImage(const std::string& fileName) { return DecodeFile(fileName, DecodePNG).release(); }

bool WritePNGImage(const std::string& fileName, const Image* image) {
  return EncodeFile(fileName, image, [](FILE* file, const Image& picture) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && WritePng(png, info, file, picture);
    png_destroy_write_struct(&png, &info);
    return ok;
  });
}

}  // namespace ImageLib
