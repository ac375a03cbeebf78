#pragma once
// content/anims/anims.txt: one block per .anm file,
//   anm <part> <w> <h> shape=<shape> [colour=<key|#rrggbb>] [picture=<pictogram>]
//     skins <s>...            "-" is the empty skin; a palette key colours the frames (with an
//                             explicit colour= it only tints them, a third of the way)
//     orients <o>...          "-" is none; all8 = t tr r br b bl l tl
//     word <name> <frames> <fps> <loop|once|back> [variants=N]
//     words <n1> <n2>... <frames> <fps> <loop|once|back>
//     maskwords <masks> <words>   one cell per mask, entries mask + word, 1 frame
// Lists in maskwords are comma separated or name a top-level "set NAME word..." line.

#include <string>
#include <vector>

#include "contentlib/AnmWriter.h"
#include "contentlib/Findings.h"

namespace Content {

struct AnimWord {
  std::string name;
  int frames = 1;
  int fps = 0;
  AnmLoop loop = AnmLoop::Loop;
  int variants = 0;  // 0: one plain entry; N: entries name01 .. nameNN
};

struct AnimEntry {
  int line = 0;
  std::string part;
  int width = 0, height = 0;
  std::string shape;
  std::string colour = "c1";
  bool ownColour = false;  // colour= given: skins tint the colour instead of replacing it
  std::string picture;     // a pictogram the shape shows (what a machine makes, what a box holds)
  std::vector<std::string> skins{""};
  std::vector<std::string> orients{""};
  std::vector<AnimWord> words;
  std::vector<std::string> masks, maskWords;
};

class AnimList {
 public:
  static bool Parse(const std::string& file, const std::string& text, std::vector<AnimEntry>& anims,
                    Findings& findings);
};

}  // namespace Content
