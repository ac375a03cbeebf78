#include "platform/modules/Modules.h"

#include "platform/base/LastError.h"
#include "platform/files/ShellFolders.h"
#include "platform/process/ProcessInfo.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

int Seven() { return 7; }

class Modules : public ::testing::Test {
 protected:
  void TearDown() override { Velk::ModuleTable::ShowAll(); }
};

TEST_F(Modules, UnknownModulesDoNotLoad) {
  SetLastError(0);
  EXPECT_EQ(LoadLibraryA("fmod.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA("j2k-codec.dll"), nullptr);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
}

TEST_F(Modules, NamesIgnoreCaseFolderAndMissingExtension) {
  HMODULE a = LoadLibraryA("shell32.dll");
  HMODULE b = LoadLibraryA("SHELL32");
  HMODULE c = LoadLibraryA("C:\\Windows\\System32\\Shell32.DLL");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a, c);
  EXPECT_EQ(LoadLibraryA("shell32."), nullptr);  // a trailing dot forbids the implied ".dll"
  EXPECT_EQ(GetProcAddress(a, "SHGetFolderPathA"), reinterpret_cast<FARPROC>(&SHGetFolderPathA));
  EXPECT_EQ(GetProcAddress(a, "shgetfolderpatha"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_NE(GetProcAddress(LoadLibraryA("shfolder.dll"), "SHGetFolderPathA"), nullptr);
  FreeLibrary(GetModuleHandleA("shfolder.dll"));
  for (int i = 0; i < 3; ++i) FreeLibrary(a);
}

TEST_F(Modules, LastFreeUnloads) {
  HMODULE first = LoadLibraryA("shell32.dll");
  HMODULE second = LoadLibraryA("shell32.dll");
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(GetModuleHandleA("shell32.dll"), first);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("shell32.dll"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "SHGetFolderPathA"), nullptr);
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  int notAModule = 0;
  EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));
  EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(&notAModule), "x"), nullptr);
}

TEST_F(Modules, SystemLibrariesAreResidentAndLackOptionalEntries) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  ASSERT_NE(user32, nullptr);
  EXPECT_EQ(GetProcAddress(user32, "GetLastInputInfo"), nullptr);
  EXPECT_TRUE(FreeLibrary(user32));
  EXPECT_NE(GetModuleHandleA("USER32"), nullptr);
}

TEST_F(Modules, TestsCanHideModulesAndEntries) {
  Velk::ModuleTable::Register("test-sound.dll", {{"Create", reinterpret_cast<FARPROC>(&Seven)}});
  Velk::ModuleTable::Hide("TEST-SOUND");
  EXPECT_EQ(LoadLibraryA("test-sound.dll"), nullptr);
  Velk::ModuleTable::Hide("test-sound.dll", false);
  HMODULE module = LoadLibraryA("test-sound.dll");
  ASSERT_NE(module, nullptr);
  Velk::ModuleTable::HideEntry("test-sound.dll", "Create");
  EXPECT_EQ(GetProcAddress(module, "Create"), nullptr);
  Velk::ModuleTable::ShowAll();
  auto create = reinterpret_cast<int (*)()>(GetProcAddress(module, "Create"));
  ASSERT_NE(create, nullptr);
  EXPECT_EQ(create(), 7);
  FreeLibrary(module);
}

TEST_F(Modules, ProgramModuleServesRegisteredCallbacks) {
  HMODULE self = GetModuleHandleA(nullptr);
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(GetProcAddress(self, "AnimFadeIn"), nullptr);
  Velk::ModuleTable::RegisterProgramExport("AnimFadeIn", reinterpret_cast<FARPROC>(&Seven));
  EXPECT_EQ(GetProcAddress(self, "AnimFadeIn"), reinterpret_cast<FARPROC>(&Seven));
  Velk::ModuleTable::HideEntry("", "AnimFadeIn");
  EXPECT_EQ(GetProcAddress(GetModuleHandle(nullptr), "AnimFadeIn"), nullptr);
  EXPECT_TRUE(FreeLibrary(self));
  Velk::ModuleTable::ShowAll();
  EXPECT_NE(GetProcAddress(self, "AnimFadeIn"), nullptr);
}

TEST_F(Modules, FileNameOfTheProgramAndOfAStandIn) {
  const std::string& program = Velk::GetProgramPath();
  ASSERT_GT(program.size(), 5u);
  char buffer[4096];
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), program.size());
  EXPECT_EQ(std::string(buffer), program);
  EXPECT_EQ(GetModuleFileName(GetModuleHandle(nullptr), buffer, sizeof buffer), program.size());

  char small[5];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(small), program.substr(0, 4));

  HMODULE shell = LoadLibraryA("Shell32");
  EXPECT_EQ(GetModuleFileNameA(shell, buffer, sizeof buffer), 11u);
  EXPECT_STREQ(buffer, "shell32.dll");
  FreeLibrary(shell);
}

}  // namespace
