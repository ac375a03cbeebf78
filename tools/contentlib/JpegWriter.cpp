#include "contentlib/JpegWriter.h"

#include <cstdio>
#include <cstdlib>
// jpeglib.h needs the definitions of stdio.h first.
#include <jpeglib.h>

#include <csetjmp>

namespace Content {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }

std::vector<uint8_t> Samples(const Picture& picture, bool grey) {
  std::vector<uint8_t> samples;
  for (uint32_t p : picture.pixels) {
    if (grey) {
      samples.push_back(static_cast<uint8_t>(p >> 24));
      continue;
    }
    for (int shift : {16, 8, 0}) samples.push_back(static_cast<uint8_t>(p >> shift));
  }
  return samples;
}

}  // namespace

bool JpegWriter::Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error) {
  return Encode(picture, false, out, error);
}

bool JpegWriter::WriteAlphaCompanion(const Picture& picture, std::vector<uint8_t>& out, std::string& error) {
  return Encode(picture, true, out, error);
}

bool JpegWriter::Encode(const Picture& picture, bool grey, std::vector<uint8_t>& out, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0) return error = "empty picture", false;
  const std::vector<uint8_t> samples = Samples(picture, grey);
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(errors.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return error = "JPEG encoding failed", false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = picture.width;
  info.image_height = picture.height;
  info.input_components = grey ? 1 : 3;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  info.write_JFIF_header = TRUE;
  jpeg_start_compress(&info, TRUE);
  const size_t stride = static_cast<size_t>(picture.width) * info.input_components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * stride);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  out.assign(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return true;
}

}  // namespace Content
