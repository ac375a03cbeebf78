#include "contentlib/AuWriter.h"

#include "contentlib/ByteBuffer.h"

namespace Content {

uint8_t AuWriter::MuLaw(int16_t sample) {
  constexpr int kBias = 0x84;
  constexpr int kClip = 32635;
  int magnitude = sample;
  const int sign = magnitude < 0 ? 0x80 : 0;
  if (magnitude < 0) magnitude = -magnitude;
  if (magnitude > kClip) magnitude = kClip;
  magnitude += kBias;
  int exponent = 7;
  for (int mask = 0x4000; (magnitude & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
  const int mantissa = (magnitude >> (exponent + 3)) & 0x0F;
  return static_cast<uint8_t>(~(sign | exponent << 4 | mantissa));
}

bool AuWriter::Write(const std::vector<int16_t>& samples, int channels, uint32_t rate, uint32_t encoding,
                     std::vector<uint8_t>& out, std::string& error) {
  if (encoding != kMuLaw && encoding != kLinear8) return error = "AU encoding must be 1 or 2", false;
  ByteBuffer b;
  b.Text(".snd"), b.U32BE(24), b.U32BE(static_cast<uint32_t>(samples.size()));
  b.U32BE(encoding), b.U32BE(rate), b.U32BE(channels);
  for (int16_t s : samples) b.U8(encoding == kMuLaw ? MuLaw(s) : static_cast<uint8_t>(s >> 8));
  out = std::move(b.bytes);
  return true;
}

}  // namespace Content
