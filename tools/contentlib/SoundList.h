#pragma once
// content/sounds/sounds.txt: one sound per line,
//   name  file  duration  voice...  [loop=true] [channels=2] [tremolo=Hz] [vibrato=Hz] [adsr=a,d,s,r]
// where a voice is osc(wave, f0[->f1 | =>f1], t0, t1, gain[, pan]) (-> linear, => exponential sweep)
// or song(key, bpm) (four bars of chords, pad and plucked bass in that major key).

#include <string>
#include <vector>

#include "contentlib/Findings.h"
#include "contentlib/Synth.h"

namespace Content {

class SoundList {
 public:
  // The recipes in file order; false when anything was reported.
  static bool Parse(const std::string& file, const std::string& text, std::vector<SoundRecipe>& recipes,
                    Findings& findings);

  // The voices of a four-bar loop in the major key of the note name (C, D, ... B, with # or b).
  static bool Song(const std::string& key, double bpm, std::vector<Voice>& voices);
  static double SongLength(double bpm) { return 16 * 60.0 / bpm; }
};

}  // namespace Content
