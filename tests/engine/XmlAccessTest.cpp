#include "engine/XmlAccess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/EngineUtil.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

class XmlAccessTest : public ::testing::Test {
 protected:
  // A document from UTF-8 text, stored and loaded as a data file; the element `e` is selected.
  IXMLDOMNode* Element(const std::string& attributes) {
    mPak.Put("cfg\\t.xml", Utf16File("<root><e " + attributes + "/></root>"));
    mDoc = CreateAndLoadXmlDocument("cfg\\t.xml");
    EXPECT_NE(mDoc, nullptr);
    IXMLDOMNode* e = nullptr;
    mDoc->selectSingleNode(L"root/e", &e);
    mNodes.push_back(e);
    return e;
  }
  void TearDown() override {
    for (IXMLDOMNode* n : mNodes)
      if (n) n->Release();
    if (mDoc) mDoc->Release();
  }

  MemoryPak mPak;
  IXMLDOMDocument* mDoc = nullptr;
  std::vector<IXMLDOMNode*> mNodes;
};

float ReadFloat(IXMLDOMNode* e, const wchar_t* name) {
  float value = -99.0f;
  EXPECT_TRUE(XmlGetAttrFloat(e, name, value)) << name;
  return value;
}

bool ReadBool(IXMLDOMNode* e, const wchar_t* name) {
  bool value = true;
  EXPECT_TRUE(XmlGetAttrBool(e, name, value)) << name;
  return value;
}

}  // namespace

TEST_F(XmlAccessTest, NumbersReadWithTheGamesOwnParsing) {
  IXMLDOMNode* e = Element("f1='12.05' f2='-0.5' f3='3' i1='7px' i2='x7' i3='-42' g='-1.5' d='4294967295'");
  EXPECT_FLOAT_EQ(ReadFloat(e, L"f1"), 12.05f);
  EXPECT_FLOAT_EQ(ReadFloat(e, L"f2"), -0.5f);
  EXPECT_FLOAT_EQ(ReadFloat(e, L"f3"), 3.0f);
  int i = 99, frac = 99, scale = 99;
  EXPECT_TRUE(XmlGetAttrFixed(e, L"f1", i, frac, scale));
  EXPECT_EQ(i, 12);
  EXPECT_EQ(frac, 5);
  EXPECT_EQ(scale, 100);
  EXPECT_TRUE(XmlGetAttrFixed(e, L"f3", i, frac, scale));
  EXPECT_EQ(frac, 0);
  EXPECT_EQ(scale, 0);
  EXPECT_TRUE(XmlGetAttrInt(e, L"i1", i));
  EXPECT_EQ(i, 7);
  EXPECT_TRUE(XmlGetAttrInt(e, L"i2", i));
  EXPECT_EQ(i, 0);
  EXPECT_TRUE(XmlGetAttrInt(e, L"i3", i));
  EXPECT_EQ(i, -42);
  DWORD d = 0;
  EXPECT_TRUE(XmlGetAttrDword(e, L"d", d));
  EXPECT_EQ(d, 4294967295u);
  // Absent: false and the value untouched.
  i = 123;
  EXPECT_FALSE(XmlGetAttrInt(e, L"none", i));
  EXPECT_EQ(i, 123);

  int s = 0;
  EXPECT_EQ(XmlParseDecimal("x7", &s), 0);
  EXPECT_EQ(s, 1);
  EXPECT_EQ(XmlParseDecimal("-", &s), 0);
  EXPECT_EQ(XmlParseDecimal("0042z", &s), 42);
  EXPECT_EQ(s, 10000);
  EXPECT_EQ(XmlParseDecimal("+5"), 0);
}

// Pixel measures of a damaged UI description are held to the limit, so sums and products of two
// stay inside int.
TEST_F(XmlAccessTest, PixelMeasuresAreHeldToTheLimit) {
  IXMLDOMNode* e = Element("w='99999999999' x='-2147483648' y='120' z='32768'");
  int v = 0;
  EXPECT_TRUE(XmlGetAttrPixels(e, L"w", v));
  EXPECT_EQ(v, kMaxXmlPixels);
  EXPECT_TRUE(XmlGetAttrPixels(e, L"x", v));
  EXPECT_EQ(v, -kMaxXmlPixels);
  EXPECT_TRUE(XmlGetAttrPixels(e, L"y", v));
  EXPECT_EQ(v, 120);
  EXPECT_TRUE(XmlGetAttrPixels(e, L"z", v));
  EXPECT_EQ(v, 32767);
  v = 5;
  EXPECT_FALSE(XmlGetAttrPixels(e, L"none", v));
  EXPECT_EQ(v, 5);
}

TEST_F(XmlAccessTest, MinusOnePointFiveKeepsItsStoredReadingAndIsLoggedOnce) {
  std::vector<std::string> lines;
  SetDebugLogSink([&](const std::string& line) { lines.push_back(line); });
  IXMLDOMNode* e = Element("g='-1.5' h='-2.25'");
  EXPECT_FLOAT_EQ(ReadFloat(e, L"g"), -0.5f);
  EXPECT_FLOAT_EQ(ReadFloat(e, L"g"), -0.5f);
  EXPECT_FLOAT_EQ(ReadFloat(e, L"h"), -1.75f);
  SetDebugLogSink(nullptr);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("-1.5"), std::string::npos);
}

TEST_F(XmlAccessTest, Booleans) {
  IXMLDOMNode* e = Element("a='trueish' b='1' c='0' d='false' e='' f='" + std::string(40, 'x') +
                           "' g='true' h='-3' l='" + std::string(40, '1') + "'");
  EXPECT_TRUE(ReadBool(e, L"a"));
  EXPECT_TRUE(ReadBool(e, L"b"));
  EXPECT_FALSE(ReadBool(e, L"c"));
  EXPECT_FALSE(ReadBool(e, L"d"));
  EXPECT_FALSE(ReadBool(e, L"e"));
  EXPECT_FALSE(ReadBool(e, L"f"));
  EXPECT_TRUE(ReadBool(e, L"g"));
  EXPECT_TRUE(ReadBool(e, L"h"));
  EXPECT_FALSE(ReadBool(e, L"l")) << "too long to be read";
  bool untouched = true;
  EXPECT_FALSE(XmlGetAttrBool(e, L"none", untouched));
  EXPECT_TRUE(untouched);
  EXPECT_EQ(XmlCompareW(L"trueish", L"true"), 0);
  EXPECT_EQ(XmlCompareW(L"", L"true"), 0);
  EXPECT_EQ(XmlCompareW(L"false", L"true"), -1);
  EXPECT_EQ(XmlCompareW(L"zz", L"true"), 1);
}

TEST_F(XmlAccessTest, FlagLists) {
  const XmlFlagName narrow[] = {{"alpha", 1}, {"beta", 2}, {"alpha", 4}};
  const XmlFlagNameW wide[] = {{L"alpha", 1}, {L"beta", 2}};
  DWORD out = 0;
  EXPECT_TRUE(XmlParseFlagNames("alpha,,beta", narrow, 3, out));
  EXPECT_EQ(out, 1u) << "stops at the empty piece; only the first matching entry";
  out = 0;
  EXPECT_TRUE(XmlParseFlagNames("BETA,Alpha,gamma", narrow, 3, out));
  EXPECT_EQ(out, 3u);
  out = 0;
  EXPECT_TRUE(XmlParseFlagNamesW(L"BETA,alpha", wide, 2, out));
  EXPECT_EQ(out, 1u) << "the wide form keeps case";
  EXPECT_FALSE(XmlParseFlagNames("alpha", nullptr, 3, out));
  EXPECT_FALSE(XmlParseFlagNamesW(L"alpha", wide, 0, out));

  IXMLDOMNode* e = Element("flags='beta,alpha'");
  out = 0xF0;
  EXPECT_TRUE(XmlGetAttrFlags(e, L"flags", narrow, 3, out));
  EXPECT_EQ(out, 3u) << "cleared first";
  out = 0xF0;
  EXPECT_TRUE(XmlGetAttrFlagsW(e, L"flags", wide, 2, out));
  EXPECT_EQ(out, 3u);
  EXPECT_FALSE(XmlGetAttrFlags(e, L"flags", narrow, 0, out));
}

TEST_F(XmlAccessTest, BufferLimits) {
  std::string path(300, 'p');
  // 258 ASCII bytes and then a three-byte character that would end at byte 261.
  std::string cut = std::string(258, 'c') + "\xE2\x82\xAC" + "tail";
  IXMLDOMNode* e = Element("path='" + path + "' cut='" + cut + "' w='" + std::string(20, 'w') + "' s='short'");
  char buffer[260];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(XmlGetAttrString(e, L"path", buffer, 260));
  EXPECT_EQ(std::string(buffer), std::string(259, 'p'));
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_TRUE(XmlGetAttrString(e, L"cut", buffer, 260));
  EXPECT_EQ(std::string(buffer), std::string(258, 'c')) << "the cut character is dropped whole";

  wchar_t wide[16] = L"before";
  EXPECT_TRUE(XmlGetAttrWString(e, L"w", wide, 16));
  EXPECT_STREQ(wide, L"before") << "too long: untouched, and still true";
  EXPECT_TRUE(XmlGetAttrWString(e, L"s", wide, 6));
  EXPECT_STREQ(wide, L"short");
  EXPECT_FALSE(XmlGetAttrWString(e, L"none", wide, 16));

  std::wstring whole;
  EXPECT_TRUE(XmlGetAttrText(e, L"cut", whole));
  EXPECT_EQ(whole.size(), 258u + 1u + 4u);
}

TEST_F(XmlAccessTest, LoadingFiles) {
  EXPECT_EQ(CreateAndLoadXmlDocument("cfg\\missing.xml"), nullptr);

  // Malformed: a document with no nodes.
  mPak.Put("cfg/bad.xml", Utf16File("<root><a/><b></root>"));
  IXMLDOMDocument* bad = CreateAndLoadXmlDocument("cfg\\bad.xml");
  ASSERT_NE(bad, nullptr);
  EXPECT_EQ(XmlCountNodes(bad, L"//*"), 0);
  bad->Release();

  // The first two bytes are skipped whatever they are; the rest is UTF-16LE.
  std::string good = Utf16File("<root><loc text='caf\xC3\xA9'/></root>");
  good[0] = 'Z';
  good[1] = 'Z';
  mPak.Put("cfg/good.xml", good);
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("CFG\\GOOD.XML");
  ASSERT_NE(doc, nullptr);
  IXMLDOMNode* loc = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"root/loc", &loc), S_OK);
  std::wstring text;
  EXPECT_TRUE(XmlGetAttrText(loc, L"text", text));
  EXPECT_EQ(text, L"caf\u00e9");
  loc->Release();
  doc->Release();

  // Empty and one-byte files open but hold no document.
  mPak.Put("cfg/empty.xml", std::string());
  mPak.Put("cfg/one.xml", std::string("\xFF"));
  for (const char* name : {"cfg\\empty.xml", "cfg\\one.xml"}) {
    IXMLDOMDocument* d = CreateAndLoadXmlDocument(name);
    ASSERT_NE(d, nullptr) << name;
    EXPECT_EQ(XmlCountNodes(d, L"//*"), 0);
    d->Release();
  }
  EXPECT_FALSE(LoadXmlFromPak("cfg\\missing.xml", nullptr));
}

namespace {

bool Collect(IXMLDOMNode* item, void* a, void* b) {
  std::string name;
  XmlGetAttrText(item, L"name", name);
  static_cast<std::vector<std::string>*>(a)->push_back(name);
  return name != *static_cast<std::string*>(b);
}

std::vector<std::string> WalkNames(IXMLDOMNode* node, const wchar_t* path, std::string stopAt = "") {
  std::vector<std::string> names;
  XmlForEachNode(node, path, Collect, &names, &stopAt);
  return names;
}

}  // namespace

TEST_F(XmlAccessTest, TheSelectionsTheGameMakes) {
  mPak.Put("cfg/x.xml", Utf16File(R"(<root>
    <texture id="t1"/><font name="f1"/><cursors mode="normal"/>
    <element type="qcdialog" name="menu"><texture id="other"/><texture id="normal"/>
      <element type="qcbutton" name="b1"/>text<element type="qctext" name="t"/></element>
    <element type="qcbutton" name="menu"/>
    <sounds><sound name="s1"/></sounds><music><stream name="m1"/></music>
    <perses><pers name="p1"><orientations/></pers></perses>
    <loc id="a"/>
  </root>)"));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\x.xml");
  ASSERT_NE(doc, nullptr);
  IXMLDOMNode* root = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"root", &root), S_OK);
  EXPECT_EQ(XmlCountNodes(root, L"texture"), 1);
  EXPECT_EQ(XmlCountNodes(root, L"font"), 1);
  EXPECT_EQ(XmlCountNodes(root, L"cursors"), 1);
  EXPECT_EQ(XmlCountNodes(root, L"loc"), 1);
  EXPECT_EQ(WalkNames(root, L"sounds/sound"), std::vector<std::string>{"s1"});
  EXPECT_EQ(WalkNames(root, L"music/stream"), std::vector<std::string>{"m1"});
  EXPECT_EQ(WalkNames(root, L"perses/pers"), std::vector<std::string>{"p1"});
  EXPECT_FALSE(XmlForEachNode(root, L"][", Collect, nullptr, nullptr));
  EXPECT_FALSE(XmlForEachNode(nullptr, L"x", Collect, nullptr, nullptr));

  IXMLDOMNode* dialog = nullptr;
  ASSERT_EQ(root->selectSingleNode(L"element[@name=$n and @type=\"qcdialog\"]", {{L"n", L"menu"}}, &dialog), S_OK);
  IXMLDOMNode* normal = nullptr;
  ASSERT_EQ(dialog->selectSingleNode(L"texture[@id=\"normal\"]", &normal), S_OK);
  normal->Release();
  EXPECT_EQ(XmlCountChildElements(dialog), 4);
  std::vector<std::string> children;
  std::string stop = "b1";
  XmlForEachChildElement(dialog, Collect, &children, &stop);
  EXPECT_EQ(children, (std::vector<std::string>{"", "", "b1"})) << "stops after the callback said no";
  dialog->Release();
  root->Release();
  doc->Release();
}

TEST_F(XmlAccessTest, TheLevelSelections) {
  mPak.Put("level.xml", Utf16File(R"(<level>
    <stages><stage n="1"><object name="a"/></stage><stage n="2"/></stages>
    <objects><group><object name="say &quot;hi&quot; o'clock" n="deep"/></group><object name="b" n="top"/></objects>
    <graphs><graph><points><point/><point/></points><edges><edge/></edges></graph></graphs>
    <events_queue><time_point><param/></time_point>
      <templates><order_template><stand><order_list><order/></order_list></stand><sit/></order_template></templates>
      <stages><stage><time_point_template/></stage></stages></events_queue>
  </level>)"));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("level.xml");
  IXMLDOMNode* level = SelectLevelNode(doc);
  ASSERT_NE(level, nullptr);
  EXPECT_EQ(XmlCountNodes(level, L"stages/stage"), 2);
  EXPECT_EQ(XmlCountNodes(level, L"graphs/graph"), 1);
  EXPECT_EQ(XmlCountNodes(level, L"graphs/graph/points/point"), 2);
  EXPECT_EQ(XmlCountNodes(level, L"graphs/graph/edges/edge"), 1);
  EXPECT_EQ(XmlCountNodes(level, L"events_queue/templates/order_template/stand/order_list/order"), 1);
  EXPECT_EQ(XmlCountNodes(level, L"events_queue/stages/stage/time_point_template"), 1);
  IXMLDOMNode* object = nullptr;
  ASSERT_EQ(level->selectSingleNode(L"objects//object[@name=$n]", {{L"n", L"say \"hi\" o'clock"}}, &object), S_OK);
  std::string n;
  XmlGetAttrText(object, L"n", n);
  EXPECT_EQ(n, "deep");
  object->Release();
  level->Release();
  doc->Release();
}

TEST_F(XmlAccessTest, LevelNodeAndWrittenNodes) {
  mPak.Put("a.xml", Utf16File("<level day='1'><graphs><graph><points/></graph></graphs></level>"));
  mPak.Put("b.xml", Utf16File("<root><level day='2'/></root>"));
  for (auto [file, day] : {std::pair{"a.xml", 1}, std::pair{"b.xml", 2}}) {
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument(file);
    IXMLDOMNode* level = SelectLevelNode(doc);
    ASSERT_NE(level, nullptr) << file;
    int value = 0;
    XmlGetAttrInt(level, L"day", value);
    EXPECT_EQ(value, day);
    level->Release();
    doc->Release();
  }
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("a.xml");
  IXMLDOMNode* graph = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"level/graphs/graph", &graph), S_OK);
  IXMLDOMNode* edges = XmlWriteNode(graph, L"edges", nullptr);
  ASSERT_NE(edges, nullptr);
  IXMLDOMNode* points = nullptr;
  graph->selectSingleNode(L"points", &points);
  IXMLDOMNode* head = XmlWriteNode(graph, L"head", points);
  ASSERT_NE(head, nullptr);
  IXMLDOMNode* edge = XmlWriteNode(edges, L"edge", nullptr);
  ASSERT_NE(edge, nullptr);
  EXPECT_EQ(XmlCountNodes(doc, L"level/graphs/graph/edges/edge"), 1);
  EXPECT_EQ(XmlCountNodes(graph, L"*[1][self::head]"), 1);
  for (IXMLDOMNode* n : {edge, head, points, edges, graph}) n->Release();
  doc->Release();
}

namespace {

// Each visited node is a fresh object held by the walk alone; the probe reads its count.
ULONG References(IXMLDOMNode* node) {
  node->AddRef();
  return node->Release();
}

}  // namespace

TEST_F(XmlAccessTest, TypedWalksKeepTheRulesOfTheCallbackWalks) {
  mPak.Put("cfg\\w.xml", Utf16File(R"(<root><n name="a"/><n name="b"/><n name="c"/>
    <box>text<n name="x"/><!-- note --><n name="y"/></box></root>)"));
  XmlNodeRef root = LoadXmlRoot("cfg\\w.xml");
  ASSERT_TRUE(root);

  std::vector<std::string> seen;
  std::vector<ULONG> counts;
  EXPECT_TRUE(XmlForEach(root.Get(), L"n", [&](IXMLDOMNode* item) {
    seen.push_back(XmlReadName(item, L"name"));
    counts.push_back(References(item));
  }));
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"})) << "a visit that answers nothing never stops";
  EXPECT_EQ(counts, (std::vector<ULONG>{1, 1, 1}));

  seen.clear();
  EXPECT_TRUE(XmlForEach(root.Get(), L"n", [&](IXMLDOMNode* item) {
    seen.push_back(XmlReadName(item, L"name"));
    return seen.back() != "b";
  })) << "a walk stopped early still answers true";
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));

  seen.clear();
  XmlNodeRef box = SelectChild(root.Get(), L"box");
  EXPECT_TRUE(XmlForEachChild(box.Get(), [&](IXMLDOMNode* item) { seen.push_back(XmlReadName(item, L"name")); }));
  EXPECT_EQ(seen, (std::vector<std::string>{"x", "y"})) << "only the element children";

  int visits = 0;
  auto count = [&visits](IXMLDOMNode*) { ++visits; };
  EXPECT_FALSE(XmlForEach(nullptr, L"n", count));
  EXPECT_FALSE(XmlForEach(root.Get(), L"][", count));
  EXPECT_FALSE(XmlForEachChild(nullptr, count));
  EXPECT_EQ(visits, 0);
}

TEST_F(XmlAccessTest, SelectChildAndTheRootOfAFile) {
  mPak.Put("cfg\\s.xml", Utf16File(R"(<root><e name="it's"/><e name="other"/></root>)"));
  mPak.Put("cfg\\noroot.xml", Utf16File("<top/>"));
  XmlNodeRef root = LoadXmlRoot("cfg\\s.xml");
  XmlNodeRef found = SelectChild(root.Get(), L"e[@name=$n]", {{L"n", L"it's"}});
  ASSERT_TRUE(found);
  EXPECT_EQ(XmlReadName(found.Get(), L"name"), "it's");
  EXPECT_FALSE(SelectChild(root.Get(), L"missing"));
  EXPECT_FALSE(SelectChild(nullptr, L"e"));
  EXPECT_FALSE(SelectChild(root.Get(), L"]["));
  EXPECT_FALSE(LoadXmlRoot("cfg\\noroot.xml"));
  EXPECT_FALSE(LoadXmlRoot("cfg\\absent.xml"));
}
