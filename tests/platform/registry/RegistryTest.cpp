#include "platform/registry/Registry.h"

#include "../ScopedEnv.h"
#include "../ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Registry : public ::testing::Test {
 protected:
  ScratchFolder dir;
  ScopedEnv config{"XDG_CONFIG_HOME", dir.Path().c_str()};

  // What the application's writer does: open for writing, else create.
  HKEY OpenForWriting(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &key) == static_cast<LONG>(ERROR_SUCCESS)) return key;
    char keyClass[] = "Key";
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, keyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              static_cast<LONG>(ERROR_SUCCESS));
    return key;
  }

  void SetDword(const char* path, const char* name, DWORD value) {
    HKEY key = OpenForWriting(path);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4), 0);
    RegCloseKey(key);
  }

  void SetText(const char* path, const char* name, const std::string& text) {
    HKEY key = OpenForWriting(path);
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size())),
              0);
    RegCloseKey(key);
  }

  // Type and bytes of a value, or the error code as the type.
  std::pair<LONG, std::string> Query(const char* path, const char* name) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
    if (status != 0) return {-status, ""};
    DWORD type = 0;
    BYTE data[256] = {};
    DWORD size = sizeof data;
    status = RegQueryValueExA(key, name, nullptr, &type, data, &size);
    RegCloseKey(key);
    if (status != 0) return {-status, ""};
    return {static_cast<LONG>(type), std::string(reinterpret_cast<char*>(data), size)};
  }
};

TEST_F(Registry, ValuesSurviveInOneFilePerKey) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Drimak Games\\Pelune Cafe", 0, KEY_WRITE, &key),
            static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(key, nullptr);
  char keyClass[] = "Key";
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Drimak Games\\Pelune Cafe", 0, keyClass, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            0);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  DWORD volume = 85;
  EXPECT_EQ(RegSetValueExA(key, "MusicVolume", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&volume), 4), 0);
  EXPECT_EQ(RegSetValueExA(key, "DemoJumpTime", 0, REG_SZ, reinterpret_cast<const BYTE*>("1:30"), 4), 0);
  EXPECT_EQ(RegCloseKey(key), 0);
  EXPECT_EQ(RegCloseKey(key), static_cast<LONG>(ERROR_INVALID_HANDLE));

  EXPECT_EQ(ReadAll(dir / "Drimak Games/Pelune Cafe/settings.ini"),
            "\"MusicVolume\"=dword:00000055\n\"DemoJumpTime\"=\"1:30\"\n");
  // Key and value names ignore case.
  EXPECT_EQ(Query("software\\DRIMAK GAMES/pelune cafe", "musicvolume"),
            std::make_pair(static_cast<LONG>(REG_DWORD), std::string("\x55\0\0\0", 4)));
  EXPECT_EQ(Query("SOFTWARE\\Drimak Games\\Pelune Cafe\\", "DemoJumpTime"),
            std::make_pair(static_cast<LONG>(REG_SZ), std::string("1:30")));

  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\drimak games\\PELUNE CAFE", 0, keyClass, 0, KEY_ALL_ACCESS,
                            nullptr, &key, &disposition),
            0);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  RegCloseKey(key);
}

TEST_F(Registry, SubkeysAreKeysOfTheirOwn) {
  SetText("SOFTWARE\\Game\\Test3D", "RuntimeError", "DrawPrimitive (Rect): DDERR_GENERIC");
  SetDword("SOFTWARE\\Game", "Is3D", 1);
  EXPECT_EQ(Query("SOFTWARE\\Game", "RuntimeError").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Query("SOFTWARE\\Game\\Test3D", "RuntimeError").second, "DrawPrimitive (Rect): DDERR_GENERIC");
  EXPECT_TRUE(fs::exists(dir / "Game/Test3D/settings.ini"));

  // A subkey opened below an open key.
  HKEY parent = nullptr, child = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, KEY_READ, &parent), 0);
  ASSERT_EQ(RegOpenKeyExA(parent, "test3d", 0, KEY_READ, &child), 0);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(child, "RuntimeError", nullptr, nullptr, nullptr, &size), 0);
  EXPECT_EQ(size, 35u);
  RegCloseKey(child);
  RegCloseKey(parent);
}

TEST_F(Registry, MissingThingsAndBadNames) {
  EXPECT_EQ(Query("SOFTWARE\\Nobody", "x").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  SetDword("SOFTWARE\\Game", "Muted", 0);
  EXPECT_EQ(Query("SOFTWARE\\Game", "Unmuted").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));

  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\..\\..\\etc", 0, KEY_READ, &key),
            static_cast<LONG>(ERROR_INVALID_NAME));
  char keyClass[] = "Key";
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game\\..\\x", 0, keyClass, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr),
            static_cast<LONG>(ERROR_INVALID_NAME));
  EXPECT_FALSE(fs::exists(dir / "x"));
  int notAKey = 0;
  EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(&notAKey), "a", 0, KEY_READ, &key),
            static_cast<LONG>(ERROR_INVALID_HANDLE));
}

TEST_F(Registry, DeleteValueOnlyWithWriteAccess) {
  SetDword("SOFTWARE\\Game", "Is3D", 1);
  SetDword("SOFTWARE\\Game", "InProgress", 1);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, KEY_READ, &key), 0);
  EXPECT_EQ(RegDeleteValueA(key, "Is3D"), static_cast<LONG>(ERROR_ACCESS_DENIED));
  DWORD one = 1;
  EXPECT_EQ(RegSetValueExA(key, "Is3D", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
            static_cast<LONG>(ERROR_ACCESS_DENIED));
  RegCloseKey(key);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, KEY_WRITE, &key), 0);
  EXPECT_EQ(RegDeleteValueA(key, "IS3D"), 0);
  EXPECT_EQ(RegDeleteValueA(key, "Is3D"), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  DWORD size = 4;
  BYTE data[4];
  EXPECT_EQ(RegQueryValueExA(key, "InProgress", nullptr, nullptr, data, &size), static_cast<LONG>(ERROR_ACCESS_DENIED));
  RegCloseKey(key);
  EXPECT_EQ(Query("SOFTWARE\\Game", "Is3D").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(Query("SOFTWARE\\Game", "InProgress").first, static_cast<LONG>(REG_DWORD));
}

TEST_F(Registry, TypesAndSizes) {
  HKEY key = OpenForWriting("SOFTWARE\\Game");
  DWORD value = 7;
  auto bytes = reinterpret_cast<const BYTE*>(&value);
  EXPECT_EQ(RegSetValueExA(key, "Short", 0, REG_DWORD, bytes, 2), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "Binary", 0, 3, bytes, 4), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_SZ, nullptr, 3), static_cast<LONG>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(RegSetValueExA(key, "Empty", 0, REG_SZ, nullptr, 0), 0);
  // A text where a number is expected: the type tells, and a small buffer is refused.
  EXPECT_EQ(RegSetValueExA(key, "ScreenMode", 0, REG_SZ, reinterpret_cast<const BYTE*>("fullscreen"), 10), 0);
  RegCloseKey(key);

  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Game", 0, KEY_READ, &key), 0);
  DWORD type = 0;
  BYTE data[16];
  DWORD size = 4;
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, &type, data, &size), static_cast<LONG>(ERROR_MORE_DATA));
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, &type, data, nullptr), static_cast<LONG>(ERROR_INVALID_PARAMETER));

  // The text gets a terminator when there is room for one, and its size never counts it.
  std::fill(std::begin(data), std::end(data), 'Z');
  size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, nullptr, data, &size), 0);
  EXPECT_EQ(size, 10u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "fullscreen");
  std::fill(std::begin(data), std::end(data), 'Z');
  size = 10;
  EXPECT_EQ(RegQueryValueExA(key, "ScreenMode", nullptr, nullptr, data, &size), 0);
  EXPECT_EQ(data[10], 'Z');
  size = sizeof data;
  EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, &type, data, &size), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(data[0], 0);
  RegCloseKey(key);
}

TEST_F(Registry, WritesReplaceTheFileWhole) {
  SetDword("SOFTWARE\\Game", "SfxVolume", 50);
  std::string file = dir / "Game/settings.ini";
  fs::create_hard_link(file, dir / "before.ini");
  SetDword("SOFTWARE\\Game", "SfxVolume", 51);
  // The old file was renamed over, not rewritten in place: a link to it keeps the old bytes.
  EXPECT_EQ(ReadAll(dir / "before.ini"), "\"SfxVolume\"=dword:00000032\n");
  EXPECT_EQ(ReadAll(file), "\"SfxVolume\"=dword:00000033\n");
  for (const auto& entry : fs::directory_iterator(dir / "Game")) {
    EXPECT_EQ(entry.path().filename(), "settings.ini");
  }
}

TEST_F(Registry, DamagedFileReadsAsEmptyKeyAndIsRepaired) {
  dir.Write("Game/settings.ini", "\"MusicVolume\"=dword:00000055\n\"Broken\"=\"no end\n");
  EXPECT_EQ(Query("SOFTWARE\\Game", "MusicVolume").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));
  SetDword("SOFTWARE\\Game", "MusicVolume", 10);
  EXPECT_EQ(ReadAll(dir / "Game/settings.ini"), "\"MusicVolume\"=dword:0000000a\n");

  dir.Write("Game/settings.ini", std::string("\0\xff\x01garbage", 10));
  EXPECT_EQ(Query("SOFTWARE\\Game", "MusicVolume").first, -static_cast<LONG>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
