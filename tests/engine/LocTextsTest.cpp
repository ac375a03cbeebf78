#include "engine/LocTexts.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

TEST(LocTexts, ReadsTheFirstTextOfEachIdWhole) {
  MemoryPak pak;
  std::string longText(3000, 'a');
  longText += "\xE2\x82\xAC";  // and one character beyond the basic Latin range
  pak.Put("cfg/loc.xml", Utf16File("<root><loc id='title' text='Caf\xC3\xA9'/><loc id='title' text='second'/>"
                                   "<loc id='long' text='" +
                                   longText +
                                   "'/><loc id='no_text'/><loc text='no id'/>"
                                   "<other id='x' text='not a loc'/></root>"));
  LocTexts table;
  EXPECT_TRUE(table.LoadLocTable());
  EXPECT_EQ(table.Count(), 2u);
  EXPECT_EQ(table.GetLocText("title"), L"Caf\u00e9");
  const std::wstring& text = table.GetLocText("long");
  ASSERT_EQ(text.size(), 3001u);
  EXPECT_EQ(text.back(), L'\u20ac');
  // An absent id gives the shared empty text and is not added.
  EXPECT_EQ(&table.GetLocText("missing"), &LocTexts::EmptyText());
  EXPECT_EQ(table.Count(), 2u);
}

TEST(LocTexts, MissingOrBrokenFilesFailAndLeaveTheTableEmpty) {
  MemoryPak pak;
  LocTexts table;
  EXPECT_FALSE(table.LoadLocTable());
  EXPECT_EQ(table.Count(), 0u);
  pak.Put("cfg/loc.xml", Utf16File("<root><loc id='a' text='b'/>"));
  EXPECT_FALSE(table.LoadLocTable());
  EXPECT_EQ(table.Count(), 0u);
  pak.Put("cfg/loc.xml", Utf16File("<root><loc id='a' text=''/><loc id='b' text=''/></root>"));
  EXPECT_FALSE(table.LoadLocTable()) << "entries that all say nothing are no table";
  EXPECT_EQ(table.Count(), 0u);
  EXPECT_TRUE(table.GetLocText("a").empty());
}

// One text that says something makes a table. Looked up from the loading and the main thread at once,
// an id it lacks is named once; an id whose text is empty by design is not named at all.
TEST(LocTexts, AnIdTheTableLacksIsNamedOnce) {
  MemoryPak pak;
  pak.Put("cfg/loc.xml", Utf16File("<root><loc id='blank' text=''/><loc id='title' text='Cafe'/></root>"));
  LocTexts table;
  ASSERT_TRUE(table.LoadLocTable());
  testing::internal::CaptureStderr();
  auto lookUp = [&table] {
    for (int i = 0; i < 100; ++i) table.GetLocText(i % 2 ? "gone" : "blank");
  };
  std::thread loading(lookUp);
  lookUp();
  loading.join();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log, "cfg\\loc.xml: no text has the id \"gone\"\n");
}

TEST(TextVars, GetInsertsAndIntegersAreDecimal) {
  TextVars vars;
  EXPECT_TRUE(vars.GetTextVar("money").empty());
  EXPECT_EQ(vars.Count(), 1u);
  vars.SetTextVarInt("money", -5);
  EXPECT_EQ(vars.GetTextVar("money"), L"-5");
  vars.SetTextVar("cafe", L"Harbour");
  EXPECT_EQ(vars.GetTextVar("cafe"), L"Harbour");
}

TEST(TextVars, TheShortFormsUseTheInstalledTables) {
  LocTexts loc;
  TextVars vars;
  SetCurrentTextTables(&loc, &vars);
  SetTextVarInt("day", 12);
  EXPECT_EQ(vars.GetTextVar("day"), L"12");
  EXPECT_EQ(GetTextVar(&vars, "day"), L"12");
  SetTextVar(&vars, "day", L"13");
  EXPECT_EQ(GetTextVar("day"), L"13");
  EXPECT_EQ(&GetLocText("x"), &LocTexts::EmptyText());
  EXPECT_EQ(&GetLocText(nullptr, "x"), &LocTexts::EmptyText());
  SetCurrentTextTables(nullptr, nullptr);
  EXPECT_NE(&CurrentTextVars(), &vars);
}
