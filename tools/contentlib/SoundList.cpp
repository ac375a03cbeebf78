#include "contentlib/SoundList.h"

#include <cmath>
#include <map>
#include <set>

#include "contentlib/DescriptionReader.h"

namespace Content {
namespace {

const std::map<std::string, Wave> kWaves = {{"sine", Wave::Sine},
                                            {"square", Wave::Square},
                                            {"triangle", Wave::Triangle},
                                            {"saw", Wave::Saw},
                                            {"noise", Wave::Noise}};

double NoteFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class Parser {
 public:
  Parser(const std::string& file, Findings& findings) : mReader(file, findings) {}

  bool Run(const std::string& text, std::vector<SoundRecipe>& recipes) {
    bool ok = true;
    std::set<std::string> names, files;
    for (const DescriptionLine& line : mReader.Read(text)) {
      SoundRecipe recipe;
      if (!Record(line, recipe)) {
        ok = false;
        continue;
      }
      if (!names.insert(recipe.name).second)
        ok = mReader.Fail(line, "sound '" + recipe.name + "' named twice");
      else if (!files.insert(recipe.file).second)
        ok = mReader.Fail(line, "file '" + recipe.file + "' made twice");
      else
        recipes.push_back(std::move(recipe));
    }
    return ok;
  }

 private:
  bool Record(const DescriptionLine& line, SoundRecipe& r) {
    if (line.words.size() < 4) return Failed(line, "expected: name file duration voice...");
    r.name = line.words[0];
    r.file = line.words[1];
    if (!EndsWith(r.file, ".wav") && !EndsWith(r.file, ".ogg") && !EndsWith(r.file, ".au"))
      return Failed(line, "sound file '" + r.file + "' must end in .wav, .ogg or .au");
    if (!mReader.Number(line, line.words[2], r.duration, 0.001, 60)) return Failed();
    for (size_t i = 3; i < line.words.size(); ++i)
      if (!AddVoice(line, line.words[i], r)) return Failed();
    return Options(line, r);
  }

  bool Options(const DescriptionLine& line, SoundRecipe& r) {
    if (!mReader.OnlyOptions(line, {"loop", "channels", "tremolo", "vibrato", "adsr"})) return Failed();
    for (const auto& [key, value] : line.options) {
      bool ok = true;
      if (key == "loop") {
        ok = value == "true" || value == "false" || Failed(line, "loop must be true or false");
        r.loop = value == "true";
      } else if (key == "channels") {
        ok = mReader.Integer(line, value, r.channels, 1, 2);
      } else if (key == "tremolo") {
        ok = mReader.Number(line, value, r.tremolo, 0.1, 50);
      } else if (key == "vibrato") {
        ok = mReader.Number(line, value, r.vibrato, 0.1, 50);
      } else {
        ok = Adsr(line, value, r.envelope);
      }
      if (!ok) return Failed();
    }
    return true;
  }

  bool Adsr(const DescriptionLine& line, const std::string& value, Envelope& e) {
    std::string name;
    std::vector<std::string> parts;
    DescriptionReader::Call("adsr(" + value + ")", name, parts);
    if (parts.size() != 4) return Failed(line, "adsr takes attack,decay,sustain,release");
    e.adsr = true;
    return mReader.Number(line, parts[0], e.attack, 0.0001, 10) &&
           mReader.Number(line, parts[1], e.decay, 0.0001, 10) && mReader.Number(line, parts[2], e.sustain, 0, 1) &&
           mReader.Number(line, parts[3], e.release, 0, 10);
  }

  bool AddVoice(const DescriptionLine& line, const std::string& word, SoundRecipe& r) {
    std::string name;
    std::vector<std::string> args;
    if (!DescriptionReader::Call(word, name, args)) return Failed(line, "unknown word '" + word + "'");
    if (name == "osc") return Osc(line, args, r);
    if (name == "song") return SongVoices(line, args, r);
    return Failed(line, "unknown voice '" + name + "' (osc or song)");
  }

  bool Osc(const DescriptionLine& line, const std::vector<std::string>& args, SoundRecipe& r) {
    if (args.size() != 5 && args.size() != 6) return Failed(line, "osc takes wave, f0[->f1], t0, t1, gain[, pan]");
    Voice v;
    auto wave = kWaves.find(args[0]);
    if (wave == kWaves.end()) return Failed(line, "unknown wave '" + args[0] + "'");
    v.wave = wave->second;
    if (!Sweep(line, args[1], v)) return false;
    if (!mReader.Number(line, args[2], v.t0, 0, r.duration) || !mReader.Number(line, args[3], v.t1, v.t0, r.duration) ||
        !mReader.Number(line, args[4], v.gain, 0, 4) ||
        (args.size() == 6 && !mReader.Number(line, args[5], v.pan, -1, 1)))
      return Failed();
    r.voices.push_back(v);
    return true;
  }

  bool Sweep(const DescriptionLine& line, const std::string& text, Voice& v) {
    size_t arrow = text.find("->");
    v.exponential = arrow == std::string::npos && (arrow = text.find("=>")) != std::string::npos;
    const std::string from = text.substr(0, arrow);
    const std::string to = arrow == std::string::npos ? from : text.substr(arrow + 2);
    return (mReader.Number(line, from, v.f0, 1, 20000) && mReader.Number(line, to, v.f1, 1, 20000)) || Failed();
  }

  bool SongVoices(const DescriptionLine& line, const std::vector<std::string>& args, SoundRecipe& r) {
    double bpm = 0;
    if (args.size() != 2) return Failed(line, "song takes key, bpm");
    if (!mReader.Number(line, args[1], bpm, 40, 240)) return Failed();
    if (std::fabs(SoundList::SongLength(bpm) - r.duration) > 0.001)
      return Failed(line, "four bars at " + args[1] + " bpm last " + std::to_string(SoundList::SongLength(bpm)) + " s");
    if (!SoundList::Song(args[0], bpm, r.voices)) return Failed(line, "unknown key '" + args[0] + "'");
    return true;
  }

  bool Failed(const DescriptionLine& line, const std::string& what) { return mReader.Fail(line, what), Failed(); }
  static bool Failed() { return false; }

  DescriptionReader mReader;
};

}  // namespace

bool SoundList::Song(const std::string& key, double bpm, std::vector<Voice>& voices) {
  static const std::map<char, int> kNotes = {{'C', 48}, {'D', 50}, {'E', 52}, {'F', 53},
                                             {'G', 55}, {'A', 57}, {'B', 59}};
  static constexpr int kScale[] = {0, 2, 4, 5, 7, 9, 11};
  static constexpr int kDegrees[] = {0, 4, 5, 3};  // I V vi IV
  if (key.empty() || key.size() > 2 || !kNotes.count(key[0])) return false;
  int root = kNotes.at(key[0]);
  if (key.size() == 2 && key[1] != '#' && key[1] != 'b') return false;
  if (key.size() == 2) root += key[1] == '#' ? 1 : -1;
  const double beat = 60.0 / bpm;
  auto semitones = [&](int degree) { return kScale[degree % 7] + 12 * (degree / 7); };
  for (int bar = 0; bar < 4; ++bar) {
    const double start = bar * 4 * beat, end = start + 4 * beat;
    const int degree = kDegrees[bar];
    for (int tone = 0; tone < 3; ++tone) {
      const double f = NoteFrequency(root + 12 + semitones(degree + 2 * tone));
      voices.push_back({Wave::Sine, f, f, false, start, end, 0.22, (tone - 1) * 0.4});
    }
    const double pad = NoteFrequency(root + semitones(degree));
    voices.push_back({Wave::Square, pad, pad, false, start, end, 0.05, 0});
    const double bass = NoteFrequency(root - 12 + semitones(degree));
    for (int b = 0; b < 4; ++b)
      voices.push_back({Wave::Triangle, bass, bass, false, start + b * beat, start + (b + 1) * beat, 0.5, 0});
  }
  return true;
}

bool SoundList::Parse(const std::string& file, const std::string& text, std::vector<SoundRecipe>& recipes,
                      Findings& findings) {
  const size_t before = findings.Count();  // the reader reports lines it cannot split
  return Parser(file, findings).Run(text, recipes) && findings.Count() == before;
}

}  // namespace Content
