#pragma once
// One input of the content builder's fuzz target: the first byte picks the reader (an XML source
// with its repeat macro, or one of the four description files), the rest is the text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "contentlib/AnimList.h"
#include "contentlib/FontList.h"
#include "contentlib/ImageList.h"
#include "contentlib/SoundList.h"
#include "contentlib/XmlConvert.h"

// True when the text was accepted; a rejected text must have said why.
inline bool RunContentInput(const uint8_t* data, size_t size) {
  if (size == 0) return false;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  Content::Findings findings;
  bool ok = false;
  switch (data[0] % 5) {
    case 0: {
      std::string out;
      ok = Content::XmlConvert::Convert("fuzz.xml", text, out, findings);
      break;
    }
    case 1: {
      std::vector<Content::ImageEntry> images;
      ok = Content::ImageList::Parse("images.txt", text, images, findings);
      break;
    }
    case 2: {
      std::vector<Content::AnimEntry> anims;
      ok = Content::AnimList::Parse("anims.txt", text, anims, findings);
      break;
    }
    case 3: {
      std::vector<Content::FontEntry> fonts;
      ok = Content::FontList::Parse("fonts.txt", text, fonts, findings);
      break;
    }
    default: {
      std::vector<Content::SoundRecipe> sounds;
      ok = Content::SoundList::Parse("sounds.txt", text, sounds, findings);
      break;
    }
  }
  if (!ok && findings.Empty()) __builtin_trap();  // a refusal without a reason
  return ok;
}
