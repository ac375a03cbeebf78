#pragma once
// The modes of what the player runs and reads in a test's folders, whatever the test's umask: the
// build's own may keep everything from other users (a build made under umask 077).

#include <filesystem>

namespace E2e {

constexpr std::filesystem::perms kSearchable =
    std::filesystem::perms::owner_all | std::filesystem::perms::group_exec | std::filesystem::perms::others_exec;
constexpr std::filesystem::perms kReadable = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read | std::filesystem::perms::others_read;
constexpr std::filesystem::perms kRunnable = kReadable | std::filesystem::perms::owner_exec |
                                             std::filesystem::perms::group_exec | std::filesystem::perms::others_exec;

}  // namespace E2e
