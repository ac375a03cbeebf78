// The four description files: every line form, and each kind of mistake reported with its line.
#include <gtest/gtest.h>

#include "contentlib/AnimList.h"
#include "contentlib/FontList.h"
#include "contentlib/ImageList.h"
#include "contentlib/SoundList.h"

namespace Content {
namespace {

// The first finding's text, or "" when the text parsed.
template <typename List, typename Item>
std::string FirstProblem(const std::string& text) {
  std::vector<Item> items;
  Findings findings;
  const bool ok = List::Parse("d.txt", text, items, findings);
  EXPECT_EQ(ok, findings.Empty());
  return findings.Empty() ? "" : findings.List().front().Text();
}

std::string ImageProblem(const std::string& t) { return FirstProblem<ImageList, ImageEntry>(t); }
std::string SoundProblem(const std::string& t) { return FirstProblem<SoundList, SoundRecipe>(t); }
std::string FontProblem(const std::string& t) { return FirstProblem<FontList, FontEntry>(t); }
std::string AnimProblem(const std::string& t) { return FirstProblem<AnimList, AnimEntry>(t); }

TEST(ImageListTest, LinesOptionsAndComments) {
  std::vector<ImageEntry> images;
  Findings findings;
  ASSERT_TRUE(ImageList::Parse("d.txt",
                               "# heading\n\ngfx\\a.png 10 20 solid colour=#8D6E63  # trailing\n"
                               "gfx\\b.jpg 4 8 button4 colour=c1 shape=round glyph=arrow\n",
                               images, findings));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].line, 3);
  EXPECT_EQ(images[0].art.options.at("colour"), "#8D6E63");
  EXPECT_EQ(images[1].art.style, "button4");
  EXPECT_EQ(ImageProblem("\n\na.png 1 1 glitter\n"), "d.txt:3: unknown style 'glitter'");
  EXPECT_EQ(ImageProblem("a.png 1 1 solid color=c1\n"), "d.txt:1: unknown option 'color'");
  EXPECT_EQ(ImageProblem("a.png 1 solid\n"), "d.txt:1: expected: file w h style key=value...");
  EXPECT_EQ(ImageProblem("a.bmp 1 1 solid\n"), "d.txt:1: 'a.bmp' needs the extension .png, .jpg, .gif, .tga or .jp2");
  EXPECT_EQ(ImageProblem("a.png 0 1 solid\n"), "d.txt:1: '0' is outside 1 to 4096");
  EXPECT_EQ(ImageProblem("a.png 1 1 solid\na.png 2 2 solid\n"), "d.txt:2: file 'a.png' made twice");
  EXPECT_EQ(ImageProblem("a.png 1 1 solid colour=c1 colour=c2\n"), "d.txt:1: option 'colour' given twice");
}

TEST(SoundListTest, VoicesSweepsAndOptions) {
  std::vector<SoundRecipe> sounds;
  Findings findings;
  ASSERT_TRUE(SoundList::Parse("d.txt",
                               "a x\\a.wav 0.5 osc(sine, 400=>900, 0, 0.5, 1) osc(noise, 300->200, 0.1, 0.2, 0.5, -1)"
                               " loop=true tremolo=5 adsr=0.01,0.02,0.5,0.1\n"
                               "m x\\m.ogg 9.6 song(C, 100) channels=2\n",
                               sounds, findings));
  ASSERT_EQ(sounds.size(), 2u);
  ASSERT_EQ(sounds[0].voices.size(), 2u);
  EXPECT_TRUE(sounds[0].voices[0].exponential);
  EXPECT_FALSE(sounds[0].voices[1].exponential);
  EXPECT_EQ(sounds[0].voices[1].f1, 200);
  EXPECT_EQ(sounds[0].voices[1].pan, -1);
  EXPECT_TRUE(sounds[0].loop);
  EXPECT_TRUE(sounds[0].envelope.adsr);
  EXPECT_EQ(sounds[1].channels, 2);
  EXPECT_FALSE(sounds[1].voices.empty());
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(hum, 100, 0, 0.1, 1)\n"), "d.txt:1: unknown wave 'hum'");
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(sine, 100, 0, 0.1)\n"),
            "d.txt:1: osc takes wave, f0[->f1], t0, t1, gain[, pan]");
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(sine, 100, 0, 0.2, 1)\n"), "d.txt:1: '0.2' is outside 0.000000 to 0.100000");
  EXPECT_EQ(SoundProblem("a a.mp3 0.1 osc(sine, 100, 0, 0.1, 1)\n"),
            "d.txt:1: sound file 'a.mp3' must end in .wav, .ogg or .au");
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(sine, 100, 0, 0.1, 1) speed=2\n"), "d.txt:1: unknown option 'speed'");
  EXPECT_EQ(SoundProblem("a a.wav 0.1\n"), "d.txt:1: expected: name file duration voice...");
  EXPECT_EQ(SoundProblem("a a.ogg 8 song(C, 100)\n"), "d.txt:1: four bars at 100 bpm last 9.600000 s");
  EXPECT_EQ(SoundProblem("a a.ogg 9.6 song(H, 100)\n"), "d.txt:1: unknown key 'H'");
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(sine, 1, 0, 0.1, 1)\nb a.wav 0.1 osc(sine, 1, 0, 0.1, 1)\n"),
            "d.txt:2: file 'a.wav' made twice");
  EXPECT_EQ(SoundProblem("a a.wav 0.1 osc(sine, 1, 0, 0.1, 1\n"), "d.txt:1: unclosed '('");
}

TEST(FontListTest, LayersOptionsAndSharedAtlases) {
  std::vector<FontEntry> fonts;
  Findings findings;
  ASSERT_TRUE(FontList::Parse("d.txt",
                              "f\\a.txt f\\a.tga A.ttf 13 main shadow(1,1,0.5,shadow) ref=a\n"
                              "f\\b.txt f\\a.tga A.ttf 13 offset(1,1) kerning=true\n"
                              "f\\c.txt f\\c.png B.ttf 20 stroke(1) digits=true\n",
                              fonts, findings));
  ASSERT_EQ(fonts.size(), 3u);
  EXPECT_EQ(fonts[0].ref, "a");
  EXPECT_EQ(fonts[1].ref, "a.tga");
  EXPECT_EQ(fonts[0].layers[1].kind, FontLayerEntry::Kind::Shadow);
  EXPECT_EQ(fonts[0].layers[1].tag, "shadow");
  EXPECT_TRUE(fonts[1].kerning);
  EXPECT_TRUE(fonts[2].digits);
  EXPECT_EQ(FontProblem("f\\a.txt f\\a.png A.ttf 13 glow\n"), "d.txt:1: unknown layer 'glow'");
  EXPECT_EQ(FontProblem("f\\a.txt f\\a.png A.ttf 13 main\nf\\b.txt f\\a.png A.ttf 14 main\n"),
            "d.txt:2: atlas 'f\\a.png' is shared with another face or size");
  EXPECT_EQ(FontProblem("f\\a.txt f\\a.png A.ttf 13 main bold=true\n"), "d.txt:1: unknown option 'bold'");
  EXPECT_EQ(FontProblem("f\\a.txt f\\a.png A.ttf main\n"), "d.txt:1: expected: descriptor atlas face px layer...");
}

TEST(AnimListTest, BlocksWordsVariantsAndMaskWords) {
  std::vector<AnimEntry> anims;
  Findings findings;
  ASSERT_TRUE(AnimList::Parse("d.txt",
                              "set HELD 1000 0200\n"
                              "anm boss 48 80 shape=figure colour=std\n"
                              "  skins std -\n"
                              "  orients all8\n"
                              "  word boss_idle 4 4 once variants=2\n"
                              "  words walk run 4 8 loop\n"
                              "anm held_items 24 16 shape=plate\n"
                              "  maskwords HELD boss_move_full,boss_idle_full\n",
                              anims, findings));
  ASSERT_EQ(anims.size(), 2u);
  EXPECT_EQ(anims[0].skins, (std::vector<std::string>{"std", ""}));
  EXPECT_EQ(anims[0].orients.size(), 8u);
  ASSERT_EQ(anims[0].words.size(), 3u);
  EXPECT_EQ(anims[0].words[0].variants, 2);
  EXPECT_EQ(anims[0].words[0].loop, AnmLoop::Once);
  EXPECT_EQ(anims[0].words[2].name, "run");
  EXPECT_EQ(anims[1].masks, (std::vector<std::string>{"1000", "0200"}));
  EXPECT_EQ(anims[1].maskWords.size(), 2u);
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=cube\n  word idle 1 0 loop\n"), "d.txt:1: unknown shape 'cube'");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=crate picture=teapot\n  word idle 1 0 loop\n"),
            "d.txt:1: unknown picture 'teapot'");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=rect\n  word idle 1 0 forever\n"),
            "d.txt:2: unknown mode 'forever' (loop, once, back)");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=rect\n  word idle 1\n"),
            "d.txt:2: unknown or incomplete line 'word' (skins, orients, word, words, maskwords)");
  EXPECT_EQ(AnimProblem("  word idle 1 0 loop\n"), "d.txt:1: indented line outside an anm block");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=rect\n"), "d.txt:1: anm 'a' has no words");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=rect\n  word i 1 0 loop\nanm a 1 1 shape=rect\n"),
            "d.txt:3: anm 'a' made twice");
  EXPECT_EQ(AnimProblem("anm a 1 1 shape=rect\n  word i 1 0 loop speed=2\n"), "d.txt:2: unknown option 'speed'");
}

}  // namespace
}  // namespace Content
