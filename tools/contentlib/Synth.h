#pragma once
// Sounds made from oscillator voices: sine, square, triangle, saw and band-passed noise, each with
// a linear or exponential frequency sweep and an envelope (5 ms attack then a linear decay to the
// voice's end, unless an ADSR is given). The mix is normalised so that its peak is -3 dBFS.

#include <cstdint>
#include <string>
#include <vector>

namespace Content {

enum class Wave { Sine, Square, Triangle, Saw, Noise };

struct Voice {
  Wave wave = Wave::Sine;
  double f0 = 440, f1 = 440;  // Hz; for noise, the centre of the band
  bool exponential = false;
  double t0 = 0, t1 = 0;  // seconds
  double gain = 1;
  double pan = 0;  // -1 left .. 1 right, for stereo sounds
};

struct Envelope {
  bool adsr = false;
  double attack = 0.005, decay = 0, sustain = 1, release = 0;
};

struct SoundRecipe {
  std::string name;
  std::string file;
  double duration = 0;
  int channels = 1;
  bool loop = false;   // starts and ends at rest, so it repeats without a click
  double tremolo = 0;  // Hz
  double vibrato = 0;  // Hz
  Envelope envelope;
  std::vector<Voice> voices;
};

class Synth {
 public:
  static constexpr uint32_t kRate = 44100;
  static constexpr int kPeak = 23197;  // -3 dBFS of 32767

  // Interleaved 16-bit samples; exactly round(duration * 44100) frames.
  static std::vector<int16_t> Render(const SoundRecipe& recipe);
  static size_t Frames(double duration);
};

}  // namespace Content
