#include "app/CrashAppInfo.h"
#include "app/CrashCatcher.h"
#include "app/CrashReport.h"
#include "app/CrashUpload.h"
#include "app/LinkerMap.h"
#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace {

using Velk::CrashReport;

TEST(CrashReportTest, SignalsMapToExceptionCodesAndNames) {
  const uintptr_t sp = 0x7fff0000;
  EXPECT_EQ(Velk::ExceptionCodeForSignal(SIGSEGV, SEGV_MAPERR, 0x10, sp), 0xC0000005u);
  EXPECT_EQ(Velk::ExceptionCodeForSignal(SIGSEGV, SEGV_MAPERR, sp - 100, sp), 0xC00000FDu);
  EXPECT_EQ(Velk::ExceptionCodeForSignal(SIGFPE, FPE_INTDIV, 0, sp), 0xC0000094u);
  EXPECT_EQ(Velk::ExceptionCodeForSignal(SIGBUS, BUS_ADRALN, 0, sp), 0x80000002u);
  EXPECT_EQ(Velk::ExceptionCodeForSignal(SIGILL, ILL_ILLOPC, 0, sp), 0xC000001Du);
  EXPECT_STREQ(CrashReport::ExceptionName(0xC0000005), "Access Violation");
  EXPECT_STREQ(CrashReport::ExceptionName(0xC0000094), "Integer Divide by Zero");
  EXPECT_STREQ(CrashReport::ExceptionName(0), "Wait 0");
  EXPECT_EQ(CrashReport::ExceptionName(0x40000015), nullptr);
}

TEST(CrashReportTest, HeadingNamesTheExceptionAndItsLogicalAddress) {
  Velk::FaultRecord record;
  record.exceptionCode = 0xC0000005;
  record.address = reinterpret_cast<uintptr_t>(&CrashReport::ExceptionName);
  record.threadId = 0x1A2B;
  record.registers.eax = 0x1234;
  std::string title;
  std::string report = CrashReport::Build(record, nullptr, title);
  EXPECT_EQ(report.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << report;
  EXPECT_NE(report.find(" in thread 1A2B\r\nModule: test_app\r\nLogical Address: 0001:"), std::string::npos);
  EXPECT_EQ(title.rfind("Exception at 0001:", 0), 0u) << title;
  EXPECT_NE(report.find("\r\nEAX:00001234 EBX:"), std::string::npos);
  EXPECT_NE(report.find("\r\nWindows Ver: NT "), std::string::npos);
  EXPECT_EQ(report.find("DDraw Ver:"), std::string::npos);  // only with an application

  record.exceptionCode = 0x40000015;
  report = CrashReport::Build(record, nullptr, title);
  EXPECT_EQ(report.rfind("Unknown exception: (code 0x40000015) at address ", 0), 0u);
}

TEST(LinkerMapTest, SymbolisesLogicalAddressesWithSymbolsAndLines) {
  Velk::LinkerMap map;
  const std::string pad(7, ' ');
  map.ParseLine(" 0001:00000000" + pad + "_main                      00401000 f   main.obj");
  map.ParseLine(" 0001:00000010" + pad + "Update 00401010 f   foo.obj");
  map.ParseLine(" 0001:00000020" + pad + "X");             // 22 characters: too short
  map.ParseLine(" 0001-00000030" + pad + "Elsewhere  x");  // another shape
  map.ParseLine("Line numbers for foo.obj(src\\foo.cpp) segment .text");
  map.ParseLine("    12 0001:00000010    13 0001:00000013    20 0001:00000030    21 0001:00000038");
  map.ParseLine("    99 0001:00000000");  // not 80 characters
  std::string report = "at 0001:00000014 foo\r\n0001:00000000 x\r\n0002:00000005 y\r\n0001:0000 z\r\n10001:00000000";
  EXPECT_EQ(map.Symbolise(report),
            "at Update+0x4\r\n    src\\foo.cpp line 13 +0x1 foo\r\n_main x\r\n0002:00000005 y\r\n0001:0000 z\r\n"
            "10001:00000000");
  EXPECT_EQ(map.Symbolise("0001:00000031"), "Update+0x21\r\n    src\\foo.cpp line 20 +0x1");
}

TEST(CrashUploadTest, MultipartBodyAndRequest) {
  Velk::CrashUploadFields fields;
  fields.extra = {{"b", "2"}, {"a", "1"}};
  fields.product = "P";
  fields.version = "V";
  fields.errorTitle = "T";
  fields.errorText = "E";
  fields.hasDemo = true;
  fields.demo.WriteByte(0x00);
  fields.demo.WriteByte('d');
  const std::string b = "---------------------------7d3e1f30eec";
  auto part = [&](const std::string& name, const std::string& value) {
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
  };
  std::string expected = part("a", "1") + part("b", "2") + part("prod", "P") + part("version", "V") +
                         part("usertext", "") + part("errortitle", "T") + part("errortext", "E") + "--" + b +
                         "\r\nContent-Disposition: form-data; name=\"demofile\"; filename=\"hexfin.dmo\"\r\n"
                         "Content-Type: application/octet-stream\r\n\r\n" +
                         std::string("\0d", 2) + "\r\n--" + b + "--\r\n";
  std::string body = Velk::CrashUpload::BuildBody(fields);
  EXPECT_EQ(body, expected);
  EXPECT_EQ(Velk::CrashUpload::BuildRequest("h", "xyz"),
            "POST /tramix_error.php HTTP/1.1\r\nContent-Type: multipart/form-data; boundary=" + b +
                "\r\nUser-Agent: Mozilla/4.0 (compatible; hexfin)\r\nHost: h\r\nContent-Length: 3\r\n"
                "Connection: close\r\n\r\nxyz");
}

// What the crash thread hands the reporter arrives whole, and a message cut short or of another kind
// is refused rather than read past its end.
TEST(CrashAppInfoTest, RoundTripsAndRefusesDamagedMessages) {
  Velk::CrashAppInfo info;
  info.hasApplication = true;
  info.crashInfo = "Product: P\r\n";
  info.product = "P";
  info.uploadFields = {{"a", "1"}, {"b", std::string("\0x", 2)}};
  info.demoAvailable = true;
  info.demoFile = "d.dmo";
  info.showWindow = false;
  info.submitHost = "h";
  const std::string message = info.Encode();
  std::optional<Velk::CrashAppInfo> back = Velk::CrashAppInfo::Decode(message);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->crashInfo, info.crashInfo);
  EXPECT_EQ(back->uploadFields, info.uploadFields);
  EXPECT_TRUE(back->hasApplication && back->demoAvailable && !back->showWindow && back->uploadAllowed);
  EXPECT_EQ(back->demoFile, "d.dmo");
  EXPECT_EQ(back->submitHost, "h");
  for (size_t cut : {size_t{0}, size_t{5}, size_t{20}, message.size() - 1})
    EXPECT_FALSE(Velk::CrashAppInfo::Decode(message.substr(0, cut))) << cut;
  EXPECT_FALSE(Velk::CrashAppInfo::Decode(message + "x"));
  std::string huge = message;
  huge[9] = '\xff';  // the crash information's length now reaches far past the end
  EXPECT_FALSE(Velk::CrashAppInfo::Decode(huge));
}

void FaultAt(uintptr_t address) { *reinterpret_cast<volatile int*>(address) = 1; }

TEST(CrashCatcherTest, AFaultingProcessLeavesCrashTxt) {
  // A threadsafe death test runs this body again in a fresh process; the folder made here reaches
  // that process through the environment, so the crash is written where this one looks for it.
  const char* const kFolderVariable = "VELK_CRASH_TEST_FOLDER";
  std::optional<ScratchFolder> scratch;
  const char* inherited = std::getenv(kFolderVariable);
  const std::filesystem::path dir = inherited != nullptr ? inherited : scratch.emplace().Path();
  ScopedEnv handOver(kFolderVariable, dir.c_str());
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::filesystem::current_path(dir);
        Velk::CrashCatcher::SetShowWindow(false);
        Velk::CrashCatcher::Install();
        volatile uintptr_t address = 16;
        FaultAt(address);
      },
      testing::KilledBySignal(SIGSEGV), "");
  std::ifstream file(dir / "crash.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("Exception: Access Violation (code 0xc0000005) at address ", 0), 0u) << text;
  EXPECT_NE(text.find("\r\nModule: test_app\r\nLogical Address: 0001:"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\nFlags:"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "\r\n\n");
}

}  // namespace
