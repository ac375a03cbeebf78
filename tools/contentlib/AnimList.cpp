#include "contentlib/AnimList.h"

#include <map>
#include <set>

#include "contentlib/DescriptionReader.h"
#include "contentlib/FlatArt.h"
#include "contentlib/Pictograms.h"

namespace Content {
namespace {

const std::map<std::string, AnmLoop> kModes = {
    {"loop", AnmLoop::Loop}, {"once", AnmLoop::Once}, {"back", AnmLoop::Backward}};

class Parser {
 public:
  Parser(const std::string& file, Findings& findings) : mReader(file, findings) {}

  bool Run(const std::string& text, std::vector<AnimEntry>& anims) {
    std::set<std::string> parts;
    for (const DescriptionLine& line : mReader.Read(text)) {
      const std::string& head = line.words.empty() ? std::string() : line.words[0];
      if (!line.indented && head == "set") {
        Set(line);
      } else if (!line.indented && head == "anm") {
        mCurrent = kNone;
        AnimEntry entry;
        if (!Header(line, entry)) continue;
        if (!parts.insert(entry.part).second) {
          mOk = mReader.Fail(line, "anm '" + entry.part + "' made twice");
          continue;
        }
        anims.push_back(std::move(entry));
        mCurrent = anims.size() - 1;
      } else if (line.indented && mCurrent != kNone) {
        Body(line, anims[mCurrent]);
      } else {
        mOk =
            mReader.Fail(line, line.indented ? "indented line outside an anm block" : "unknown record '" + head + "'");
      }
    }
    for (const AnimEntry& entry : anims)
      if (entry.words.empty() && entry.masks.empty()) mOk = Fail(entry.line, "anm '" + entry.part + "' has no words");
    return mOk;
  }

 private:
  bool Fail(int line, const std::string& what) {
    DescriptionLine l;
    l.number = line;
    return mReader.Fail(l, what);
  }

  void Set(const DescriptionLine& line) {
    if (line.words.size() < 3) {
      mOk = mReader.Fail(line, "expected: set NAME word...");
      return;
    }
    mSets[line.words[1]] = std::vector<std::string>(line.words.begin() + 2, line.words.end());
  }

  bool Header(const DescriptionLine& line, AnimEntry& entry) {
    entry.line = line.number;
    if (line.words.size() != 4) return mOk = mReader.Fail(line, "expected: anm <part> <w> <h> shape=<shape>");
    entry.part = line.words[1];
    if (!mReader.Integer(line, line.words[2], entry.width, 1, 1024) ||
        !mReader.Integer(line, line.words[3], entry.height, 1, 1024) ||
        !mReader.OnlyOptions(line, {"shape", "colour", "picture"}))
      return mOk = false;
    entry.shape = line.options.count("shape") ? line.options.at("shape") : "";
    if (!FlatArt::CelShapes().count(entry.shape))
      return mOk = mReader.Fail(line, "unknown shape '" + entry.shape + "'");
    if (line.options.count("colour")) {
      entry.colour = line.options.at("colour");
      entry.ownColour = true;
    }
    uint32_t argb;
    if (!FlatArt::Colour(entry.colour, argb)) return mOk = mReader.Fail(line, "unknown colour '" + entry.colour + "'");
    entry.picture = line.options.count("picture") ? line.options.at("picture") : "";
    if (!entry.picture.empty() && !Pictograms::Names().count(entry.picture))
      return mOk = mReader.Fail(line, "unknown picture '" + entry.picture + "'");
    return true;
  }

  std::vector<std::string> Names(const std::vector<std::string>& words) {
    std::vector<std::string> names;
    for (const std::string& w : words) {
      if (w == "all8") {
        for (const char* o : {"t", "tr", "r", "br", "b", "bl", "l", "tl"}) names.push_back(o);
      } else {
        names.push_back(w == "-" ? "" : w);
      }
    }
    return names;
  }

  std::vector<std::string> List(const std::string& word) {
    if (auto it = mSets.find(word); it != mSets.end()) return it->second;
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= word.size()) {
      const size_t comma = std::min(word.find(',', start), word.size());
      if (comma > start) out.push_back(word.substr(start, comma - start));
      start = comma + 1;
    }
    return out;
  }

  bool Word(const DescriptionLine& line, const std::vector<std::string>& names, size_t at, AnimEntry& entry) {
    AnimWord word;
    auto mode = kModes.find(line.words[at + 2]);
    if (!mReader.Integer(line, line.words[at], word.frames, 1, 64) ||
        !mReader.Integer(line, line.words[at + 1], word.fps, 0, 120))
      return false;
    if (mode == kModes.end()) return mReader.Fail(line, "unknown mode '" + line.words[at + 2] + "' (loop, once, back)");
    word.loop = mode->second;
    if (line.options.count("variants") && !mReader.Integer(line, line.options.at("variants"), word.variants, 1, 99))
      return false;
    for (const std::string& name : names) {
      word.name = name;
      entry.words.push_back(word);
    }
    return true;
  }

  void Body(const DescriptionLine& line, AnimEntry& entry) {
    const std::string kind = line.words.empty() ? std::string() : line.words[0];
    const size_t n = line.words.size();
    bool ok = mReader.OnlyOptions(
        line, kind == "word" || kind == "words" ? std::set<std::string>{"variants"} : std::set<std::string>{});
    if (!ok) {
    } else if (kind == "skins" && n >= 2) {
      entry.skins = Names({line.words.begin() + 1, line.words.end()});
    } else if (kind == "orients" && n >= 2) {
      entry.orients = Names({line.words.begin() + 1, line.words.end()});
    } else if (kind == "word" && n == 5) {
      ok = Word(line, {line.words[1]}, 2, entry);
    } else if (kind == "words" && n >= 5) {
      ok = Word(line, {line.words.begin() + 1, line.words.end() - 3}, n - 3, entry);
    } else if (kind == "maskwords" && n == 3) {
      entry.masks = List(line.words[1]);
      entry.maskWords = List(line.words[2]);
      ok = (!entry.masks.empty() && !entry.maskWords.empty()) || mReader.Fail(line, "maskwords needs two lists");
    } else {
      ok = mReader.Fail(line, "unknown or incomplete line '" + kind + "' (skins, orients, word, words, maskwords)");
    }
    mOk = mOk && ok;
  }

  DescriptionReader mReader;
  std::map<std::string, std::vector<std::string>> mSets;
  static constexpr size_t kNone = static_cast<size_t>(-1);
  size_t mCurrent = kNone;  // the block that indented lines belong to
  bool mOk = true;
};

}  // namespace

bool AnimList::Parse(const std::string& file, const std::string& text, std::vector<AnimEntry>& anims,
                     Findings& findings) {
  const size_t before = findings.Count();  // the reader reports lines it cannot split
  return Parser(file, findings).Run(text, anims) && findings.Count() == before;
}

}  // namespace Content
