#include "contentlib/Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Content {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kLoopFade = 0.002;  // seconds at each end of a loop

// A fixed 32-bit generator, so the same recipe gives the same noise everywhere.
class Noise {
 public:
  explicit Noise(uint32_t seed) : mState(seed ? seed : 1) {}
  double Next() {
    mState = mState * 1664525u + 1013904223u;
    return static_cast<double>(mState >> 8) / (1 << 23) - 1.0;
  }

 private:
  uint32_t mState;
};

uint32_t Hash(const std::string& text, size_t salt) {
  uint32_t h = 2166136261u ^ static_cast<uint32_t>(salt);
  for (unsigned char c : text) h = (h ^ c) * 16777619u;
  return h;
}

double Oscillator(Wave wave, double phase) {
  const double p = phase - std::floor(phase);
  switch (wave) {
    case Wave::Sine:
      return std::sin(kTwoPi * p);
    case Wave::Square:
      return p < 0.5 ? 1.0 : -1.0;
    case Wave::Triangle:
      return p < 0.5 ? 4 * p - 1 : 3 - 4 * p;
    case Wave::Saw:
      return 2 * p - 1;
    case Wave::Noise:
      return 0;
  }
  return 0;
}

double EnvelopeAt(const Envelope& e, double t, double length) {
  if (t < 0 || t >= length) return 0;
  if (t < e.attack) return t / e.attack;
  if (!e.adsr) return length > e.attack ? (length - t) / (length - e.attack) : 1;
  if (t < e.attack + e.decay) return 1 - (1 - e.sustain) * (t - e.attack) / e.decay;
  if (t < length - e.release) return e.sustain;
  return e.release > 0 ? e.sustain * (length - t) / e.release : 0;
}

double Frequency(const Voice& v, double u) {
  if (v.exponential && v.f0 > 0 && v.f1 > 0) return v.f0 * std::pow(v.f1 / v.f0, u);
  return v.f0 + (v.f1 - v.f0) * u;
}

// Adds one voice into the mix, over its own span only.
void AddVoice(const SoundRecipe& r, const Voice& v, size_t index, std::vector<double>& mix, size_t frames) {
  const size_t first = std::min(frames, Synth::Frames(v.t0));
  const size_t last = std::min(frames, Synth::Frames(v.t1));
  const double length = v.t1 - v.t0;
  Noise noise(Hash(r.name, index));
  double phase = 0, low = 0, band = 0;
  const double left = r.channels == 2 ? std::min(1.0, 1 - v.pan) : 1;
  const double right = std::min(1.0, 1 + v.pan);
  for (size_t i = first; i < last; ++i) {
    const double t = static_cast<double>(i) / Synth::kRate;
    const double u = length > 0 ? (t - v.t0) / length : 0;
    double f = Frequency(v, u);
    if (r.vibrato > 0) f *= 1 + 0.01 * std::sin(kTwoPi * r.vibrato * t);
    double s;
    if (v.wave == Wave::Noise) {
      // A state-variable band-pass around f.
      const double k = std::min(1.2, 2 * std::sin(std::numbers::pi * f / Synth::kRate));
      const double high = noise.Next() - low - band;
      band += k * high;
      low += k * band;
      s = band;
    } else {
      s = Oscillator(v.wave, phase);
      phase += f / Synth::kRate;
    }
    double amplitude = v.gain * EnvelopeAt(r.envelope, t - v.t0, length);
    if (r.tremolo > 0) amplitude *= 0.75 + 0.25 * std::cos(kTwoPi * r.tremolo * t);
    if (r.channels == 2) {
      mix[2 * i] += s * amplitude * left;
      mix[2 * i + 1] += s * amplitude * right;
    } else {
      mix[i] += s * amplitude;
    }
  }
}

void FadeEnds(std::vector<double>& mix, int channels) {
  const size_t frames = mix.size() / channels;
  const size_t fade = std::min(frames / 2, Synth::Frames(kLoopFade));
  for (size_t i = 0; i < fade; ++i) {
    const double g = static_cast<double>(i) / fade;
    for (int c = 0; c < channels; ++c) {
      mix[i * channels + c] *= g;
      mix[(frames - 1 - i) * channels + c] *= g;
    }
  }
}

}  // namespace

size_t Synth::Frames(double duration) {
  return duration <= 0 ? 0 : static_cast<size_t>(std::llround(duration * kRate));
}

std::vector<int16_t> Synth::Render(const SoundRecipe& recipe) {
  const size_t frames = Frames(recipe.duration);
  std::vector<double> mix(frames * recipe.channels, 0.0);
  for (size_t i = 0; i < recipe.voices.size(); ++i) AddVoice(recipe, recipe.voices[i], i, mix, frames);
  if (recipe.loop) FadeEnds(mix, recipe.channels);
  double peak = 0;
  for (double s : mix) peak = std::max(peak, std::fabs(s));
  const double scale = peak > 0 ? kPeak / peak : 0;
  std::vector<int16_t> out(mix.size());
  for (size_t i = 0; i < mix.size(); ++i) out[i] = static_cast<int16_t>(std::lround(mix[i] * scale));
  return out;
}

}  // namespace Content
