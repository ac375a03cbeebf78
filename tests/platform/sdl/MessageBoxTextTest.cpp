#include "platform/sdl/MessageBoxText.h"

#include <gtest/gtest.h>

namespace Velk {
namespace {

TEST(MessageBoxText, LinesBreakAtSpacesWithinTheirWidthAndAPathStaysWhole) {
  EXPECT_EQ(WrapMessageText("one two three four", 9), "one two\nthree\nfour");
  // Exactly the width fits; its own line breaks and an empty line stay.
  EXPECT_EQ(WrapMessageText("abc defgh\n\nij", 9), "abc defgh\n\nij");
  EXPECT_EQ(WrapMessageText("kept as /home/ann/.local/share/pref.dat.bad here", 36),
            "kept as\n/home/ann/.local/share/pref.dat.bad\nhere");
  // "\xC3\xA9" is one character of two bytes.
  EXPECT_EQ(WrapMessageText("caf\xC3\xA9 ok no", 7), "caf\xC3\xA9 ok\nno");
}

// The player's data folder has a space in its name; a long home breaks before its separators.
TEST(MessageBoxText, APathKeepsItsSpacesAndALongOneBreaksAtItsSeparators) {
  EXPECT_EQ(WrapMessageText("A copy was kept as /home/ann/.local/share/Drimak Games/Pelune/pref.dat.bad", 72),
            "A copy was kept as\n/home/ann/.local/share/Drimak Games/Pelune/pref.dat.bad");
  EXPECT_EQ(WrapMessageText("kept as /home/a-very-long-name/Drimak Games/pref.dat.bad now", 20),
            "kept as\n/home\n/a-very-long-name\n/Drimak Games\n/pref.dat.bad now");
  // A name longer than a line is cut at the width.
  EXPECT_EQ(WrapMessageText("/abcdefghijkl/x", 8), "/abcdefg\nhijkl/x");
}

}  // namespace
}  // namespace Velk
