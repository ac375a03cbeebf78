#include "contentlib/WavWriter.h"

#include "contentlib/ByteBuffer.h"

namespace Content {

std::vector<uint8_t> WavWriter::Write(const std::vector<int16_t>& samples, int channels, uint32_t rate) {
  const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);  // even: no RIFF pad byte
  ByteBuffer b;
  b.Text("RIFF"), b.U32LE(4 + 8 + 16 + 8 + dataSize), b.Text("WAVE");
  b.Text("fmt "), b.U32LE(16), b.U16LE(1), b.U16LE(channels), b.U32LE(rate);
  b.U32LE(rate * channels * 2), b.U16LE(channels * 2), b.U16LE(16);
  b.Text("data"), b.U32LE(dataSize);
  for (int16_t s : samples) b.U16LE(static_cast<uint16_t>(s));
  return std::move(b.bytes);
}

}  // namespace Content
