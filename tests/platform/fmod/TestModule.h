#pragma once
// A ProTracker module written byte by byte: one pattern of four channels, played by two orders, and
// one sample of a square wave that loops. Channel 1 starts the note on row 0; channel 2 breaks to the
// next order on row 3, so each order plays four rows (0.48 s at speed 6 and 125 BPM).

#include <cstdint>
#include <string>
#include <vector>

namespace Velk {

constexpr int kTestModuleOrders = 2;
constexpr double kTestModuleOrderSeconds = 0.48;
// How long the reader lets the last note ring after the last order, at the most.
constexpr double kTestModuleTailSeconds = 0.12;

inline void PutBE16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v & 0xFF));
}

inline void PutCell(std::vector<uint8_t>& b, int sample, int period, int effect, int param) {
  b.push_back(static_cast<uint8_t>((sample & 0xF0) | ((period >> 8) & 0x0F)));
  b.push_back(static_cast<uint8_t>(period & 0xFF));
  b.push_back(static_cast<uint8_t>(((sample & 0x0F) << 4) | effect));
  b.push_back(static_cast<uint8_t>(param));
}

inline std::vector<uint8_t> TestModuleBytes() {
  constexpr int kSampleWords = 32;
  std::vector<uint8_t> b(20, 0);  // title
  for (int sample = 0; sample < 31; ++sample) {
    std::vector<uint8_t> name(22, 0);
    b.insert(b.end(), name.begin(), name.end());
    const bool used = sample == 0;
    PutBE16(b, used ? kSampleWords : 0);  // length in words
    b.push_back(0);                       // finetune
    b.push_back(used ? 64 : 0);           // volume
    PutBE16(b, 0);                        // loop start in words
    PutBE16(b, used ? kSampleWords : 1);  // loop length in words; 1 means none
  }
  b.push_back(kTestModuleOrders);
  b.push_back(127);
  std::vector<uint8_t> orders(128, 0);
  b.insert(b.end(), orders.begin(), orders.end());
  for (char c : std::string("M.K.")) b.push_back(static_cast<uint8_t>(c));
  for (int row = 0; row < 64; ++row) {
    for (int channel = 0; channel < 4; ++channel) {
      if (row == 0 && channel == 0) {
        PutCell(b, 1, 428, 0, 0);
      } else if (row == 3 && channel == 1) {
        PutCell(b, 0, 0, 0xD, 0);
      } else {
        PutCell(b, 0, 0, 0, 0);
      }
    }
  }
  for (int i = 0; i < kSampleWords * 2; ++i) b.push_back(i < kSampleWords ? 0x40 : 0xC0);
  return b;
}

}  // namespace Velk
