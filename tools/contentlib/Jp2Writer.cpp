#include "contentlib/Jp2Writer.h"

#include <openjpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace Content {
namespace {

struct Sink {
  std::vector<uint8_t>* out;
  size_t position = 0;
};

OPJ_SIZE_T WriteBytes(void* buffer, OPJ_SIZE_T count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  if (sink->out->size() < sink->position + count) sink->out->resize(sink->position + count);
  std::memcpy(sink->out->data() + sink->position, buffer, count);
  sink->position += count;
  return count;
}

OPJ_OFF_T SkipBytes(OPJ_OFF_T count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  sink->position += count;
  if (sink->out->size() < sink->position) sink->out->resize(sink->position);
  return count;
}

OPJ_BOOL SeekTo(OPJ_OFF_T position, void* user) {
  auto* sink = static_cast<Sink*>(user);
  sink->position = static_cast<size_t>(position);
  if (sink->out->size() < sink->position) sink->out->resize(sink->position);
  return OPJ_TRUE;
}

struct CodecDeleter {
  void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct ImageDeleter {
  void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};
struct StreamDeleter {
  void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};

std::unique_ptr<opj_image_t, ImageDeleter> Components(const Picture& picture) {
  opj_image_cmptparm_t params[3];
  std::memset(params, 0, sizeof params);
  for (auto& p : params) {
    p.dx = p.dy = 1;
    p.w = picture.width;
    p.h = picture.height;
    p.prec = 8;
    p.sgnd = 0;
  }
  std::unique_ptr<opj_image_t, ImageDeleter> image(opj_image_create(3, params, OPJ_CLRSPC_SRGB));
  if (!image) return image;
  image->x1 = picture.width;
  image->y1 = picture.height;
  for (size_t i = 0; i < picture.pixels.size(); ++i)
    for (int c = 0; c < 3; ++c) image->comps[c].data[i] = (picture.pixels[i] >> (16 - 8 * c)) & 0xFF;
  return image;
}

}  // namespace

bool Jp2Writer::Write(const Picture& picture, std::vector<uint8_t>& out, std::string& error) {
  if (picture.width <= 0 || picture.height <= 0) return error = "empty picture", false;
  opj_cparameters_t params;
  opj_set_default_encoder_parameters(&params);
  params.irreversible = 0;
  params.tcp_numlayers = 1;
  params.tcp_rates[0] = 0;
  params.cp_disto_alloc = 1;
  // Each resolution level halves the picture; small pictures take fewer levels.
  params.numresolution = 1;
  while (params.numresolution < 6 && (std::min(picture.width, picture.height) >> params.numresolution) > 0)
    ++params.numresolution;
  std::unique_ptr<opj_image_t, ImageDeleter> image = Components(picture);
  std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_compress(OPJ_CODEC_JP2));
  std::unique_ptr<opj_stream_t, StreamDeleter> stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE));
  if (!image || !codec || !stream) return error = "out of memory", false;
  out.clear();
  Sink sink{&out};
  opj_stream_set_user_data(stream.get(), &sink, nullptr);
  opj_stream_set_write_function(stream.get(), WriteBytes);
  opj_stream_set_skip_function(stream.get(), SkipBytes);
  opj_stream_set_seek_function(stream.get(), SeekTo);
  const bool ok = opj_setup_encoder(codec.get(), &params, image.get()) &&
                  opj_start_compress(codec.get(), image.get(), stream.get()) && opj_encode(codec.get(), stream.get()) &&
                  opj_end_compress(codec.get(), stream.get());
  if (!ok) return error = "JPEG 2000 encoding failed", false;
  return true;
}

}  // namespace Content
