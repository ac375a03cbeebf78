#pragma once
// What the archive packing tool does: pack a folder, list an archive, extract it. Listing and
// extraction go through the real reader, so they show what the program will see.

#include <ostream>
#include <string>

namespace Velk {

class PakPacker {
 public:
  enum class TimeStamps { Fixed, FromFiles };

  // Every regular file below the folder becomes a member named by its relative path with '\'
  // separators; fixed time stamps (0) keep the output reproducible.
  static bool Create(const std::string& archivePath, const std::string& folder, TimeStamps times, std::string& error);

  // One line per member: size, two spaces, stored name.
  static bool List(const std::string& archivePath, std::ostream& out, std::string& error);

  // Refuses archives with a member name that would land outside the target folder.
  static bool Extract(const std::string& archivePath, const std::string& folder, std::string& error);
};

}  // namespace Velk
