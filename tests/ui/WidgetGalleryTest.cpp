// One widget of each kind from the fixture, used as a player would, and the frame kept as a picture.
#include "UiHarness.h"
#include "engine/EngineUtil.h"
#include "engine/LocTexts.h"
#include "ui/QCCheckBox.h"
#include "ui/QCEditWidget.h"
#include "ui/QCList.h"
#include "ui/QCSlider.h"

namespace {

using WidgetGallery = UiHarness;

TEST_F(WidgetGallery, EveryWidgetBuildsDrawsAndAnswers) {
  QCDialog* gallery = Build(ReadFixture("gallery.xml"));
  for (const char* name : {"title", "ok", "spinner", "meter", "name", "profiles", "pager", "volume", "mute"})
    EXPECT_NE(gallery->FindChild(name), nullptr) << name;
  auto* volume = Child<QCSlider>(gallery, "volume");
  auto* mute = Child<QCCheckBox>(gallery, "mute");
  auto* name = Child<QCEditWidget>(gallery, "name");
  auto* profiles = Child<QCList>(gallery, "profiles");
  volume->SetMax(100);
  for (const wchar_t* line : {L"Ann", L"Bob", L"Cleo"}) profiles->AddLine(line);
  profiles->SetChecked(0);

  Click(20 + 109, 200);
  Click(270, 200);
  Click(30, 150);
  Type(L"Ann");
  Click(450, 60 + 30);
  Update(5);
  Draw();
  SaveFrame("widget_gallery");

  EXPECT_EQ(volume->GetValue(), 49);
  EXPECT_TRUE(mute->IsChecked());
  EXPECT_EQ(name->GetText(), L"Ann");
  EXPECT_EQ(profiles->GetSelected(), 1);
  EXPECT_TRUE(PixelIs(20 + 10 + 45, 200, 0xFF00FF00));          // 49 of 100: the fifth segment filled
  EXPECT_TRUE(PixelIs(20 + 10 + 155, 200, 0xFFFFFFFF));         // the sixteenth empty
  EXPECT_TRUE(PixelIs(20 + 10 + 98 - 5 + 2, 200, 0xFFFF0000));  // the thumb at 98 of the track
  EXPECT_TRUE(PixelIs(262, 192, 0xFF00FF00));                   // checked
  EXPECT_TRUE(PixelIs(402, 60 + 24 + 2, 0xFFF0D8A0));           // the second row on the selection colour
  EXPECT_TRUE(PixelIs(25, 115, 0xFF808080));                    // an empty bar
  EXPECT_TRUE(PixelIs(403, 60 + 12, 0xFF0000FF));               // the check mark on the first row
  int dark = 0;
  for (int x = 24; x < 60; ++x) dark += (Pixel(x, 152) & 0xFF) < 0x80 ? 1 : 0;
  EXPECT_GT(dark, 3);  // "Ann" in the field
}

}  // namespace

namespace {

TEST_F(WidgetGallery, DamagedElementsLeaveTheirPartOutWithOneLineEach) {
  std::vector<std::string> lines;
  SetDebugLogSink([&](const std::string& line) { lines.push_back(line); });
  QCDialog* dialog = Build(R"(<element type="qcdialog" name="d" width="800" height="600">
      <element type="qcbar" name="nosegs" width="50" height="10" visible="true"/>
      <element type="qclist" name="nospacing" width="50" height="50" visible="true"/>
      <element type="qctext" name="nolabel" width="50" height="10" visible="true" label="no_such_id"/>
      <element type="qctext" name="nofont" width="50" height="10" visible="true"><textattr id="normal" font="nope"/></element>
      <element type="qcbutton" name="nopicture" width="50" height="10" visible="true"><texture id="normal" texture="nope"/></element>
      <element type="qcslider" name="noparts" width="50" height="10" visible="true"/>
    </element>)");
  SetDebugLogSink(nullptr);
  Update(3);
  Draw();
  std::string all;
  for (const std::string& line : lines) all += line;
  for (const char* name : {"nosegs", "nospacing", "nolabel", "nofont", "nopicture", "noparts"}) {
    EXPECT_NE(all.find(std::string("\"") + name + "\""), std::string::npos) << name;
    EXPECT_NE(dialog->FindChild(name), nullptr) << name;
  }
  EXPECT_EQ(lines.size(), 7u);  // the slider misses two parts
}

}  // namespace
