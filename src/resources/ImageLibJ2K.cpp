// JPEG 2000 (both the .jp2 file format and a bare .j2k codestream) through OpenJPEG.
#include "resources/ImageLib.h"
#include "resources/ImageLibFile.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>

namespace ImageLib {

namespace {

// The codec is linked in; the application's start-up and shutdown still switch the decoder on and
// off, and it refuses to work outside that window as it always has.
std::atomic<bool> gCodecLoaded{false};

OPJ_SIZE_T StreamRead(void* buffer, OPJ_SIZE_T count, void* user) {
  size_t got = static_cast<ImageSource*>(user)->Read(buffer, count);
  return got > 0 ? got : OPJ_SIZE_T(-1);
}

OPJ_OFF_T StreamSkip(OPJ_OFF_T count, void* user) {
  auto* source = static_cast<ImageSource*>(user);
  return source->Skip(count) ? count : -1;
}

OPJ_BOOL StreamSeek(OPJ_OFF_T position, void* user) {
  return static_cast<ImageSource*>(user)->Seek(position) ? OPJ_TRUE : OPJ_FALSE;
}

void IgnoreMessage(const char*, void*) {}

// One decoder reads both forms, so the form is told by the first bytes, not by the extension.
OPJ_CODEC_FORMAT SniffFormat(ImageSource& source) {
  static const uint8_t kJp2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
  static const uint8_t kCodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};
  uint8_t head[12] = {};
  size_t count = source.Read(head, sizeof head);
  if (!source.Seek(0)) return OPJ_CODEC_UNKNOWN;
  if (count == sizeof head && std::memcmp(head, kJp2Signature, sizeof head) == 0) return OPJ_CODEC_JP2;
  if (count >= 4 && std::memcmp(head, kCodestreamStart, 4) == 0) return OPJ_CODEC_J2K;
  return OPJ_CODEC_UNKNOWN;
}

struct OpenJpegHandles {
  opj_stream_t* stream = nullptr;
  opj_codec_t* codec = nullptr;
  opj_image_t* image = nullptr;

  ~OpenJpegHandles() {
    if (image) opj_image_destroy(image);
    if (codec) opj_destroy_codec(codec);
    if (stream) opj_stream_destroy(stream);
  }
};

bool OpenStream(OpenJpegHandles& h, ImageSource& source, OPJ_CODEC_FORMAT format) {
  h.stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
  h.codec = opj_create_decompress(format);
  if (!h.stream || !h.codec) return false;
  opj_stream_set_user_data(h.stream, &source, nullptr);
  opj_stream_set_user_data_length(h.stream, OPJ_UINT64(source.Size()));
  opj_stream_set_read_function(h.stream, StreamRead);
  opj_stream_set_skip_function(h.stream, StreamSkip);
  opj_stream_set_seek_function(h.stream, StreamSeek);
  opj_set_info_handler(h.codec, IgnoreMessage, nullptr);
  opj_set_warning_handler(h.codec, IgnoreMessage, nullptr);
  opj_set_error_handler(h.codec, IgnoreMessage, nullptr);
  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  return opj_setup_decoder(h.codec, &parameters) && opj_read_header(h.stream, h.codec, &h.image);
}

// Every component must cover the whole picture at full resolution with a usable precision.
bool ComponentsUsable(const opj_image_t& image, OPJ_UINT32 width, OPJ_UINT32 height) {
  if (image.numcomps == 0 || image.numcomps > 4) return false;
  for (OPJ_UINT32 i = 0; i < image.numcomps; ++i) {
    const opj_image_comp_t& c = image.comps[i];
    if (c.dx != 1 || c.dy != 1 || c.prec < 1 || c.prec > 31) return false;
    if (c.data && (c.w != width || c.h != height)) return false;
  }
  return true;
}

// One sample brought to 8 bits.
uint32_t Channel(const opj_image_comp_t& c, size_t index) {
  int64_t value = c.data[index];
  if (c.sgnd) value += int64_t(1) << (c.prec - 1);
  int64_t maximum = (int64_t(1) << c.prec) - 1;
  value = std::clamp<int64_t>(value, 0, maximum);
  return c.prec >= 8 ? uint32_t(value >> (c.prec - 8)) : uint32_t(value * 255 / maximum);
}

std::unique_ptr<Image> ToImage(const opj_image_t& decoded, OPJ_UINT32 width, OPJ_UINT32 height) {
  auto image = Image::Create(int(width), int(height));
  if (!image) return nullptr;
  bool colour = decoded.numcomps >= 3;
  const opj_image_comp_t* c = decoded.comps;
  uint32_t* bits = image->GetBits();
  for (size_t i = 0, n = size_t(image->PixelCount()); i < n; ++i) {
    uint32_t r = Channel(c[0], i);
    uint32_t g = colour ? Channel(c[1], i) : r;
    uint32_t b = colour ? Channel(c[2], i) : r;
    bits[i] = 0xFF000000u | r << 16 | g << 8 | b;
  }
  return image;
}

}  // namespace

void LoadJ2KCodec() { gCodecLoaded = true; }

void FreeJ2KCodec() { gCodecLoaded = false; }

std::unique_ptr<Image> DecodeJ2K(ImageSource& source) {
  if (!gCodecLoaded) return nullptr;
  OPJ_CODEC_FORMAT format = SniffFormat(source);
  if (format == OPJ_CODEC_UNKNOWN) return nullptr;
  OpenJpegHandles h;
  if (!OpenStream(h, source, format) || h.image->x1 <= h.image->x0 || h.image->y1 <= h.image->y0) return nullptr;
  OPJ_UINT32 width = h.image->x1 - h.image->x0;
  OPJ_UINT32 height = h.image->y1 - h.image->y0;
  // Checked before decoding so that a forged header cannot make the codec allocate for it.
  if (!Image::SizeAllowed(width, height) || !ComponentsUsable(*h.image, width, height)) return nullptr;
  if (!opj_decode(h.codec, h.stream, h.image) || !opj_end_decompress(h.codec, h.stream)) return nullptr;
  if (!ComponentsUsable(*h.image, width, height)) return nullptr;
  for (OPJ_UINT32 i = 0; i < h.image->numcomps; ++i)
    if (!h.image->comps[i].data) return nullptr;
  return ToImage(*h.image, width, height);
}

Image* GetJ2KImage(const std::string& fileName) { return DecodeFile(fileName, DecodeJ2K).release(); }

}  // namespace ImageLib
