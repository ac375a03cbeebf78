#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "common/DebugPrint.h"
#include "common/DirectXErrorName.h"
#include "common/LeakTable.h"

namespace {

TEST(DirectXErrorName, KnownCodesAndSharedCodes) {
  EXPECT_EQ(Velk::DirectXErrorName(0x887601C2), "DDERR_SURFACELOST");
  EXPECT_EQ(Velk::DirectXErrorName(0x88760219), "DDERR_VERTICALBLANKINPROGRESS");
  EXPECT_EQ(Velk::DirectXErrorName(0x88760091), "DDERR_INVALIDPIXELFORMAT");
  EXPECT_EQ(Velk::DirectXErrorName(0x887602F8), "D3DERR_SCENE_IN_SCENE");
  EXPECT_EQ(Velk::DirectXErrorName(0x88760816), "D3DERR_ZBUFFER_NOTPRESENT");
  EXPECT_EQ(Velk::DirectXErrorName(0x8878000A), "DSERR_ALLOCATED");
  EXPECT_EQ(Velk::DirectXErrorName(0x887800AA), "DSERR_UNINITIALIZED");
  EXPECT_EQ(Velk::DirectXErrorName(0x80004005), "DSERR_GENERIC");
  EXPECT_EQ(Velk::DirectXErrorName(0x80070057), "DDERR_INVALIDPARAMS");
  EXPECT_EQ(Velk::DirectXErrorName(0x8007000E), "E_OUTOFMEMORY");
  EXPECT_EQ(Velk::DirectXErrorName(0x80004001), "DDERR_UNSUPPORTED");
  EXPECT_EQ(Velk::DirectXErrorName(0x800401F0), "DDERR_NOTINITIALIZED");
}

TEST(DirectXErrorName, UnknownCodesAsBareHex) {
  EXPECT_EQ(Velk::DirectXErrorName(0x12345), "12345");
  EXPECT_EQ(Velk::DirectXErrorName(0), "0");
  EXPECT_EQ(Velk::DirectXErrorName(0x8876FFFF), "8876ffff");
}

TEST(DebugPrint, FormatsWideTextToTheDebugOutput) {
  testing::internal::CaptureStderr();
  Velk::DebugPrint(L"%ls: %d", L"caf\u00e9", 42);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "caf\xe9: 42");
}

class LeakReportTest : public testing::Test {
 protected:
  void SetUp() override {
    mOld = std::filesystem::current_path();
    mDir = std::filesystem::temp_directory_path() / ("leak_report_" + std::to_string(getpid()));
    std::filesystem::create_directories(mDir);
    std::filesystem::current_path(mDir);
  }
  void TearDown() override {
    std::filesystem::current_path(mOld);
    std::filesystem::remove_all(mDir);
  }
  std::string ReadReport() {
    std::ifstream in(mDir / "mem_leaks.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path mOld, mDir;
};

TEST_F(LeakReportTest, ListsRecordsInAddressOrderWithTotals) {
  int blocks[3] = {};
  {
    Velk::LeakTable table;
    table.Add(&blocks[2], 2048, "b.cpp", 7);
    table.Add(&blocks[0], 1, "a.cpp", 12);
    table.Add(&blocks[1], 99, "gone.cpp", 1);
    table.Remove(&blocks[1]);
    table.WriteLeakReport();  // off: nothing written
    EXPECT_FALSE(std::filesystem::exists(mDir / "mem_leaks.txt"));
    table.SetReporting(true);
    testing::internal::CaptureStderr();
  }  // the report is written when the table goes away
  std::string debugText = testing::internal::GetCapturedStderr();
  std::string report = ReadReport();
  ASSERT_EQ(report.rfind("Memory Leak Report for ", 0), 0u);
  std::string body = report.substr(report.find("\n\n") + 2);
  EXPECT_EQ(body,
            "a.cpp(12) : Leak 1 byte\n"
            "b.cpp(7) : Leak 2048 bytes\n" +
                std::string(59, '-') + "\nTotal Unfreed: 2049 bytes (2KB)\n\n");
  EXPECT_EQ(debugText, "\n" + report);
}

}  // namespace
