#include "ui/QCTextAttr.h"

#include <gtest/gtest.h>

#include "ui/QCTextVars.h"
#include "UiXmlDoc.h"

namespace {

using Velk::Color;
using Velk::Rect;

TEST(QCTextVars, ReferencesExpandAndTheCacheNoticesChanges) {
  std::map<std::string, std::wstring> vars{{"money", L"120"}, {"", L""}};
  QCTextVarLookup lookup = [&](const std::string& n) { return vars[n]; };
  QCTextVarCache cache;
  EXPECT_EQ(ExpandTextVars(L"Money: %money%!", lookup, cache), L"Money: 120!");
  EXPECT_FALSE(TextVarsChanged(cache, lookup));
  vars["money"] = L"95";
  EXPECT_TRUE(TextVarsChanged(cache, lookup));
  cache.clear();
  EXPECT_EQ(ExpandTextVars(L"100%%", lookup, cache), L"100");
  EXPECT_EQ(ExpandTextVars(L"50%abc", lookup, cache), L"50");
  EXPECT_EQ(ExpandTextVars(L"%money%%money%", lookup, cache), L"9595");
}

TEST(QCTextAttr, ColoursAreHexadecimalAarrggbb) {
  uint32_t argb = 1;
  ASSERT_TRUE(ParseColorText("ff000000", argb));
  EXPECT_EQ(Color(argb), Color(0, 0, 0, 255));
  ASSERT_TRUE(ParseColorText("ffffff", argb));
  EXPECT_EQ(Color(argb), Color(255, 255, 255, 0));
  ASSERT_TRUE(ParseColorText("0x80FF0010", argb));
  EXPECT_EQ(Color(argb), Color(255, 0, 16, 128));
  EXPECT_FALSE(ParseColorText("zz", argb));
  EXPECT_FALSE(ParseColorText("", argb));
}

TEST(QCTextAttr, LayoutAreaFollowsValign) {
  QCTextLayout layout;
  layout.hoffset = 3;
  using F = QCTextLayout::Fallback;
  layout.valign = -1;
  EXPECT_EQ(layout.Area(100, 41, 12, F::Nothing), Rect(0, 3, 100, 41));
  layout.valign = 0;  // (41 - 12) / 2 = 14: the odd pixel goes below
  EXPECT_EQ(layout.Area(100, 41, 12, F::Nothing), Rect(0, 17, 100, 12));
  EXPECT_EQ(layout.Area(100, 10, 13, F::Nothing), Rect(0, 2, 100, 13));  // -3 / 2 rounds toward zero
  layout.valign = 1;
  EXPECT_EQ(layout.Area(100, 41, 12, F::Nothing), Rect(0, 32, 100, 12));
  layout.valign = 7;
  EXPECT_EQ(layout.Area(100, 41, 12, F::Nothing), Rect());
  EXPECT_EQ(layout.Area(100, 41, 12, F::WholeWidget), Rect(0, 3, 100, 41));
}

}  // namespace

namespace {

TEST(QCTextAttrXml, MissingColoursTakeDefinedDefaults) {
  UiXmlDoc doc(R"(<e color="0x11223344" sel="zz">
      <textattr id="shadow" color="ff00ff00" dcolor="80ffffff"/>
      <textattr id="normal" font="no_such_font"/>
      <textattr id="stroke" color="ffffff" hcolor="ff0000ff"/>
    </e>)");
  ASSERT_NE(doc.Root(), nullptr);
  Color color;
  EXPECT_TRUE(ParseColorAttr(doc.Root(), L"color", &color));
  EXPECT_EQ(color, Color(0x22, 0x33, 0x44, 0x11));
  EXPECT_FALSE(ParseColorAttr(doc.Root(), L"sel", &color));
  EXPECT_FALSE(ParseColorAttr(doc.Root(), L"none", &color));
  EXPECT_EQ(color, Color(0x22, 0x33, 0x44, 0x11));

  std::vector<std::pair<int, QCTextAttrValues>> read;
  ReadTextAttrs(doc.Root(), [&](int layer, const QCTextAttrValues& v) { read.emplace_back(layer, v); });
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].first, TextNormal);  // normal, stroke, shadow, whatever the document order
  EXPECT_EQ(read[1].first, TextStroke);
  EXPECT_EQ(read[2].first, TextShadow);
  EXPECT_EQ(read[0].second.font, nullptr);
  EXPECT_EQ(read[0].second.color, Color(0, 0, 0, 255));
  EXPECT_EQ(read[0].second.dcolor, Color(0, 0, 0, 255));
  EXPECT_EQ(read[1].second.color, Color(255, 255, 255, 0));
  EXPECT_EQ(read[1].second.dcolor, Color(255, 255, 255, 0));
  EXPECT_EQ(read[1].second.hcolor, Color(0, 0, 255, 255));
  EXPECT_EQ(read[2].second.dcolor, Color(255, 255, 255, 128));
}

}  // namespace
