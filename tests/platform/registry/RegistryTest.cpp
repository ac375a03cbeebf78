#include "platform/registry/Registry.h"

#include "../ScopedEnv.h"
#include "../ScratchFolder.h"
#include "app/OtherUser.h"
#include "platform/files/KeptCopy.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>

namespace {

namespace fs = std::filesystem;

constexpr LONG kOk = 0;
constexpr LONG kNotFound = static_cast<LONG>(ERROR_FILE_NOT_FOUND);

class Registry : public ::testing::Test {
 protected:
  ScratchFolder dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};

  HKEY Open(const char* path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &key), kOk) << path;
    return key;
  }

  // What the application's writer does: open for writing, else create.
  void Set(const char* path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    char keyClass[] = "Key";
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &key) != kOk) {
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), kOk);
    }
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              kOk);
    RegCloseKey(key);
  }

  // The status and the bytes of a value read into a 256-byte buffer.
  std::pair<LONG, std::string> Query(const char* path, const char* name) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    if (status != kOk) return {status, ""};
    BYTE data[256];
    DWORD size = sizeof data;
    status = RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
    RegCloseKey(key);
    return {status, status == kOk ? std::string(reinterpret_cast<char*>(data), size) : ""};
  }
};

TEST_F(Registry, ValuesSurviveInOneFilePerKey) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Drimak Games\\Pelune Cafe", 0, KEY_WRITE, &key), kNotFound);
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Drimak Games\\Pelune Cafe", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            kOk);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  DWORD volume = 85;
  EXPECT_EQ(RegSetValueExA(key, "MusicVolume", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&volume), 4), kOk);
  EXPECT_EQ(RegSetValueExA(key, "DemoJumpTime", 0, REG_SZ, reinterpret_cast<const BYTE*>("1:30"), 4), kOk);
  EXPECT_EQ(RegCloseKey(key), kOk);
  EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_INVALID_HANDLE));

  EXPECT_EQ(ReadWholeFile(dir / "Drimak Games/Pelune Cafe/settings.ini"),
            "\"MusicVolume\"=dword:00000055\n\"DemoJumpTime\"=\"1:30\"\n");
  // Key and value names ignore case.
  EXPECT_EQ(Query("software\\DRIMAK GAMES/pelune cafe\\", "musicvolume").second, std::string("\x55\0\0\0", 4));
  EXPECT_EQ(Query("SOFTWARE\\Drimak Games\\Pelune Cafe", "DemoJumpTime").second, "1:30");
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\drimak games\\PELUNE CAFE", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            kOk);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);
}

TEST_F(Registry, SubkeysAreKeysOfTheirOwn) {
  Set("SOFTWARE\\Game\\Test3D", "RuntimeError", REG_SZ, "DrawPrimitive (Rect): failed");
  Set("SOFTWARE\\Game", "Is3D", REG_DWORD, std::string("\1\0\0\0", 4));
  EXPECT_EQ(Query("SOFTWARE\\Game", "RuntimeError").first, kNotFound);
  EXPECT_TRUE(fs::exists(dir / "Game/Test3D/settings.ini"));
  HKEY parent = Open("SOFTWARE\\Game");
  HKEY child = nullptr;
  ASSERT_EQ(RegOpenKeyExA(parent, "test3d", 0, KEY_READ, &child), kOk);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(child, "RuntimeError", nullptr, &type, nullptr, &size), kOk);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 28u);
  RegCloseKey(child);
  RegCloseKey(parent);
}

TEST_F(Registry, MissingKeysValuesAndBadNames) {
  EXPECT_EQ(Query("SOFTWARE\\Nobody", "x").first, kNotFound);
  Set("SOFTWARE\\Game", "Muted", REG_DWORD, std::string(4, '\0'));
  EXPECT_EQ(Query("SOFTWARE\\Game", "Unmuted").first, kNotFound);
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\..\\..\\etc", 0, KEY_READ, &key),
            static_cast<LONG>(ERROR_INVALID_NAME));
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game\\..\\x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            static_cast<LONG>(ERROR_INVALID_NAME));
  EXPECT_FALSE(fs::exists(dir / "x"));
  int notAKey = 0;
  EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(&notAKey), "a", 0, KEY_READ, &key),
            static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, AccessRightsAndDeletion) {
  Set("SOFTWARE\\Game", "Is3D", REG_DWORD, std::string("\1\0\0\0", 4));
  HKEY reader = Open("SOFTWARE\\Game");
  EXPECT_EQ(RegDeleteValueA(reader, "Is3D"), static_cast<LONG>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegSetValueExA(reader, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1),
            static_cast<LONG>(ERROR_ACCESS_DENIED));
  RegCloseKey(reader);
  HKEY writer = Open("SOFTWARE\\Game", KEY_WRITE);
  DWORD size = 4;
  BYTE data[4];
  EXPECT_EQ(RegQueryValueExA(writer, "Is3D", nullptr, nullptr, data, &size), static_cast<LONG>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(RegDeleteValueA(writer, "IS3D"), kOk);
  EXPECT_EQ(RegDeleteValueA(writer, "Is3D"), kNotFound);
  RegCloseKey(writer);
  EXPECT_EQ(Query("SOFTWARE\\Game", "Is3D").first, kNotFound);
}

TEST_F(Registry, TypesAndSizes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            kOk);
  auto bytes = reinterpret_cast<const BYTE*>("fullscreen");
  EXPECT_EQ(RegSetValueExA(key, "Short", 0, REG_DWORD, bytes, 2), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "Binary", 0, 3, bytes, 4), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_SZ, nullptr, 3), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "ScreenMode", 0, REG_SZ, bytes, 10), kOk);

  // A text where a number is expected: the type tells, and a small buffer is refused with the size.
  DWORD type = 0, size = 4;
  BYTE data[16];
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, &type, data, &size), static_cast<LONG>(ERROR_MORE_DATA));
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 10u);
  // The text gets a terminator when there is room for one; its size never counts it.
  std::fill(std::begin(data), std::end(data), 'Z');
  size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, nullptr, data, &size), kOk);
  EXPECT_EQ(size, 10u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "fullscreen");
  std::fill(std::begin(data), std::end(data), 'Z');
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, nullptr, data, &size), kOk);
  EXPECT_EQ(data[10], 'Z');
  RegCloseKey(key);
}

TEST_F(Registry, WritesReplaceTheFileWholeAndRepairDamage) {
  Set("SOFTWARE\\Game", "SfxVolume", REG_DWORD, std::string("\x32\0\0\0", 4));
  std::string file = dir / "Game/settings.ini";
  fs::create_hard_link(file, dir / "before.ini");
  Set("SOFTWARE\\Game", "SfxVolume", REG_DWORD, std::string("\x33\0\0\0", 4));
  // Renamed over, not rewritten in place: a link to the old file keeps the old bytes.
  EXPECT_EQ(ReadWholeFile(dir / "before.ini"), "\"SfxVolume\"=dword:00000032\n");
  EXPECT_EQ(ReadWholeFile(file), "\"SfxVolume\"=dword:00000033\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "Game"), fs::directory_iterator()), 1);
}

// Eight values and one line that does not read: the eight stay, read and written, and the file
// and line are named once.
TEST_F(Registry, ABadLineCostsOnlyItself) {
  std::string good;
  for (int i = 1; i <= 8; ++i) good += "\"Value" + std::to_string(i) + "\"=dword:0000000" + std::to_string(i) + "\n";
  dir.Write("Game/settings.ini", good.substr(0, good.size() / 2) + "\"Broken=dword:1\n" + good.substr(good.size() / 2));
  testing::internal::CaptureStderr();
  for (int i = 1; i <= 8; ++i) {
    std::string name = "Value" + std::to_string(i);
    EXPECT_EQ(Query("SOFTWARE\\Game", name.c_str()), std::make_pair(kOk, std::string{char(i), 0, 0, 0})) << name;
  }
  std::string log = testing::internal::GetCapturedStderr();
  std::string file = dir / "Game/settings.ini";
  EXPECT_EQ(log, "settings file " + file + ", line 5 does not read; the line is skipped\n");

  Set("SOFTWARE\\Game", "Value9", REG_DWORD, std::string("\x09\0\0\0", 4));
  EXPECT_EQ(ReadWholeFile(file), good + "\"Value9\"=dword:00000009\n");
}

// A file that is no key file at all is kept aside for the user, beside the copies kept before, and
// the key starts afresh.
TEST_F(Registry, AnUnreadableFileIsKeptAsideBeforeAnythingIsWritten) {
  std::string file = dir / "Game/settings.ini";
  const std::string junk(
      "\x7f"
      "ELF\0\x01\x02garbage",
      13);
  const std::string older = "\"Old\"=\"older copy\"\n";
  dir.Write("Game/settings.ini.bad", older);
  const std::string kinds[] = {junk, "no line here reads\n", std::string((1 << 20) + 1, 'x')};
  for (int n = 1; n <= 3; ++n) {
    const std::string& contents = kinds[n - 1];
    const std::string kept = file + ".bad." + std::to_string(n);
    dir.Write("Game/settings.ini", contents);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Query("SOFTWARE\\Game", "MusicVolume").first, kNotFound);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("kept aside as " + kept + "\n"), std::string::npos) << log;
    EXPECT_EQ(ReadWholeFile(kept), contents);
    Set("SOFTWARE\\Game", "MusicVolume", REG_DWORD, std::string("\x55\0\0\0", 4));
    EXPECT_EQ(ReadWholeFile(file), "\"MusicVolume\"=dword:00000055\n");
    EXPECT_EQ(ReadWholeFile(file + ".bad"), older) << "an older copy is replaced";
  }
}

// Kept aside past a folder at the first name, and where the filesystem cannot rename without
// replacing; the settings are then written.
TEST_F(Registry, AFileIsKeptAsidePastAFolderAndWithoutNoReplaceRename) {
  const std::string file = dir / "Game/settings.ini";
  fs::create_directories(file + ".bad/inside");
  const int refusals[] = {0, EINVAL, ENOSYS};
  for (int n = 1; n <= 3; ++n) {
    dir.Write("Game/settings.ini", "junk\n");
    Velk::RefuseNoReplaceRename(refusals[n - 1]);
    Set("SOFTWARE\\Game", "MusicVolume", REG_DWORD, std::string("\x55\0\0\0", 4));
    Velk::RefuseNoReplaceRename(0);
    EXPECT_EQ(ReadWholeFile(file + ".bad." + std::to_string(n)), "junk\n") << n;
    EXPECT_EQ(ReadWholeFile(file), "\"MusicVolume\"=dword:00000055\n") << n;
  }
  EXPECT_TRUE(fs::is_directory(file + ".bad/inside"));
}

// What `body`, run in a child process as `user`, writes on its standard error, and its exit status
// (-1 when it did not exit).
std::pair<int, std::string> AsUser(const Velk::Testing::UserId& user, const std::function<int()>& body) {
  int errors[2];
  if (pipe(errors) != 0) return {-1, std::strerror(errno)};
  const pid_t pid = fork();
  if (pid == 0) {
    close(errors[0]);
    dup2(errors[1], 2);
    _exit(Velk::Testing::BecomeUser(user) ? body() : 100);
  }
  close(errors[1]);
  std::string told;
  char buffer[256];
  for (ssize_t got; (got = read(errors[0], buffer, sizeof buffer)) > 0;) told.append(buffer, static_cast<size_t>(got));
  close(errors[0]);
  int status = 0;
  const bool exited = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status);
  return {exited ? WEXITSTATUS(status) : -1, told};
}

// A file that could not be set aside, a folder in the file's place and (unless root, who reads
// every file) a file that cannot be read are left as they are for the run, even once usable. So is
// a file this process may not write (unless root, who writes every file), whose values are still read:
// one made read-only, or another user's (root's, as "nobody" reads it), which its mode lets its owner
// write and which is told as such.
TEST_F(Registry, WhatIsLeftAloneStaysSoForTheRun) {
  const std::string mine = "\"MusicVolume\"=dword:00000021\n", junk = "no line here reads\n";
  const std::pair<LONG, std::string> kept = {kOk, std::string("\x21\0\0\0", 4)};
  const bool player = geteuid() != 0;
  dir.Write("Refused/settings.ini", junk);
  dir.Write("Unreadable/settings.ini", mine);
  dir.Write("ReadOnly/settings.ini", mine);
  fs::create_directories(dir / "Folder/settings.ini");
  fs::permissions(dir / "Unreadable/settings.ini", fs::perms::none);
  fs::permissions(dir / "ReadOnly/settings.ini", fs::perms::owner_read);
  std::vector<std::string> keys = {"Refused", "Folder"};
  if (player) keys.push_back("Unreadable");
  Velk::RefuseNoReplaceRename(EROFS);
  testing::internal::CaptureStderr();
  for (const std::string& key : keys) EXPECT_EQ(Query(("SOFTWARE\\" + key).c_str(), "MusicVolume").first, kNotFound);
  if (player) EXPECT_EQ(Query("SOFTWARE\\ReadOnly", "MusicVolume"), kept);
  Velk::RefuseNoReplaceRename(0);
  fs::remove(dir / "Folder/settings.ini");
  for (const char* file : {"Unreadable/settings.ini", "ReadOnly/settings.ini"})
    fs::permissions(dir / file, fs::perms::owner_read | fs::perms::owner_write);
  if (player) keys.push_back("ReadOnly");
  for (const std::string& key : keys) {
    HKEY handle = Open(("SOFTWARE\\" + key).c_str(), KEY_ALL_ACCESS);
    EXPECT_EQ(RegSetValueExA(handle, "MusicVolume", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1),
              static_cast<LONG>(ERROR_ACCESS_DENIED))
        << key;
    EXPECT_EQ(Query(("SOFTWARE\\" + key).c_str(), "MusicVolume"),
              key == "ReadOnly" ? kept : std::make_pair(kNotFound, std::string()))
        << key;
    RegCloseKey(handle);
  }
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), static_cast<long>(keys.size())) << log;
  EXPECT_NE(log.find(std::string("(") + std::strerror(EROFS) + "); it is left as it is\n"), std::string::npos) << log;
  if (player) {
    EXPECT_NE(log.find("settings file " + (dir / "ReadOnly/settings.ini") +
                       " is read-only; its values are used, and the settings of this run are not kept\n"),
              std::string::npos)
        << log;
  }
  EXPECT_EQ(ReadWholeFile(dir / "Refused/settings.ini"), junk);
  EXPECT_FALSE(fs::exists(dir / "Folder/settings.ini"));
  EXPECT_EQ(ReadWholeFile(dir / "Unreadable/settings.ini"), mine);
  EXPECT_EQ(ReadWholeFile(dir / "ReadOnly/settings.ini"), mine);

  const std::optional<Velk::Testing::UserId> nobody = player ? std::nullopt : Velk::Testing::UserNamed("nobody");
  if (!nobody) return;
  const ScratchFolder shared{Velk::Testing::TemporaryFolderFor(nobody)};
  shared.Write("Root/settings.ini", mine);
  for (const std::string& folder : {shared.Path(), shared / "Root"}) fs::permissions(folder, fs::perms(0755));
  fs::permissions(shared / "Root/settings.ini", fs::perms(0644));
  const ScopedEnv sharedConfig{"XDG_CONFIG_HOME", shared.Path().c_str()};
  const auto [status, told] = AsUser(*nobody, [&] {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Root", 0, KEY_ALL_ACCESS, &handle) != kOk) return 1;
    const LONG set = RegSetValueExA(handle, "MusicVolume", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
    RegCloseKey(handle);
    return set == static_cast<LONG>(ERROR_ACCESS_DENIED) && Query("SOFTWARE\\Root", "MusicVolume") == kept ? 0 : 2;
  });
  EXPECT_EQ(status, 0) << told;
  EXPECT_EQ(told, "settings file " + (shared / "Root/settings.ini") +
                      " cannot be written by this user (access denied); its values are used, and the settings of this "
                      "run are not kept\n");
  EXPECT_EQ(ReadWholeFile(shared / "Root/settings.ini"), mine);
}

// A settings folder that cannot be made is named once a run, with the reason; nothing else fails.
TEST_F(Registry, AnUnwritableFolderIsReportedOnce) {
  dir.Write("plain-file", "x");
  ScopedEnv blocked{"XDG_CONFIG_HOME", (dir / "plain-file").c_str()};
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) {
    HKEY key = nullptr;
    char keyClass[] = "Key";
    EXPECT_NE(
        RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        kOk);
  }
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log, "settings cannot be saved in " + (dir / "plain-file/Game") + ": " + (dir / "plain-file") +
                     " is a file, not a folder\n");
}

// Temporaries of writers that were killed go before the first write; those of live ones stay.
TEST_F(Registry, TemporariesOfDeadWritersAreRemoved) {
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  ASSERT_GT(dead, 0);
  waitpid(dead, nullptr, 0);
  const std::string stale = "Game/settings.ini." + std::to_string(dead) + ".3.tmp";
  const std::string live = "Game/settings.ini." + std::to_string(getppid()) + ".0.tmp";
  const std::string other = "Game/other.ini." + std::to_string(dead) + ".0.tmp";
  for (const std::string& name : {stale, live, other}) dir.Write(name, "\"Half");
  Set("SOFTWARE\\Game", "SfxVolume", REG_DWORD, std::string("\x32\0\0\0", 4));
  EXPECT_FALSE(fs::exists(dir / stale));
  EXPECT_TRUE(fs::exists(dir / live));
  EXPECT_TRUE(fs::exists(dir / other));
  EXPECT_EQ(ReadWholeFile(dir / "Game/settings.ini"), "\"SfxVolume\"=dword:00000032\n");
}

}  // namespace
