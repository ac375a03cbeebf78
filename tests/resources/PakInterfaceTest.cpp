#include "resources/PakInterface.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "resources/PakTestSupport.h"

namespace {

// Everything a handle delivers through Read, in small steps.
std::string ReadAll(PakInterface& pak, PakFile* file) {
  std::string out;
  char buffer[7];
  while (size_t n = pak.Read(buffer, 1, sizeof buffer, file)) out.append(buffer, n);
  return out;
}

std::string ReadMember(PakInterface& pak, const char* name, const char* mode = "rb") {
  PakFile* file = pak.Open(name, mode);
  if (!file) return "<missing>";
  std::string out = ReadAll(pak, file);
  pak.Close(file);
  return out;
}

class PakInterfaceTest : public ::testing::Test {
 protected:
  // One archive holding one member with the given bytes.
  void MountSingle(const std::string& name, const std::string& content) {
    PlainPak().Header().Record(name, static_cast<uint32_t>(content.size())).End().Text(content).WriteTo("one.pak");
    ASSERT_TRUE(pak.MountArchive("one.pak"));
  }
  PakFile* OpenSingle(const std::string& content) {
    MountSingle("m.bin", content);
    return pak.Open("m.bin", "rb");
  }

  WorkingScratchFolder folder;
  PakInterface pak;
};

TEST_F(PakInterfaceTest, MembersAreFoundUnderEveryFoldedSpellingAndStoredScrambled) {
  PlainPak()
      .Header()
      .Record("data\\ui.xml", 5, 0x11223344, 0x01D00000)
      .Record("Other.bin", 2)
      .End()
      .Text("<ui/>")
      .Text("\x01\x02")
      .WriteTo("data.pak");
  ASSERT_TRUE(pak.MountArchive("data.pak"));

  for (const char* name :
       {"Data\\Ui.XML", "data/ui.xml", "DATA\\\\\\\\UI.XML", "data\\x\\..\\ui.xml", "data//\\ui.xml"})
    EXPECT_EQ(ReadMember(pak, name), "<ui/>") << name;
  EXPECT_EQ(ReadMember(pak, "other.bin", "R"), "\x01\x02");
  EXPECT_EQ(ReadMember(pak, "other.bin", "rt"), "\x01\x02");

  std::vector<uint8_t> raw = ReadBytes("data.pak");
  EXPECT_NE(std::string(raw.end() - 7, raw.end() - 2), "<ui/>");

  const PakEntry& entry = pak.GetDirectory().at("DATA\\UI.XML");
  EXPECT_EQ(entry.name, "data\\ui.xml");
  EXPECT_EQ(entry.fileTime, 0x01D0000011223344u);
  // Header 8, records 1+1+11+12 and 1+1+9+12, end marker 1.
  EXPECT_EQ(entry.start, 8 + 25 + 23 + 1);
  EXPECT_EQ(entry.size, 5);
}

TEST_F(PakInterfaceTest, FoldingResolvesSeparatorsParentsAndTheCurrentFolder) {
  EXPECT_EQ(PakInterface::FoldName("Data\\Ui.XML"), "DATA\\UI.XML");
  EXPECT_EQ(PakInterface::FoldName("a\\b\\..\\..\\c"), "C");
  EXPECT_EQ(PakInterface::FoldName("x\\..\\ui.xml"), "UI.XML");
  EXPECT_EQ(PakInterface::FoldName("data\\.\\f"), "DATA\\.\\F");
  EXPECT_EQ(PakInterface::FoldName("..\\f"), "..\\F");
  EXPECT_EQ(PakInterface::FoldName("a\\..b"), "A\\..B");
  char cwd[PATH_MAX];
  ASSERT_TRUE(getcwd(cwd, sizeof cwd));
  EXPECT_EQ(PakInterface::FoldName(std::string(cwd) + "/cfg//ui.xml"), "CFG\\UI.XML");
  EXPECT_EQ(PakInterface::FoldName("/elsewhere/ui.xml"), "\\ELSEWHERE\\UI.XML");
}

TEST_F(PakInterfaceTest, LaterArchiveAndLaterRecordWin) {
  PlainPak().Header().Record("a.txt", 4).Record("only.txt", 1).End().Text("old1").Text("o").WriteTo("data.pak");
  PlainPak()
      .Header()
      .Record("A.TXT", 4)
      .Record("b.txt", 1)
      .Record("B.txt", 2)
      .End()
      .Text("mod1")
      .Text("x")
      .Text("yz")
      .WriteTo("mod.pak");
  ASSERT_TRUE(pak.MountArchive("data.pak"));
  ASSERT_TRUE(pak.MountArchive("mod.pak"));
  EXPECT_EQ(ReadMember(pak, "a.txt"), "mod1");
  EXPECT_EQ(ReadMember(pak, "only.txt"), "o");
  EXPECT_EQ(ReadMember(pak, "b.txt"), "yz");
  EXPECT_EQ(pak.GetDirectory().at("A.TXT").name, "A.TXT");
}

TEST_F(PakInterfaceTest, WritingModesAndMissingNamesGoToDisk) {
  MountSingle("note.txt", "archived");
  WriteBytes("note.txt", {'d', 'i', 's', 'k'});
  EXPECT_EQ(ReadMember(pak, "note.txt", "r+"), "disk");
  EXPECT_EQ(ReadMember(pak, "note.txt", "rb"), "archived");

  PakFile* out = pak.Open("note.txt", "a");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->entry, nullptr);
  EXPECT_EQ(pak.Close(out), 0);

  // Loose files: '\' separates folders and case is ignored.
  WriteBytes("Sub/Loose.BIN", {'L'});
  EXPECT_EQ(ReadMember(pak, "sub\\loose.bin"), "L");
  EXPECT_EQ(ReadMember(pak, "SUB\\LOOSE.bin", "r+"), "L");
  EXPECT_EQ(pak.Open("absent.bin", "rb"), nullptr);
}

TEST_F(PakInterfaceTest, SeekClampsAndTellAndEofFollow) {
  PakFile* file = OpenSingle("0123456789");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(pak.Seek(file, 0, SEEK_END), 0);
  EXPECT_EQ(pak.Tell(file), 10);
  EXPECT_NE(pak.Eof(file), 0);
  EXPECT_EQ(pak.Seek(file, -25, SEEK_CUR), 0);
  EXPECT_EQ(pak.Tell(file), 0);
  EXPECT_EQ(pak.Eof(file), 0);
  EXPECT_EQ(pak.Seek(file, 99, SEEK_SET), 0);
  EXPECT_EQ(pak.Tell(file), 10);
  pak.Seek(file, -3, SEEK_END);
  EXPECT_EQ(pak.Getc(file), '7');
  pak.Seek(file, 4, 7);  // unknown origin: position kept
  EXPECT_EQ(pak.Tell(file), 8);
  pak.Close(file);
}

TEST_F(PakInterfaceTest, ReadDeliversPartialElementsAndIgnoresEmptyRequests) {
  PakFile* file = OpenSingle("abcdefg");
  ASSERT_NE(file, nullptr);
  char buffer[16] = {};
  EXPECT_EQ(pak.Read(buffer, 3, 5, file), 2u);  // 7 bytes: two whole elements and one byte
  EXPECT_EQ(std::string(buffer, 7), "abcdefg");
  EXPECT_EQ(pak.Tell(file), 7);
  pak.Seek(file, 2, SEEK_SET);
  EXPECT_EQ(pak.Read(buffer, 0, 5, file), 0u);
  EXPECT_EQ(pak.Read(buffer, 4, 0, file), 0u);
  EXPECT_EQ(pak.Tell(file), 2);
  EXPECT_EQ(pak.Read(buffer, SIZE_MAX / 2, 4, file), 0u);  // no overflow in the size product
  EXPECT_EQ(pak.Tell(file), 7);
  pak.Close(file);
}

TEST_F(PakInterfaceTest, TextReadersSkipCarriageReturnsButReadDoesNot) {
  PakFile* file = OpenSingle("a\r\nb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(pak.Getc(file), 'a');
  EXPECT_EQ(pak.Getc(file), '\n');
  EXPECT_EQ(pak.Getc(file), 'b');
  EXPECT_EQ(pak.Getc(file), -1);
  pak.Seek(file, 0, SEEK_SET);
  EXPECT_EQ(ReadAll(pak, file), "a\r\nb");
  EXPECT_EQ(pak.Ungetc('z', file), 'z');
  EXPECT_EQ(pak.Getc(file), 'b');  // the archived byte, not the pushed one
  pak.Seek(file, 0, SEEK_SET);
  EXPECT_EQ(pak.Ungetc('q', file), 'q');
  EXPECT_EQ(pak.Tell(file), 0);
  pak.Close(file);
}

TEST_F(PakInterfaceTest, GetsStopsAtLineFeedOrCapacity) {
  PakFile* file = OpenSingle("abcdefgh\nxy\r");
  ASSERT_NE(file, nullptr);
  char buffer[8];
  ASSERT_NE(pak.Gets(buffer, 5, file), nullptr);
  EXPECT_STREQ(buffer, "abcd");
  ASSERT_NE(pak.Gets(buffer, 5, file), nullptr);
  EXPECT_STREQ(buffer, "efgh");
  ASSERT_NE(pak.Gets(buffer, 5, file), nullptr);
  EXPECT_STREQ(buffer, "\n");
  ASSERT_NE(pak.Gets(buffer, 5, file), nullptr);
  EXPECT_STREQ(buffer, "xy");
  std::strcpy(buffer, "keep");
  EXPECT_EQ(pak.Gets(buffer, 5, file), nullptr);
  EXPECT_STREQ(buffer, "keep");
  pak.Close(file);
}

TEST_F(PakInterfaceTest, WideReadersTakeLittleEndianPairsAndNeverPassTheEnd) {
  // Units 'A', CR, LF, 0x20AC, then a lone byte.
  PakFile* file = OpenSingle(std::string("A\0\r\0\n\0\xAC\x20\x7F", 9));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(pak.Getwc(file), L'A');
  EXPECT_EQ(pak.Getwc(file), L'\n');
  EXPECT_EQ(pak.Getwc(file), 0x20AC);
  EXPECT_EQ(pak.Getwc(file), kPakWideEof);
  EXPECT_NE(pak.Eof(file), 0);

  pak.Seek(file, 0, SEEK_SET);
  wchar_t line[8];
  ASSERT_NE(pak.Getws(line, 8, file), nullptr);
  EXPECT_EQ(std::wstring(line), L"A\n");
  ASSERT_NE(pak.Getws(line, 8, file), nullptr);
  EXPECT_EQ(std::wstring(line), std::wstring(1, 0x20AC));
  EXPECT_EQ(pak.Getws(line, 8, file), nullptr);
  pak.Close(file);
}

TEST_F(PakInterfaceTest, EmptyMemberIsAtItsEndAtOnce) {
  PakFile* file = OpenSingle("");
  ASSERT_NE(file, nullptr);
  EXPECT_NE(pak.Eof(file), 0);
  EXPECT_EQ(pak.Getc(file), -1);
  EXPECT_EQ(pak.Getwc(file), kPakWideEof);
  char buffer[4];
  EXPECT_EQ(pak.Gets(buffer, 4, file), nullptr);
  pak.Seek(file, 5, SEEK_SET);
  EXPECT_EQ(pak.Tell(file), 0);
  pak.Close(file);
}

TEST_F(PakInterfaceTest, ArchiveOpenedByItsOwnNameServesTheWholeFile) {
  MountSingle("m.bin", "payload");
  std::vector<uint8_t> raw = ReadBytes("one.pak");
  std::string whole = ReadMember(pak, "ONE.PAK");
  ASSERT_EQ(whole.size(), raw.size());
  EXPECT_EQ(whole.substr(0, 4), "\xC0\x4A\xC0\xBA");
  EXPECT_EQ(whole.substr(whole.size() - 7), "payload");
}

// Damaged archives mount as nothing and leave earlier archives alone.
TEST_F(PakInterfaceTest, DamagedArchivesContributeNoMembers) {
  PlainPak().Header().Record("keep.txt", 2).End().Text("ok").WriteTo("good.pak");
  ASSERT_TRUE(pak.MountArchive("good.pak"));

  struct Case {
    const char* what;
    PlainPak bytes;
  };
  std::vector<Case> cases = {
      {"bad magic", PlainPak().Header(0xBAC04AC1).Record("keep.txt", 1).End().Text("X")},
      {"version 1", PlainPak().Header(0xBAC04AC0, 1).Record("keep.txt", 1).End().Text("X")},
      {"no end marker", PlainPak().Header().Record("keep.txt", 0)},
      {"record cut short", PlainPak().Header().U8(0).U8(8).Text("keep")},
      {"member past the end", PlainPak().Header().Record("keep.txt", 3).End().Text("XY")},
      {"negative size", PlainPak().Header().Record("keep.txt", 0xFFFFFFFF).End().Text("XY")},
      {"sizes summing past the end", PlainPak().Header().Record("keep.txt", 1).Record("z", 0x7FFFFFFF).End().Text("X")},
      {"header cut short", PlainPak().U32(0xBAC04AC0).U8(0)},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    std::string name = "bad" + std::to_string(i) + ".pak";
    cases[i].bytes.WriteTo(name);
    EXPECT_FALSE(pak.MountArchive(name));
    EXPECT_EQ(ReadMember(pak, "keep.txt"), "ok");
    EXPECT_EQ(pak.GetDirectory().count("Z"), 0u);
  }
  WriteBytes("empty.pak", {});
  EXPECT_FALSE(pak.MountArchive("empty.pak"));
  EXPECT_FALSE(pak.MountArchive("missing.pak"));
  EXPECT_EQ(pak.GetDirectory().size(), 1u + 1u + cases.size());  // members, good.pak, the damaged ones
}

TEST_F(PakInterfaceTest, SearchListsArchiveMatchesThenTheDisk) {
  PlainPak()
      .Header()
      .Record("cfg\\a.xml", 1, 7, 0)
      .Record("cfg\\B.xml", 2, 7, 0)
      .Record("cfg\\c.txt", 3)
      .Record("img\\d.xml", 4)
      .End()
      .Text("1223334444")
      .WriteTo("data.pak");
  ASSERT_TRUE(pak.MountArchive("data.pak"));
  WriteBytes("Cfg/disk.XML", {'x'});

  WIN32_FIND_DATAA found;
  std::vector<std::string> names;
  PakFindData* search = pak.FindFirst("cfg/*.xml", &found);
  ASSERT_NE(search, nullptr);
  EXPECT_EQ(found.nFileSizeLow, 1u);
  EXPECT_EQ(found.ftLastWriteTime.dwLowDateTime, 7u);
  EXPECT_EQ(found.dwFileAttributes, 0u);
  do names.push_back(found.cFileName);
  while (pak.FindNext(search, &found));
  EXPECT_TRUE(pak.FindClose(search));
  EXPECT_EQ(names, (std::vector<std::string>{"a.xml", "B.xml", "disk.XML"}));

  EXPECT_EQ(pak.FindFirst("nothing\\*.xml", &found), nullptr);
}

TEST(PakPublicationTest, ModuleFunctionsUseTheArchivesWhilePublished) {
  WorkingScratchFolder folder;
  PlainPak().Header().Record("m.txt", 3).End().Text("a\rb").WriteTo("one.pak");
  WriteBytes("m.txt", {'d', '\r', 'k'});
  ASSERT_EQ(GetPakInterface(), nullptr);
  {
    PakInterface pak;
    PakInterface second;  // the first instance stays published
    EXPECT_EQ(GetPakInterface(), &pak);
    ASSERT_TRUE(pak.MountArchive("one.pak"));
    PakFile* file = PakFileOpen("M.TXT", "rb");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PakFileGetc(file), 'a');
    EXPECT_EQ(PakFileGetc(file), 'b');
    EXPECT_NE(PakFileEof(file), 0);
    PakFileClose(file);
  }
  EXPECT_EQ(GetPakInterface(), nullptr);
  PakFile* file = PakFileOpen("m.txt", "rb");  // after the destructor: the disk, not a dead instance
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(PakFileGetc(file), 'd');
  EXPECT_EQ(PakFileGetc(file), '\r');  // the disk twin keeps carriage returns
  PakFileClose(file);
}

TEST(PakPublicationTest, WithoutAnInstanceTheFunctionsAreTheirDiskTwins) {
  WorkingScratchFolder folder;
  ASSERT_EQ(GetPakInterface(), nullptr);
  EXPECT_EQ(PakFileOpen("absent", "rb"), nullptr);
  // Units 0x0041 and 0x0D0A, then a lone byte.
  WriteBytes("w.bin", {0x41, 0x00, 0x0A, 0x0D, 0x33});
  PakFile* file = PakFileOpen("w.bin", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(PakFileGetwc(file), 0x41);
  EXPECT_EQ(PakFileGetwc(file), 0x0D0A);
  EXPECT_EQ(PakFileTell(file), 4);
  EXPECT_EQ(PakFileGetwc(file), kPakWideEof);
  EXPECT_EQ(PakFileSeek(file, 1, SEEK_SET), 0);
  uint8_t pair[2];
  EXPECT_EQ(PakFileRead(pair, 2, 1, file), 1u);
  EXPECT_EQ(pair[0], 0x00);
  EXPECT_EQ(PakFileUngetc('Q', file), 'Q');
  EXPECT_EQ(PakFileGetc(file), 'Q');
  EXPECT_EQ(PakFileEof(file), 0);
  PakFileClose(file);
}

}  // namespace

namespace {

// Whether the page holding `address` is mapped into this process now, from /proc/self/pagemap.
bool PagePresent(const void* address) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const int fd = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
  uint64_t entry = 0;
  const off_t at = static_cast<off_t>(reinterpret_cast<uintptr_t>(address) / page * sizeof entry);
  const bool read = fd >= 0 && pread(fd, &entry, sizeof entry, at) == static_cast<ssize_t>(sizeof entry);
  if (fd >= 0) close(fd);
  return read && (entry >> 63) != 0;
}

// How many pages of a member's bytes are mapped into this process.
size_t MemberPagesPresent(PakInterface& pak, const char* name) {
  const PakEntry& entry = pak.GetDirectory().at(PakInterface::MemberKey(name));
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  size_t present = 0;
  for (int32_t at = entry.start; at < entry.start + entry.size; at += static_cast<int32_t>(page))
    present += PagePresent(entry.archive->view + at) ? 1 : 0;
  return present;
}

}  // namespace

// A closed member's pages leave the process's memory at once; members that share a page with it,
// read before, during or after, still read every byte as stored.
TEST_F(PakInterfaceTest, ClosedMembersLeaveMemoryAndStillReadWhole) {
  std::string first(20000, ' '), second(30001, ' ');
  for (size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>('a' + i % 23);
  for (size_t i = 0; i < second.size(); ++i) second[i] = static_cast<char>('A' + i % 19);
  PlainPak()
      .Header()
      .Record("first.bin", static_cast<uint32_t>(first.size()))
      .Record("second.bin", static_cast<uint32_t>(second.size()))
      .End()
      .Text(first)
      .Text(second)
      .WriteTo("pages.pak");
  ASSERT_TRUE(pak.MountArchive("pages.pak"));
  EXPECT_EQ(MemberPagesPresent(pak, "first.bin"), 0u);

  PakFile* open = pak.Open("second.bin", "rb");
  ASSERT_NE(open, nullptr);
  std::string head(12345, '\0');
  ASSERT_EQ(pak.Read(head.data(), 1, head.size(), open), head.size());
  PakFile* other = pak.Open("first.bin", "rb");
  EXPECT_EQ(ReadAll(pak, other), first);
  EXPECT_EQ(MemberPagesPresent(pak, "first.bin"), 5u);
  pak.Close(other);
  EXPECT_EQ(MemberPagesPresent(pak, "first.bin"), 0u);
  EXPECT_EQ(head + ReadAll(pak, open), second);
  pak.Close(open);
  EXPECT_EQ(MemberPagesPresent(pak, "second.bin"), 0u);
  EXPECT_EQ(ReadMember(pak, "first.bin"), first);
  EXPECT_EQ(ReadMember(pak, "second.bin"), second);
}
