// The content builder as the build runs it: two runs give the same bytes, every sound it makes
// decodes in the game's readers at the listed length, and a failed run leaves the stage alone.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "contentlib/SoundList.h"
#include "contentlib/Stage.h"
#include "sound/AuFile.h"
#include "platform/audio/OggFile.h"
#include "platform/audio/WaveFile.h"

namespace Content {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct RunResult {
  int status = -1;
  std::string errors;
};

RunResult Contentgen(const std::string& args, const fs::path& scratch) {
  const fs::path errors = scratch / "errors.txt";
  const int status = std::system((std::string(CONTENTGEN) + " " + args + " 2>" + errors.string()).c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(errors)};
}

// Every file below the folder, by relative path.
std::map<std::string, std::string> Tree(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).generic_string()] = ReadText(entry.path());
  return files;
}

class ContentGenTest : public ::testing::Test {
 protected:
  // One build of the real content for the whole suite.
  static void SetUpTestSuite() {
    sScratch = fs::temp_directory_path() / ("contentgen-test-" + std::to_string(getpid()));
    fs::remove_all(sScratch);
    fs::create_directories(sScratch);
    sFirst = Contentgen("--src " + std::string(CONTENT_SOURCE_DIR) + " --out " + (sScratch / "a").string(), sScratch);
  }
  static void TearDownTestSuite() { fs::remove_all(sScratch); }

  // A copy of the content sources that a test may break.
  fs::path CopyOfSources() {
    const fs::path copy = sScratch / "src";
    fs::remove_all(copy);
    fs::copy(CONTENT_SOURCE_DIR, copy, fs::copy_options::recursive);
    return copy;
  }

  static inline fs::path sScratch;
  static inline RunResult sFirst;
};

TEST_F(ContentGenTest, TwoRunsGiveIdenticalTrees) {
  ASSERT_EQ(sFirst.status, 0) << sFirst.errors;
  const RunResult second =
      Contentgen("--src " + std::string(CONTENT_SOURCE_DIR) + " --out " + (sScratch / "b").string(), sScratch);
  ASSERT_EQ(second.status, 0) << second.errors;
  const auto a = Tree(sScratch / "a"), b = Tree(sScratch / "b");
  ASSERT_EQ(a.size(), b.size());
  for (const auto& [name, bytes] : a) {
    ASSERT_TRUE(b.count(name)) << name;
    EXPECT_TRUE(b.at(name) == bytes) << name;
  }
}

TEST_F(ContentGenTest, LocTreeHoldsTheTextsAndFontsOnly) {
  ASSERT_EQ(sFirst.status, 0) << sFirst.errors;
  const auto loc = Tree(sScratch / "a" / "loc");
  ASSERT_FALSE(loc.empty());
  for (const auto& [name, bytes] : loc) EXPECT_TRUE(name == "cfg/loc.xml" || name.rfind("fonts/", 0) == 0) << name;
  for (const auto& [name, bytes] : Tree(sScratch / "a" / "data")) {
    EXPECT_EQ(name.rfind("fonts/", 0), std::string::npos) << name;
    std::string expected = name;
    std::replace(expected.begin(), expected.end(), '/', '\\');
    EXPECT_EQ(Stage::Key(name), expected) << name << " is not lower case";
  }
}

TEST_F(ContentGenTest, EverySoundDecodesAtItsListedLength) {
  ASSERT_EQ(sFirst.status, 0) << sFirst.errors;
  std::vector<SoundRecipe> recipes;
  Findings findings;
  ASSERT_TRUE(
      SoundList::Parse("sounds.txt", ReadText(fs::path(CONTENT_SOURCE_DIR) / "sounds/sounds.txt"), recipes, findings));
  EXPECT_EQ(recipes.size(), 36u + 3 + 4);
  for (const SoundRecipe& r : recipes) {
    std::string path = r.file;
    for (char& c : path) c = c == '\\' ? '/' : c;
    const std::string bytes = ReadText(sScratch / "a" / "data" / path);
    Velk::MemorySoundSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::optional<Velk::PcmSound> pcm;
    const bool ogg = path.ends_with(".ogg");
    if (ogg)
      pcm = Velk::OggFile::Read(source);
    else if (path.ends_with(".au"))
      pcm = Velk::AuFile::Read(source);
    else
      pcm = Velk::WaveFile::Read(source, nullptr);
    ASSERT_TRUE(pcm) << path;
    EXPECT_EQ(pcm->rate, 44100u) << path;
    EXPECT_EQ(pcm->channels, path.starts_with("music/") ? 2 : 1) << path;
    const double frames = static_cast<double>(pcm->data.size()) / pcm->BlockAlign();
    const double tolerance = ogg ? 2048 : 44.1;  // one long Vorbis block; 1 ms
    EXPECT_NEAR(frames, r.duration * 44100, tolerance) << path;
  }
}

TEST_F(ContentGenTest, AFailedRunReportsTheLineAndLeavesThePreviousStage) {
  ASSERT_EQ(sFirst.status, 0) << sFirst.errors;
  const auto before = Tree(sScratch / "a");
  const fs::path src = CopyOfSources();
  std::ofstream(src / "xml" / "resources.xml", std::ios::app) << "\n<broken>\n</brokn>\n";
  const RunResult broken = Contentgen("--src " + src.string() + " --out " + (sScratch / "a").string(), sScratch);
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.errors.find("contentgen: content/xml/resources.xml:"), std::string::npos) << broken.errors;
  EXPECT_EQ(Tree(sScratch / "a"), before);
  EXPECT_FALSE(fs::exists(sScratch / "a.tmp"));

  const fs::path fresh = CopyOfSources();
  std::ofstream(fresh / "art" / "images.txt", std::ios::app) << "gfx\\x.png 4 4 glitter\n";
  const RunResult style = Contentgen("--src " + fresh.string() + " --out " + (sScratch / "a").string(), sScratch);
  EXPECT_EQ(style.status, 1);
  EXPECT_NE(style.errors.find("content/art/images.txt:"), std::string::npos);
  EXPECT_NE(style.errors.find("unknown style 'glitter'"), std::string::npos);

  const fs::path escaping = CopyOfSources();
  std::ofstream(escaping / "art" / "images.txt", std::ios::app) << "..\\..\\outside.png 4 4 solid\n";
  const RunResult outside = Contentgen("--src " + escaping.string() + " --out " + (sScratch / "a").string(), sScratch);
  EXPECT_EQ(outside.status, 1);
  EXPECT_NE(outside.errors.find("is not a plain relative path inside the stage"), std::string::npos) << outside.errors;
  EXPECT_FALSE(fs::exists(sScratch / "outside.png"));
  EXPECT_EQ(Tree(sScratch / "a"), before);
}

// A developer's typo in a document names the source file, the line and the name.
TEST_F(ContentGenTest, ATypoFailsWithTheSourceLineAndTheMissingName) {
  const fs::path src = CopyOfSources();
  std::string ui = ReadText(src / "xml" / "ui.xml");
  const size_t at = ui.find("texture=\"btn_medium\"");
  ASSERT_NE(at, std::string::npos);
  ui.replace(at, 20, "texture=\"btn_medum\"");
  std::ofstream(src / "xml" / "ui.xml", std::ios::binary) << ui;
  const int line = 1 + static_cast<int>(std::count(ui.begin(), ui.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  const RunResult typo = Contentgen("--src " + src.string() + " --out " + (sScratch / "d").string(), sScratch);
  EXPECT_EQ(typo.status, 1);
  EXPECT_NE(typo.errors.find("contentgen: content/xml/ui.xml:" + std::to_string(line) +
                             ": texture 'btn_medum' is not defined in cfg\\ui.xml"),
            std::string::npos)
      << typo.errors;
  EXPECT_FALSE(fs::exists(sScratch / "d"));
}

TEST_F(ContentGenTest, MissingFacesAndUnwritableOutputAreFindings) {
  const RunResult faces = Contentgen("--src " + std::string(CONTENT_SOURCE_DIR) + " --out " +
                                         (sScratch / "c").string() + " --fonts " + (sScratch / "no-fonts").string(),
                                     sScratch);
  EXPECT_EQ(faces.status, 1);
  EXPECT_NE(faces.errors.find("DejaVuSans.ttf (package fonts-dejavu-core)"), std::string::npos) << faces.errors;
  EXPECT_FALSE(fs::exists(sScratch / "c"));

  std::ofstream(sScratch / "plain-file") << "x";
  const RunResult unwritable = Contentgen(
      "--src " + std::string(CONTENT_SOURCE_DIR) + " --out " + (sScratch / "plain-file" / "stage").string(), sScratch);
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.errors.find("cannot write"), std::string::npos) << unwritable.errors;
  EXPECT_EQ(Contentgen("--src", sScratch).status, 2);
}

}  // namespace
}  // namespace Content
