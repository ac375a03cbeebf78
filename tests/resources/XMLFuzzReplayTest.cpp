// Inputs the XML fuzzer found interesting, replayed under the ordinary (and sanitizer) builds.
// The first byte of each file says whether comments are returned; the rest is the document.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "common/StringUtil.h"
#include "resources/PakTestSupport.h"
#include "resources/XMLParser.h"

namespace Velk {
namespace {

TEST(XMLFuzzReplayTest, EveryKeptInputEndsCleanlyOrWithAKnownError) {
  WorkingScratchFolder folder;
  const std::set<std::wstring> kErrors = {L"Illegal Character", L"Unexpected '<'", L"Unexpected '>'", L"Unexpected End",
                                          L"Unexpected End of File"};
  int replayed = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::string(TEST_DATA_DIR) + "/resources/xmlfuzz")) {
    SCOPED_TRACE(item.path().filename().string());
    std::vector<uint8_t> bytes = ReadBytes(item.path().string());
    ASSERT_FALSE(bytes.empty());
    WriteBytes("doc.xml", std::vector<uint8_t>(bytes.begin() + 1, bytes.end()));
    XMLParser parser;
    parser.SetAllowComments(bytes[0] & 1);
    ASSERT_TRUE(parser.OpenFile("doc.xml"));
    XMLElement element;
    int lines = 1;
    for (uint8_t b : bytes) lines += b == '\n' ? 1 : 0;
    while (parser.NextElement(&element)) EXPECT_NE(element.mType, XMLElement::TYPE_NONE);
    if (parser.HasFailed()) {
      std::wstring error = parser.GetErrorText();
      EXPECT_TRUE(kErrors.count(error) || error.starts_with(L"End '")) << Narrow(error);
    }
    EXPECT_LE(parser.GetLineNumber(), lines);
    ++replayed;
  }
  EXPECT_GE(replayed, 20);
}

}  // namespace
}  // namespace Velk
