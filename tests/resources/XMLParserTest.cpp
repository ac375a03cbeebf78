#include "resources/XMLParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/PakInterface.h"
#include "resources/PakTestSupport.h"

namespace Velk {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// Each element as one line: kind, section, value, instruction and attributes in order.
std::wstring Describe(const XMLElement& e) {
  static const wchar_t* kKinds[] = {L"?", L"S", L"E", L"T", L"P", L"C"};
  std::wstring out = std::wstring(kKinds[e.mType]) + L"[" + e.mSection + L"]" + e.mValue;
  if (!e.mInstruction.empty()) out += L"|" + e.mInstruction;
  for (const std::wstring& name : e.mAttributeOrder) out += L" " + name + L"=" + e.mAttributes.at(name);
  return out;
}

struct Parsed {
  std::vector<std::wstring> elements;
  bool failed = false;
  std::wstring error;
  int line = 0;
};

Parsed ParseFile(const std::string& name, bool allowComments = false) {
  XMLParser parser;
  parser.SetAllowComments(allowComments);
  Parsed result;
  if (parser.OpenFile(name)) {
    XMLElement element;
    while (parser.NextElement(&element)) result.elements.push_back(Describe(element));
  }
  result.failed = parser.HasFailed();
  result.error = parser.GetErrorText();
  result.line = parser.GetLineNumber();
  return result;
}

class XMLParserTest : public ::testing::Test {
 protected:
  Parsed Parse(const std::vector<uint8_t>& bytes, bool allowComments = false) {
    WriteBytes("doc.xml", bytes);
    return ParseFile("doc.xml", allowComments);
  }
  Parsed Parse(const std::string& text, bool allowComments = false) { return Parse(Bytes(text), allowComments); }

  WorkingScratchFolder folder;
};

using Lines = std::vector<std::wstring>;

TEST_F(XMLParserTest, EncodingFollowsTheByteOrderMark) {
  // U+00E9 as UTF-8 is C3 A9; without a mark the two bytes are two characters.
  EXPECT_EQ(Parse("\xEF\xBB\xBF<a>\xC3\xA9</a>").elements, (Lines{L"S[]a", L"T[a]\u00E9", L"E[a]a"}));
  EXPECT_EQ(Parse("<a>\xC3\xA9</a>").elements, (Lines{L"S[]a", L"T[a]\u00C3\u00A9", L"E[a]a"}));
  // U+1F600 is F0 9F 98 80 and becomes the pair D83D DE00.
  EXPECT_EQ(Parse("\xEF\xBB\xBF<a>\xF0\x9F\x98\x80</a>").elements[1], std::wstring(L"T[a]") + L"\xD83D\xDE00");
  // Five-byte forms lie beyond UTF-16 and read as the replacement character.
  EXPECT_EQ(Parse("\xEF\xBB\xBF<a>\xF8\x88\x80\x80\x80</a>").elements[1], L"T[a]\uFFFD");
  // Little- and big-endian UTF-16 of <b>Z\u20AC</b>, the euro sign's units holding no ASCII.
  std::vector<uint8_t> le = {0xFF, 0xFE, '<', 0, 'b', 0, '>', 0, 'Z', 0, 0xAC, 0x20, '<', 0, '/', 0, 'b', 0, '>', 0};
  std::vector<uint8_t> be = {0xFE, 0xFF, 0, '<', 0, 'b', 0, '>', 0, 'Z', 0x20, 0xAC, 0, '<', 0, '/', 0, 'b', 0, '>'};
  Lines expected{L"S[]b", L"T[b]Z\u20AC", L"E[b]b"};
  EXPECT_EQ(Parse(le).elements, expected);
  EXPECT_EQ(Parse(be).elements, expected);
  // Full-width comma U+FF0C is an ordinary character, not half of a pair.
  EXPECT_EQ(Parse(std::vector<uint8_t>{0xFF, 0xFE, '<', 0, 'a', 0, '>', 0, 0x0C, 0xFF, '<', 0, '/', 0, 'a', 0, '>', 0})
                .elements[1],
            L"T[a]\uFF0C");
}

TEST_F(XMLParserTest, IllegalSequencesAreReported) {
  const char* utf8Cases[] = {
      "\xC0\x80",          // over-long two bytes
      "\xE0\x80\x80",      // over-long three bytes
      "\xF0\x80\x80\x80",  // over-long four bytes
      "\xED\xA0\x80",      // a surrogate
      "\xEF\xBF\xBE",      // U+FFFE
      "\x80",              // continuation first
      "\xFC\x80\x80\x80\x80\x80",
      "\xF8\x87\xBF\xBF\xBF",  // over-long five bytes
      "\xC3(",                 // bad continuation
      "\xE2\x82",              // cut short by the end
  };
  for (const char* bad : utf8Cases) {
    Parsed p = Parse(std::string("\xEF\xBB\xBF<a>") + bad + "</a>");
    EXPECT_TRUE(p.failed) << bad;
    EXPECT_EQ(p.error, L"Illegal Character") << bad;
  }
  // A lone low surrogate, and a high one followed by no low one.
  EXPECT_EQ(Parse(std::vector<uint8_t>{0xFF, 0xFE, 'a', 0, 0x00, 0xDC}).error, L"Illegal Character");
  EXPECT_EQ(Parse(std::vector<uint8_t>{0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'b', 0}).error, L"Illegal Character");
  // Control characters outside quotes.
  EXPECT_EQ(Parse("<a>\x01</a>").error, L"Illegal Character");
}

TEST_F(XMLParserTest, SelfClosingTagsGiveAStartAndAnEnd) {
  EXPECT_EQ(Parse("<r><a x=\"1\" /><b/><c y=2/><d z=\"3\"/></r>").elements,
            (Lines{L"S[]r", L"S[r]a x=1", L"E[r/a]a", L"S[r]b", L"E[r/b]b", L"S[r]c y=2", L"E[r/c]c", L"S[r]d z=3",
                   L"E[r/d]d", L"E[r]r"}));
  // A slash inside quotes belongs to the value.
  Parsed p = Parse("<Resources><SetDefaults path=\"gfx/\"></SetDefaults></Resources>");
  EXPECT_FALSE(p.failed) << p.error;
  EXPECT_EQ(p.elements, (Lines{L"S[]Resources", L"S[Resources]SetDefaults path=gfx/",
                               L"E[Resources/SetDefaults]SetDefaults", L"E[Resources]Resources"}));
}

TEST_F(XMLParserTest, AttributesTextAndEntities) {
  EXPECT_EQ(Parse("<a v = \"&lt;b&gt;\" w=&quot;&apos;&amp;&nbsp;&cr; k=\"x y\" flag>").elements,
            (Lines{L"S[]a v=<b> w=\"'& \n k=x y flag="}));
  // A repeated name is listed twice and keeps the later value.
  EXPECT_EQ(Parse("<a v=1 u=0 v=2>").elements, (Lines{L"S[]a v=2 u=0 v=2"}));
  Parsed p = Parse("<t n='1'>  a   b\n\tc &foo;x & y</t>");
  EXPECT_EQ(p.elements, (Lines{L"S[]t n='1'", L"T[t]a b c &x & y", L"E[t]t"}));
  // Quotes in text are kept and protect their white space.
  EXPECT_EQ(Parse("<t>say \"a  b\"</t>").elements[1], L"T[t]say \"a  b\"");
}

TEST_F(XMLParserTest, MarkupErrorsNameTheProblemAndTheLine) {
  Parsed p = Parse("<a>\n<b>\n</a>");
  EXPECT_EQ(p.error, L"End 'a' Doesn't Match Start 'b'");
  EXPECT_EQ(p.line, 3);
  EXPECT_EQ(p.elements, (Lines{L"S[]a", L"S[a]b"}));

  p = Parse("<a></a>\ntrailing");
  EXPECT_EQ(p.error, L"Unexpected End of File");
  EXPECT_EQ(p.line, 2);
  EXPECT_EQ(Parse("</a>").error, L"Unexpected End");
  EXPECT_EQ(Parse("text>").error, L"Unexpected '>'");
  EXPECT_EQ(Parse("<a<").error, L"Unexpected '<'");
  EXPECT_EQ(ParseFile("absent.xml").error, L"Unable to open file absent.xml");

  // Elements still open at the end are fine, and so is trailing white space.
  p = Parse("<a><b>x</b>\n  \n");
  EXPECT_FALSE(p.failed);
  EXPECT_EQ(p.elements.size(), 4u);
}

TEST_F(XMLParserTest, CommentsAndInstructions) {
  Parsed p = Parse("<?xml version=\"1.0\"?><a><!-- note --><!--x--></a>");
  EXPECT_EQ(p.elements, (Lines{L"P[]xml|version=\"1.0\"", L"S[]a", L"S[a]!--x--"}));
  EXPECT_EQ(p.error, L"End 'a' Doesn't Match Start '!--x--'");
  EXPECT_EQ(Parse("<a><!-- note --></a>", true).elements, (Lines{L"S[]a", L"C[a]!--|note ", L"E[a]a"}));
  EXPECT_EQ(Parse("<?go?>").elements, (Lines{L"P[]go"}));
}

// Archive members deliver raw bytes: a 16-bit unit holding 0x0D must survive.
TEST_F(XMLParserTest, ReadsThroughTheArchiveLayer) {
  PakInterface pak;
  std::string doc("\xFF\xFE<\0a\0>\0\x0D\x01<\0/\0a\0>\0", 18);
  PlainPak().Header().Record("cfg\\doc.xml", static_cast<uint32_t>(doc.size())).End().Text(doc).WriteTo("d.pak");
  ASSERT_TRUE(pak.MountArchive("d.pak"));
  Parsed p = ParseFile("CFG/Doc.xml");
  EXPECT_FALSE(p.failed) << p.error;
  EXPECT_EQ(p.elements, (Lines{L"S[]a", L"T[a]\u010D", L"E[a]a"}));
}

}  // namespace
}  // namespace Velk
