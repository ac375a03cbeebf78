#include "contentogg/OggWriter.h"

#include <vorbis/vorbisenc.h>

namespace Content {
namespace {

constexpr int kChunkFrames = 4096;

class Encoder {
 public:
  Encoder() {
    vorbis_info_init(&mInfo);
    vorbis_comment_init(&mComment);
  }
  ~Encoder() {
    if (mStarted) {
      ogg_stream_clear(&mStream);
      vorbis_block_clear(&mBlock);
      vorbis_dsp_clear(&mDsp);
    }
    vorbis_comment_clear(&mComment);
    vorbis_info_clear(&mInfo);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  bool Start(int channels, long rate, uint32_t serial, std::vector<uint8_t>& out) {
    if (vorbis_encode_init_vbr(&mInfo, channels, rate, 0.2f) != 0) return false;
    vorbis_analysis_init(&mDsp, &mInfo);
    vorbis_block_init(&mDsp, &mBlock);
    ogg_stream_init(&mStream, static_cast<int>(serial));
    mStarted = true;
    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&mDsp, &mComment, &header, &comments, &codebooks);
    ogg_stream_packetin(&mStream, &header);
    ogg_stream_packetin(&mStream, &comments);
    ogg_stream_packetin(&mStream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&mStream, &page) != 0) Append(page, out);
    return true;
  }

  // Hands samples to the encoder (none at the end of the stream) and collects finished pages.
  void Feed(const int16_t* samples, int frames, int channels, std::vector<uint8_t>& out) {
    if (frames > 0) {
      float** buffer = vorbis_analysis_buffer(&mDsp, frames);
      for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) buffer[c][i] = samples[i * channels + c] / 32768.0f;
    }
    vorbis_analysis_wrote(&mDsp, frames);
    while (vorbis_analysis_blockout(&mDsp, &mBlock) == 1) {
      vorbis_analysis(&mBlock, nullptr);
      vorbis_bitrate_addblock(&mBlock);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&mDsp, &packet)) {
        ogg_stream_packetin(&mStream, &packet);
        ogg_page page;
        while (ogg_stream_pageout(&mStream, &page) != 0) Append(page, out);
      }
    }
  }

  void Finish(std::vector<uint8_t>& out) {
    ogg_page page;
    while (ogg_stream_flush(&mStream, &page) != 0) Append(page, out);
  }

 private:
  static void Append(const ogg_page& page, std::vector<uint8_t>& out) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
  }

  vorbis_info mInfo;
  vorbis_comment mComment;
  vorbis_dsp_state mDsp{};
  vorbis_block mBlock{};
  ogg_stream_state mStream{};
  bool mStarted = false;
};

}  // namespace

uint32_t OggWriter::Serial(const std::string& fileName) {
  uint32_t h = 2166136261u;
  for (unsigned char c : fileName) h = (h ^ c) * 16777619u;
  return h & 0x7FFFFFFF;
}

bool OggWriter::Write(const std::vector<int16_t>& samples, int channels, long rate, uint32_t serial,
                      std::vector<uint8_t>& out, std::string& error) {
  if (channels != 1 && channels != 2) return error = "Ogg sounds are mono or stereo", false;
  out.clear();
  Encoder encoder;
  if (!encoder.Start(channels, rate, serial, out)) return error = "the Vorbis encoder refused the format", false;
  const int total = static_cast<int>(samples.size() / channels);
  for (int at = 0; at < total; at += kChunkFrames)
    encoder.Feed(samples.data() + static_cast<size_t>(at) * channels, std::min(kChunkFrames, total - at), channels,
                 out);
  encoder.Feed(nullptr, 0, channels, out);
  encoder.Finish(out);
  return true;
}

}  // namespace Content
