// The XML sources: UTF-16LE output, comments and escapes, and the repeat macro with its limits.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "common/Unicode.h"
#include "contentlib/Utf16Writer.h"
#include "contentlib/XmlConvert.h"
#include "resources/PakTestSupport.h"
#include "resources/XMLParser.h"

namespace Content {
namespace {

// The converted document, expanded; empty with the findings when it fails.
std::string Converted(const std::string& source, Findings& findings) {
  std::string out;
  XmlConvert::Convert("content/xml/ui.xml", source, out, findings);
  return out;
}

pugi::xml_document Reread(const std::string& utf16) {
  pugi::xml_document doc;
  doc.load_buffer(utf16.data(), utf16.size(), pugi::parse_default, pugi::encoding_utf16_le);
  return doc;
}

std::vector<std::string> Attributes(const pugi::xml_document& doc, const char* xpath) {
  std::vector<std::string> values;
  for (const pugi::xpath_node& n : doc.select_nodes(xpath)) values.push_back(n.attribute().value());
  return values;
}

// The first finding of a source that must fail.
std::string Problem(const std::string& source) {
  Findings findings;
  EXPECT_TRUE(Converted(source, findings).empty());
  return findings.Empty() ? "" : findings.List().front().Text();
}

TEST(Utf16WriterTest, MarksDocumentsButNotDescriptorsAndKeepsEveryUnit) {
  const std::string text = "<a t=\"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\"/>";  // é € and U+1F600
  const std::string marked = Utf16Writer::Convert(text, true);
  ASSERT_GE(marked.size(), 4u);
  EXPECT_EQ(marked.substr(0, 4), std::string("\xFF\xFE<\0", 4));
  const std::string bare = Utf16Writer::Convert("Define", false);
  EXPECT_EQ(bare.substr(0, 2), std::string("D\0", 2));
  const std::wstring units =
      Velk::Utf16LEToWide(reinterpret_cast<const uint8_t*>(marked.data()) + 2, marked.size() - 2);
  const std::wstring expected = {L'<', L'a', L' ', L't', L'=', L'"', 0xE9, 0x20AC, 0xD83D, 0xDE00, L'"', L'/', L'>'};
  EXPECT_EQ(units, expected);
  // A broken sequence becomes one replacement character, never a lost or extra unit.
  EXPECT_EQ(Utf16Writer::Decode("a\xC3z"), (std::u32string{U'a', 0xFFFD, U'z'}));
}

TEST(XmlConvertTest, StripsCommentsEscapesValuesAndReadsBackInBothReaders) {
  Findings findings;
  const std::string out = Converted(
      "<?xml version=\"1.0\"?>\n<!-- heading -->\n<ResourceManifest>\n<!--inside-->\n"
      "  <Resources id=\"a&amp;b &lt;c&gt; &quot;d&quot;\"/>\n</ResourceManifest>\n",
      findings);
  ASSERT_TRUE(findings.Empty());
  EXPECT_EQ(out.substr(0, 4), std::string("\xFF\xFE<\0", 4));
  const std::wstring text = Velk::Utf16LEToWide(reinterpret_cast<const uint8_t*>(out.data()) + 2, out.size() - 2);
  EXPECT_EQ(text.find(L"<!--"), std::wstring::npos);
  EXPECT_NE(text.find(L"&amp;"), std::wstring::npos);
  EXPECT_NE(text.find(L"&quot;"), std::wstring::npos);
  EXPECT_EQ(Attributes(Reread(out), "//Resources/@id"), std::vector<std::string>{"a&b <c> \"d\""});

  WorkingScratchFolder folder;
  WriteBytes("resources.xml", {out.begin(), out.end()});
  Velk::XMLParser parser;
  ASSERT_TRUE(parser.OpenFile("resources.xml"));
  Velk::XMLElement element;
  std::wstring id;
  while (parser.NextElement(&element))
    if (element.mValue == L"Resources" && element.mAttributes.count(L"id")) id = element.mAttributes[L"id"];
  EXPECT_EQ(id, L"a&b <c> \"d\"");
}

TEST(XmlConvertTest, MalformedSourceNamesFileAndLine) {
  EXPECT_EQ(Problem("<root>\n  <a>\n  </b>\n</root>\n"), "content/xml/ui.xml:3: mismatched end tag");
  EXPECT_EQ(Problem("<a/><b/>"), "content/xml/ui.xml: needs exactly one document element");
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<e>\n";
  for (int i = 0; i < 300; ++i) deep += "</e>";
  EXPECT_EQ(Problem(deep), "content/xml/ui.xml:257: elements nested more than 256 deep");
}

TEST(XmlExpandTest, NestedRepeatsExpandInOrderWithExpressions) {
  Findings findings;
  const pugi::xml_document doc =
      Reread(Converted("<root><repeat var=\"n\" from=\"1\" to=\"12\">"
                       "<e name=\"day_button_{n:02}\" x=\"{28+((n-1)%6)*52}\" y=\"{240+((n-1)/6)*62}\"/>"
                       "</repeat></root>",
                       findings));
  ASSERT_TRUE(findings.Empty()) << findings.List().front().Text();
  const auto xs = Attributes(doc, "//e/@x"), ys = Attributes(doc, "//e/@y"), names = Attributes(doc, "//e/@name");
  ASSERT_EQ(xs.size(), 12u);
  EXPECT_EQ((std::vector<std::string>{xs[0], xs[1], xs[5], xs[6]}),
            (std::vector<std::string>{"28", "80", "288", "28"}));
  EXPECT_EQ(ys[0], "240");
  EXPECT_EQ(ys[6], "302");
  EXPECT_EQ(names[6], "day_button_07");

  const pugi::xml_document nested =
      Reread(Converted("<root><repeat var=\"i\" from=\"1\" to=\"2\"><repeat var=\"j\" from=\"{i}\" to=\"2\">"
                       "<p v=\"{i}{j}\" m=\"{min(i,j)}/{max(i,j)}\" r=\"{-7 % 3}\" q=\"{-7 / 2}\" b=\"{{x}\"/>"
                       "</repeat></repeat></root>",
                       findings));
  ASSERT_TRUE(findings.Empty());
  EXPECT_EQ(Attributes(nested, "//p/@v"), (std::vector<std::string>{"11", "12", "22"}));
  EXPECT_EQ(Attributes(nested, "//p/@m")[1], "1/2");
  EXPECT_EQ(Attributes(nested, "//p/@r")[0], "-1");
  EXPECT_EQ(Attributes(nested, "//p/@q")[0], "-3");
  EXPECT_EQ(Attributes(nested, "//p/@b")[0], "{x}");
}

TEST(XmlExpandTest, WordListsSubstituteWords) {
  Findings findings;
  const pugi::xml_document doc =
      Reread(Converted("<root><repeat var=\"c\" in=\"00a,00b,05\"><t id=\"mask_{c}\"/></repeat></root>", findings));
  EXPECT_EQ(Attributes(doc, "//t/@id"), (std::vector<std::string>{"mask_00a", "mask_00b", "mask_05"}));
  EXPECT_EQ(Problem("<root>\n<repeat var=\"c\" in=\"a,b\"><t x=\"{c+1}\"/></repeat></root>"),
            "content/xml/ui.xml:2: no arithmetic on the word variable 'c' in {c+1}");
}

TEST(XmlExpandTest, ArithmeticFaultsAndBadNamesAreFindingsWithLines) {
  EXPECT_EQ(Problem("<root>\n\n<t x=\"{5/(2-2)}\"/></root>"), "content/xml/ui.xml:3: division by zero in {5/(2-2)}");
  EXPECT_EQ(Problem("<root>\n<t x=\"{7%0}\"/></root>"), "content/xml/ui.xml:2: division by zero in {7%0}");
  EXPECT_EQ(Problem("<root>\n<t x=\"{(0-2147483647-1)/(0-1)}\"/></root>"),
            "content/xml/ui.xml:2: result outside 32 bits in {(0-2147483647-1)/(0-1)}");
  EXPECT_EQ(Problem("<root><t x=\"{65536*65536}\"/></root>"),
            "content/xml/ui.xml:1: result outside 32 bits in {65536*65536}");
  EXPECT_EQ(Problem("<root><t x=\"{2147483647+1}\"/></root>"),
            "content/xml/ui.xml:1: result outside 32 bits in {2147483647+1}");
  EXPECT_EQ(Problem("<root><repeat var=\"n\" from=\"1\" to=\"2\">\n<t x=\"{m}\"/></repeat></root>"),
            "content/xml/ui.xml:2: unknown variable 'm' in {m}");
  EXPECT_EQ(
      Problem("<root><repeat var=\"n\" from=\"1\" to=\"2\">\n<repeat var=\"n\" from=\"1\" to=\"2\"/></repeat></root>"),
      "content/xml/ui.xml:2: repeat reuses the variable 'n' of an enclosing repeat");
  EXPECT_EQ(Problem("<root><t x=\"{1+\"/></root>"), "content/xml/ui.xml:1: unclosed '{' in \"{1+\"");
}

TEST(XmlExpandTest, RepeatsAreBounded) {
  EXPECT_EQ(Problem("<root>\n<repeat var=\"n\" from=\"1\" to=\"2000000000\"><t/></repeat></root>"),
            "content/xml/ui.xml:2: repeat makes more than 4096 copies");
  std::string deep = "<root>", close;
  for (int i = 0; i < 9; ++i) {
    deep += "<repeat var=\"v" + std::to_string(i) + "\" from=\"1\" to=\"1\">";
    close += "</repeat>";
  }
  EXPECT_EQ(Problem(deep + "<t/>" + close + "</root>"), "content/xml/ui.xml:1: repeats nested more than 8 deep");
  // 4096 * 4096 elements would be 16 million: stopped at the millionth, long before memory runs out.
  EXPECT_EQ(Problem("<root><repeat var=\"a\" from=\"1\" to=\"4096\">\n<repeat var=\"b\" from=\"1\" to=\"4096\"><t/>"
                    "</repeat></repeat></root>"),
            "content/xml/ui.xml:2: more than 1000000 elements after expansion");
}

}  // namespace
}  // namespace Content
