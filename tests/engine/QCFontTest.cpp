#include "engine/QCFont.h"

#include "engine/EngineTestSupport.h"
#include "engine/InitResources.h"
#include "engine/XmlAccess.h"
#include "fonts/ImageFont.h"
#include "fonts/SysFont.h"
#include "resources/ResourceManager.h"

namespace {

class FontTableTest : public EngineTest {
 protected:
  // The fonts of a ui.xml written with the given elements.
  void ReadFonts(QCFont& table, const std::string& elements) {
    WriteData("cfg/ui.xml", "<root>" + elements + "</root>");
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    ASSERT_NE(doc, nullptr);
    IXMLDOMNode* root = nullptr;
    doc->selectSingleNode(L"root", &root);
    table.ReadUiFonts(root);
    root->Release();
    doc->Release();
  }
};

}  // namespace

TEST_F(FontTableTest, SystemAndImageFontsByNameALaterOneReplacingTheEarlier) {
  TestEngine& engine = MakeEngine();
  scratch_.Write("fonts/plain.txt", Velk::WideToUtf16LE(L"SetDefaultPointSize 10;"));
  QCFont table(&engine);
  ReadFonts(table, R"(
    <font name="body" type="System" face="DejaVu Sans" size="10" bold="true"/>
    <font name="body" type="System" face="DejaVu Sans" size="24"/>
    <font name="title" type="Image" face="fonts\plain.txt"/>
    <font name="big" type="Image" face="fonts\plain.txt" scale="2.5"/>
    <font name="odd" type="system" face="DejaVu Sans" size="10"/>
    <font name="none" face="DejaVu Sans"/>)");
  EXPECT_EQ(table.Count(), 3u) << "the unknown types are not entered";
  auto* body = dynamic_cast<Velk::SysFont*>(table.GetFont("body"));
  ASSERT_NE(body, nullptr);
  Velk::SysFont small("DejaVu Sans", 10, true, false, false);
  EXPECT_GT(body->GetHeight(), small.GetHeight()) << "the second declaration answers";
  auto* title = dynamic_cast<Velk::ImageFont*>(table.GetFont("title"));
  ASSERT_NE(title, nullptr);
  EXPECT_DOUBLE_EQ(title->mScale, 1.0);
  auto* big = dynamic_cast<Velk::ImageFont*>(table.GetFont("big"));
  ASSERT_NE(big, nullptr);
  EXPECT_DOUBLE_EQ(big->mScale, 2.5);
  EXPECT_EQ(table.GetFont("odd"), nullptr);
  EXPECT_EQ(table.GetFont("never"), nullptr);
  EXPECT_EQ(table.Count(), 5u) << "asking enters the name";
}

TEST(InitResources, IdsNamesAndSlots) {
  EXPECT_EQ(ResourceIdToName(FONT_ARIAL10_ID), "FONT_ARIAL10");
  EXPECT_EQ(ResourceIdToName(FONT_DEFAULT_ID), "FONT_DEFAULT");
  EXPECT_EQ(ResourceIdToName(GFX_GAME_GROUND_ID), "GFX_GAME_GROUND");
  EXPECT_EQ(ResourceIdToName(5), "");
  EXPECT_EQ(ResourceIdToName(-1), "");
  EXPECT_EQ(GetResourceSlotById(5), nullptr);
  EXPECT_EQ(GetResourceSlotById(FONT_ARIAL8_ID), &FONT_ARIAL8);
  EXPECT_EQ(GetResourceSlotById(GFX_GAME_GROUND_ID), &GFX_GAME_GROUND);
  EXPECT_FALSE(ExtractResourcesByGroup(nullptr, "init"));
}

TEST_F(FontTableTest, StartUpResourcesComeFromTheInitGroup) {
  scratch_.Write("properties/resources.xml",
                 "<ResourceManifest><Resources id=\"Init\"><Font id=\"FONT_DEFAULT\" path=\"fonts/plain.txt\"/>"
                 "</Resources></ResourceManifest>");
  scratch_.Write("fonts/plain.txt", Velk::WideToUtf16LE(L"SetDefaultPointSize 10;"));
  TestEngine& engine = MakeEngine();
  ASSERT_TRUE(engine.mResourceManager->ParseResourcesFile("properties\\resources.xml"));
  ASSERT_TRUE(engine.mResourceManager->LoadResources("Init"));
  EXPECT_TRUE(ExtractResourcesByGroup(engine.mResourceManager, "Init"));
  EXPECT_NE(FONT_DEFAULT, nullptr);
  EXPECT_EQ(GetResourceById(FONT_DEFAULT_ID), FONT_DEFAULT);
  EXPECT_EQ(FONT_ARIAL6, nullptr) << "not in the manifest";
  EXPECT_EQ(GetIdByResourceSlot(&FONT_DEFAULT), FONT_DEFAULT_ID);
  EXPECT_EQ(GetIdByResourceSlot(&GFX_GAME_GROUND), GFX_GAME_GROUND_ID);
  EXPECT_EQ(GetIdByResourceSlot(&engine), -1);
  ReleaseInitResources();
  EXPECT_EQ(FONT_DEFAULT, nullptr);
}
