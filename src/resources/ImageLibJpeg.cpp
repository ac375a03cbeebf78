// JPEG through libjpeg, read from an ImageSource; written as baseline RGB of quality 80.
#include "resources/ImageLib.h"
#include "resources/ImageLibFile.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace ImageLib {

namespace {

constexpr size_t kSourceBufferSize = 4096;
constexpr int kWriteQuality = 80;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void PrintAndJumpBack(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

struct SourceManager {
  jpeg_source_mgr base;
  ImageSource* source;
  bool startOfFile;
  JOCTET buffer[kSourceBufferSize];
};

SourceManager* Source(j_decompress_ptr info) { return reinterpret_cast<SourceManager*>(info->src); }

void InitSource(j_decompress_ptr info) { Source(info)->startOfFile = true; }

boolean FillInputBuffer(j_decompress_ptr info) {
  SourceManager* src = Source(info);
  size_t count = src->source->Read(src->buffer, kSourceBufferSize);
  if (count == 0) {
    if (src->startOfFile) ERREXIT(info, JERR_INPUT_EMPTY);
    // A truncated file still ends cleanly: what was decoded so far is kept.
    WARNMS(info, JWRN_JPEG_EOF);
    src->buffer[0] = 0xFF;
    src->buffer[1] = JPEG_EOI;
    count = 2;
  }
  src->base.next_input_byte = src->buffer;
  src->base.bytes_in_buffer = count;
  src->startOfFile = false;
  return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
  jpeg_source_mgr* src = info->src;
  if (count <= 0) return;
  while (count > long(src->bytes_in_buffer)) {
    count -= long(src->bytes_in_buffer);
    FillInputBuffer(info);
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= size_t(count);
}

void TermSource(j_decompress_ptr) {}

struct Decompressor {
  jpeg_decompress_struct info;
  ErrorManager error;
  SourceManager source;
};

// One ink against the key: both as amounts of light left (255 = no ink), multiplied.
uint32_t InkLight(uint32_t ink, uint32_t key) { return (ink * key + 127) / 255; }

// Files with the Adobe marker store CMYK inverted, as the programs that write them do; others plain.
uint32_t CmykPixel(const JSAMPLE* sample, bool inverted) {
  uint32_t light[4];
  for (int i = 0; i < 4; ++i) light[i] = inverted ? sample[i] : 255u - sample[i];
  return 0xFF000000u | InkLight(light[0], light[3]) << 16 | InkLight(light[1], light[3]) << 8 |
         InkLight(light[2], light[3]);
}

uint32_t Pixel(const JSAMPLE* sample, int components, bool cmyk, bool invertedCmyk) {
  if (components == 1) return 0xFF000000u | uint32_t(sample[0]) * 0x010101u;
  if (cmyk) return CmykPixel(sample, invertedCmyk);
  return 0xFF000000u | uint32_t(sample[0]) << 16 | uint32_t(sample[1]) << 8 | sample[2];
}

bool IsCmyk(J_COLOR_SPACE space) { return space == JCS_CMYK || space == JCS_YCCK; }

bool ReadRowsInPlace(Decompressor& d, Image& image) {
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(image.Row(int(d.info.output_scanline)));
    if (jpeg_read_scanlines(&d.info, &row, 1) != 1) return false;
  }
  return true;
}

bool ReadRowsConverted(Decompressor& d, Image& image, bool cmyk) {
  const int components = d.info.output_components;
  const bool inverted = d.info.saw_Adobe_marker;
  JSAMPARRAY row = (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE,
                                               d.info.output_width * JDIMENSION(components), 1);
  while (d.info.output_scanline < d.info.output_height) {
    uint32_t* pixels = image.Row(int(d.info.output_scanline));
    if (jpeg_read_scanlines(&d.info, row, 1) != 1) return false;
    for (JDIMENSION x = 0; x < d.info.output_width; ++x)
      pixels[x] = Pixel(row[0] + x * JDIMENSION(components), components, cmyk, inverted);
  }
  return true;
}

// libjpeg leaves this frame (and the row readers) by longjmp on an error, so they hold no object with
// a destructor.
bool Decompress(Decompressor& d, ImageSource& source, std::unique_ptr<Image>* out) {
  if (setjmp(d.error.jump)) return false;
  jpeg_create_decompress(&d.info);
  d.source.base.init_source = InitSource;
  d.source.base.fill_input_buffer = FillInputBuffer;
  d.source.base.skip_input_data = SkipInputData;
  d.source.base.resync_to_restart = jpeg_resync_to_restart;
  d.source.base.term_source = TermSource;
  d.source.source = &source;
  d.info.src = &d.source.base;
  jpeg_read_header(&d.info, TRUE);
  // Refuse oversized pictures before libjpeg allocates for them.
  if (!Image::SizeAllowed(d.info.image_width, d.info.image_height)) return false;
  // libjpeg turns YCCK into CMYK; the ink to light conversion is ours.
  const bool cmyk = IsCmyk(d.info.jpeg_color_space);
  if (cmyk) d.info.out_color_space = JCS_CMYK;
  // Colour pictures come out of libjpeg in our pixel layout (B, G, R, A bytes), with the same colour
  // conversion as its plain RGB.
  const bool direct = d.info.out_color_space == JCS_RGB;
  if (direct) d.info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&d.info);
  int components = d.info.output_components;
  if (components != 1 && components < 3) return false;
  *out = Image::Create(int(d.info.output_width), int(d.info.output_height));
  if (!*out) return false;
  if (direct ? !ReadRowsInPlace(d, **out) : !ReadRowsConverted(d, **out, cmyk)) return false;
  jpeg_finish_decompress(&d.info);
  return true;
}

struct Compressor {
  jpeg_compress_struct info;
  ErrorManager error;
};

bool Compress(Compressor& c, FILE* file, const Image& image) {
  if (setjmp(c.error.jump)) return false;
  jpeg_create_compress(&c.info);
  jpeg_stdio_dest(&c.info, file);
  c.info.image_width = JDIMENSION(image.GetWidth());
  c.info.image_height = JDIMENSION(image.GetHeight());
  c.info.input_components = 3;
  c.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c.info);
  jpeg_set_quality(&c.info, kWriteQuality, TRUE);
  jpeg_start_compress(&c.info, TRUE);
  JSAMPARRAY row =
      (*c.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c.info), JPOOL_IMAGE, c.info.image_width * 3, 1);
  for (int y = 0; y < image.GetHeight(); ++y) {
    const uint32_t* pixels = image.Row(y);
    for (int x = 0; x < image.GetWidth(); ++x) {
      row[0][x * 3] = JSAMPLE(pixels[x] >> 16);
      row[0][x * 3 + 1] = JSAMPLE(pixels[x] >> 8);
      row[0][x * 3 + 2] = JSAMPLE(pixels[x]);
    }
    jpeg_write_scanlines(&c.info, row, 1);
  }
  jpeg_finish_compress(&c.info);
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodeJPEG(ImageSource& source) {
  Decompressor d = {};
  d.info.err = jpeg_std_error(&d.error.base);
  d.error.base.error_exit = PrintAndJumpBack;
  std::unique_ptr<Image> image;
  bool ok = Decompress(d, source, &image);
  jpeg_destroy_decompress(&d.info);
  return ok ? std::move(image) : nullptr;
}

Image* GetJPEGImage(const std::string& fileName) { return DecodeFile(fileName, DecodeJPEG).release(); }

bool WriteJPEGImage(const std::string& fileName, const Image* image) {
  return EncodeFile(fileName, image, [](FILE* file, const Image& picture) {
    Compressor c = {};
    c.info.err = jpeg_std_error(&c.error.base);
    c.error.base.error_exit = PrintAndJumpBack;
    bool ok = Compress(c, file, picture);
    jpeg_destroy_compress(&c.info);
    return ok;
  });
}

}  // namespace ImageLib
