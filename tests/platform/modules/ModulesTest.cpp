#include "platform/modules/Modules.h"

#include "platform/base/LastError.h"
#include "platform/dsound/DSound.h"
#include "platform/files/ShellFolders.h"
#include "platform/process/ProcessInfo.h"

#include <gtest/gtest.h>

namespace {

int Seven() { return 7; }

class Modules : public ::testing::Test {
 protected:
  void TearDown() override { Velk::ModuleTable::ShowAll(); }
};

TEST_F(Modules, NamesIgnoreCaseFolderAndMissingExtension) {
  EXPECT_EQ(LoadLibraryA("nosuch.dll"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  HMODULE a = LoadLibraryA("shell32.dll");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LoadLibraryA("SHELL32"), a);
  EXPECT_EQ(LoadLibraryA("C:\\Windows\\System32\\Shell32.DLL"), a);
  EXPECT_EQ(LoadLibraryA("shell32."), nullptr);  // a trailing dot forbids the implied ".dll"
  EXPECT_EQ(GetProcAddress(a, "SHGetFolderPathA"), reinterpret_cast<FARPROC>(&SHGetFolderPathA));
  EXPECT_EQ(GetProcAddress(a, "shgetfolderpatha"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  HMODULE dsound = LoadLibraryA("dsound.dll");
  EXPECT_EQ(GetProcAddress(dsound, "DirectSoundCreate"), reinterpret_cast<FARPROC>(&DirectSoundCreate));
  FreeLibrary(dsound);
  for (int i = 0; i < 3; ++i) FreeLibrary(a);
}

TEST_F(Modules, LastFreeUnloadsButSystemLibrariesStay) {
  HMODULE first = LoadLibraryA("shfolder.dll");
  ASSERT_EQ(LoadLibraryA("shfolder.dll"), first);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("shfolder.dll"), first);
  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(GetModuleHandleA("shfolder.dll"), nullptr);
  EXPECT_EQ(GetProcAddress(first, "SHGetFolderPathA"), nullptr);
  EXPECT_FALSE(FreeLibrary(first));
  int notAModule = 0;
  EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&notAModule)));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  HMODULE user32 = GetModuleHandleA("user32.dll");
  ASSERT_NE(user32, nullptr);
  EXPECT_TRUE(FreeLibrary(user32));
  EXPECT_EQ(GetModuleHandleA("USER32"), user32);
  EXPECT_EQ(GetProcAddress(user32, "GetSystemMenu"), nullptr);
  EXPECT_NE(GetProcAddress(user32, "GetLastInputInfo"), nullptr);
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
  HMODULE self = GetModuleHandle(nullptr);
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(GetProcAddress(self, "AnimFadeIn"), nullptr);
  Velk::ModuleTable::RegisterProgramExport("AnimFadeIn", reinterpret_cast<FARPROC>(&Seven));
  EXPECT_EQ(GetProcAddress(self, "AnimFadeIn"), reinterpret_cast<FARPROC>(&Seven));
  Velk::ModuleTable::HideEntry("", "AnimFadeIn");
  EXPECT_EQ(GetProcAddress(self, "AnimFadeIn"), nullptr);
  EXPECT_TRUE(FreeLibrary(self));
  EXPECT_EQ(GetModuleHandle(nullptr), self);
}

TEST_F(Modules, FileNames) {
  const std::string& program = Velk::GetProgramPath();
  char buffer[4096];
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, sizeof buffer), program.size());
  EXPECT_EQ(std::string(buffer), program);
  char small[5];
  EXPECT_EQ(GetModuleFileName(GetModuleHandle(nullptr), small, sizeof small), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(small), program.substr(0, 4));
  HMODULE shell = LoadLibraryA("Shell32");
  EXPECT_EQ(GetModuleFileNameA(shell, buffer, sizeof buffer), 11u);
  EXPECT_STREQ(buffer, "shell32.dll");
  FreeLibrary(shell);
}

}  // namespace
