#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Unicode.h"
#include "fonts/DescParser.h"
#include "platform/ScratchFolder.h"

namespace Velk {
namespace {

// Records every command as text, with the line it began on.
class RecordingParser : public DescParser {
 public:
  using DescParser::ExecuteText;
  std::vector<std::wstring> mCommands;
  std::vector<int> mLines;
  bool mFailAll = false;

  bool HandleCommand(const ListDataElement& params) override {
    mCommands.push_back(DataElementToString(params));
    mLines.push_back(mCurrentLineNum);
    return !mFailAll;
  }
};

TEST(DescParserTest, CommandsEndAtSemicolonsOutsideQuotesAndSpanLines) {
  RecordingParser p;
  ASSERT_TRUE(p.ExecuteText(L"Define A 1; Define B 'x;y'\r\n;\n\n  Cmd\n  a\n\tb"));
  ASSERT_EQ(p.mCommands.size(), 3u);
  EXPECT_EQ(p.mCommands[0], L"(Define, A, 1)");
  EXPECT_EQ(p.mCommands[1], L"(Define, B, 'x;y')");
  EXPECT_EQ(p.mCommands[2], L"(Cmd, a, b)");
  EXPECT_EQ(p.mLines, (std::vector<int>{1, 1, 4}));
  EXPECT_EQ(p.mCurrentLineNum, 0);
}

TEST(DescParserTest, HashStartsACommentOnlyAsFirstCharacterOfALine) {
  RecordingParser p;
  ASSERT_TRUE(p.ExecuteText(L"  # Cmd hidden;\nCmd a # b;\n#x\nLast"));
  EXPECT_EQ(p.mCommands, (std::vector<std::wstring>{L"(Cmd, a, #, b)", L"(Last)"}));
  EXPECT_EQ(p.mLines, (std::vector<int>{2, 4}));
}

TEST(DescParserTest, ListsNestAndSeparatorsIncludeCommas) {
  RecordingParser p;
  ASSERT_TRUE(p.ExecuteText(L"Cmd (a,b c) ((1 2)(3)) x"));
  EXPECT_EQ(p.mCommands[0], L"(Cmd, (a, b, c), ((1, 2), (3)), x)");
}

TEST(DescParserTest, TokenizerErrorsFailTheFileAndStopIt) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"Cmd a(b)", L"Unexpected List Start"},        {L"Cmd a)", L"Unexpected List End"},
      {L"Cmd (a (b)", L"Unterminated List"},          {L"Cmd 'a", L"Unterminated Single Quotes"},
      {L"Cmd \"a 'b", L"Unterminated Double Quotes"}, {L"(a) b", L"Missing Command"},
  };
  for (const auto& [text, error] : cases) {
    RecordingParser p;
    EXPECT_FALSE(p.ExecuteText(std::wstring(text) + L"; Next"));
    EXPECT_EQ(p.mError, error) << text;
    EXPECT_TRUE(p.mCommands.empty()) << text;
  }
  RecordingParser failing;
  failing.mFailAll = true;
  EXPECT_FALSE(failing.ExecuteText(L"One; Two"));
  EXPECT_EQ(failing.mCommands.size(), 1u);
}

TEST(DescParserTest, BackslashesEscapeInTheTokenizer) {
  RecordingParser p;
  // Outside quotes the backslash escapes the blank; inside, a pair survives collection as a pair and
  // the tokenizer makes one of it; a quote after a backslash does not close.
  ASSERT_TRUE(p.ExecuteText(L"Cmd a\\ b \"c\\\\d\" 'e\\'f' g\\"));
  EXPECT_EQ(p.mCommands[0], L"(Cmd, a b, \"c\\d\", 'e'f', g)");
}

TEST(DescParserTest, UnquoteAndImmediateWords) {
  EXPECT_EQ(DescParser::Unquote(L"'it''s'"), L"it's");
  EXPECT_EQ(DescParser::Unquote(L"\"a'b\""), L"a'b");
  EXPECT_EQ(DescParser::Unquote(L"plain''"), L"plain''");
  for (const wchar_t* word : {L"0x1", L"-a", L"+", L"'q'", L"\"q\"", L"9z"}) EXPECT_TRUE(DescParser::IsImmediate(word));
  for (const wchar_t* word : {L"a1", L"", L"_"}) EXPECT_FALSE(DescParser::IsImmediate(word));
}

class DefineParser : public RecordingParser {
 public:
  DefineParser() {
    auto* list = new ListDataElement;
    for (const wchar_t* w : {L"0x10", L"-3", L"'q'"}) list->mElementVector.push_back(new SingleDataElement(w));
    SetDefine(L"MiXed", list);
    SetDefine(L"One", new SingleDataElement(L"'it''s'"));
  }
  using DescParser::SetDefine;

  void Parse(const std::wstring& text) { EXPECT_TRUE(ExecuteText(L"Keep " + text)) << text; }
  ListDataElement mLast;
  bool HandleCommand(const ListDataElement& params) override {
    mLast = params;
    return true;
  }
  const DataElement& Arg(size_t i) { return *mLast.mElementVector.at(i + 1); }
};

TEST(DescParserTest, DefinesResolveCaseInsensitivelyInTheGetters) {
  DefineParser p;
  p.Parse(L"mixed MIXED (a 1) One (One) undefined");
  std::vector<std::wstring> strings;
  ASSERT_TRUE(p.GetStringList(p.Arg(0), strings));
  // A list define is used as it stands.
  EXPECT_EQ(strings, (std::vector<std::wstring>{L"0x10", L"-3", L"'q'"}));
  std::vector<int> ints;
  EXPECT_FALSE(p.GetIntList(p.Arg(1), ints));  // 'q' is no number
  EXPECT_FALSE(p.GetIntList(p.Arg(2), ints));  // the undefined name a
  EXPECT_EQ(p.mError, L"Unable to Dereference \"a\"");
  std::wstring s;
  ASSERT_TRUE(p.GetString(p.Arg(3), s));
  EXPECT_EQ(s, L"it's");
  EXPECT_FALSE(p.GetString(p.Arg(1), s));  // a list define
  EXPECT_FALSE(p.GetString(p.Arg(2), s));  // a list
  ASSERT_TRUE(p.GetStringList(p.Arg(4), strings));
  EXPECT_EQ(strings, (std::vector<std::wstring>{L"'it''s'"}));
  p.mError.clear();
  EXPECT_FALSE(p.GetStringList(p.Arg(3), strings));  // a single define
  EXPECT_TRUE(p.mError.empty());
  EXPECT_FALSE(p.GetStringList(p.Arg(5), strings));
  EXPECT_EQ(p.mError, L"Unable to Dereference \"undefined\"");

  p.Parse(L"(0x1F -2 7)");
  ASSERT_TRUE(p.GetIntList(p.Arg(0), ints));
  EXPECT_EQ(ints, (std::vector<int>{31, -2, 7}));
}

TEST(DescParserTest, ColoursFromFourRealsOrAPackedValue) {
  DefineParser p;
  p.Parse(L"(1 0.5 0 1 9) 0x80102030 0x102030 (1 1 1) x");
  Color c;
  ASSERT_TRUE(p.GetColor(p.Arg(0), c));
  EXPECT_EQ(c, Color(255, 127, 0, 255));
  ASSERT_TRUE(p.GetColor(p.Arg(1), c));
  EXPECT_EQ(c, Color(0x10, 0x20, 0x30, 0x80));
  ASSERT_TRUE(p.GetColor(p.Arg(2), c));
  EXPECT_EQ(c.mAlpha, 0);
  EXPECT_FALSE(p.GetColor(p.Arg(3), c));
  EXPECT_FALSE(p.GetColor(p.Arg(4), c));
}

TEST(DescParserTest, RunawayNestingAndDefinesThatDoubleAreRefused) {
  RecordingParser deep;
  EXPECT_FALSE(deep.ExecuteText(L"Cmd " + std::wstring(100000, L'(')));
  EXPECT_EQ(deep.mError, L"Unexpected List Start");

  DefineParser growing;
  growing.SetDefine(L"A", new SingleDataElement(L"1"));
  bool refused = false;
  for (int i = 0; i < 40 && !refused; ++i) {
    growing.Parse(L"(A A)");
    ListDataElement doubled;
    refused = !growing.DataToList(static_cast<const ListDataElement&>(growing.Arg(0)), doubled);
    if (!refused) growing.SetDefine(L"A", doubled.Duplicate());
  }
  EXPECT_TRUE(refused);
  EXPECT_EQ(growing.mError, L"Unable to Dereference \"A\"");
}

TEST(DescParserTest, FilesAreReadAsLittleEndianUnitsWithAnOptionalByteOrderMark) {
  ScratchFolder folder;
  folder.Write("a.txt", "\xFF\xFE" + WideToUtf16LE(L"# note\r\nCmd 1;\r\nCmd 2"));
  folder.Write("empty.txt", "");
  RecordingParser p;
  ASSERT_TRUE(p.LoadDescriptor(folder / "a.txt"));
  EXPECT_EQ(p.mCommands, (std::vector<std::wstring>{L"(Cmd, 1)", L"(Cmd, 2)"}));
  EXPECT_EQ(p.mLines, (std::vector<int>{2, 3}));
  RecordingParser empty;
  EXPECT_TRUE(empty.LoadDescriptor(folder / "empty.txt"));
  EXPECT_TRUE(empty.mCommands.empty());
  RecordingParser missing;
  EXPECT_FALSE(missing.LoadDescriptor(folder / "none.txt"));
  EXPECT_TRUE(missing.mError.empty());
}

}  // namespace
}  // namespace Velk
