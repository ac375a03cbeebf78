#include "platform/sdl/MessageBoxText.h"

#include <gtest/gtest.h>

namespace Velk {
namespace {

TEST(MessageBoxText, LinesBreakAtSpacesWithinTheirWidthAndAPathStaysWhole) {
  EXPECT_EQ(WrapMessageText("one two three four", 9), "one two\nthree\nfour");
  // Exactly the width fits; its own line breaks and an empty line stay.
  EXPECT_EQ(WrapMessageText("abc defgh\n\nij", 9), "abc defgh\n\nij");
  EXPECT_EQ(WrapMessageText("kept as /home/ann/.local/share/pref.dat.bad here", 12),
            "kept as\n/home/ann/.local/share/pref.dat.bad\nhere");
  // "\xC3\xA9" is one character of two bytes.
  EXPECT_EQ(WrapMessageText("caf\xC3\xA9 ok no", 7), "caf\xC3\xA9 ok\nno");
}

}  // namespace
}  // namespace Velk
