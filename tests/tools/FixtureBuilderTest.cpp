// The test fixture builder's files, as loose files and as an archive, read by the framework.
#include <gtest/gtest.h>

#include "resources/ImageLib.h"
#include "resources/PakInterface.h"
#include "resources/PakTestSupport.h"
#include "resources/XMLParser.h"
#include "sound/AuFile.h"
#include "sound/PakSoundSource.h"
#include "platform/audio/WaveFile.h"
#include "support/FixtureBuilder.h"

namespace {

Testing::FixtureBuilder Sample() {
  Content::AnmWriter anm;
  anm.Add({"anm\\img\\a.png", "aidle", Content::AnmLoop::Loop, 0, {{0, 0, 2, 2}}});
  Testing::FixtureBuilder fixtures;
  fixtures.Xml("properties\\resources.xml", "<ResourceManifest><Resources id=\"\xC3\xA9\"/></ResourceManifest>")
      .Descriptor("fonts\\f.txt", "SetDefaultPointSize 10;")
      .Png("anm\\img\\a.png", Content::Picture(2, 2, 0xFF102030))
      .Anm("anm\\a.anm", anm)
      .Wav("sounds\\w.wav", {1, -1, 2})
      .Au("sounds\\u.au", {0, 0});
  return fixtures;
}

// Reads the fixture set through the archive layer, whichever way it was written.
void ExpectReadable() {
  Velk::XMLParser parser;
  ASSERT_TRUE(parser.OpenFile("properties\\resources.xml"));
  Velk::XMLElement element;
  std::wstring id;
  while (parser.NextElement(&element))
    if (element.mAttributes.count(L"id")) id = element.mAttributes[L"id"];
  EXPECT_EQ(id, L"\u00E9");
  std::unique_ptr<ImageLib::Image> image(LoadImageByExtension("anm\\img\\a", false));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Row(1)[1], 0xFF102030u);
  auto wav = Velk::PakSoundSource::Open("sounds\\w.wav");
  ASSERT_TRUE(wav);
  EXPECT_TRUE(Velk::WaveFile::Read(*wav, nullptr));
  auto au = Velk::PakSoundSource::Open("sounds\\u.au");
  ASSERT_TRUE(au);
  EXPECT_TRUE(Velk::AuFile::Read(*au));
}

TEST(FixtureBuilderTest, LooseFilesAndArchiveReadTheSame) {
  const Testing::FixtureBuilder fixtures = Sample();
  EXPECT_EQ(fixtures.Files().at("fonts\\f.txt")[0], 'S');  // descriptors carry no mark
  EXPECT_EQ(fixtures.Files().at("anm\\a.anm")[0], 'A');
  {
    WorkingScratchFolder loose;
    fixtures.WriteFolder(".");
    ExpectReadable();
  }
  WorkingScratchFolder packed;
  ASSERT_TRUE(fixtures.WritePak("fixtures.pak"));
  std::filesystem::create_directory("empty");
  std::filesystem::current_path("empty");  // nothing loose: every read must come from the archive
  PakInterface pak;
  ASSERT_TRUE(pak.MountArchive("../fixtures.pak"));
  ExpectReadable();
  std::filesystem::current_path("..");
}

}  // namespace
