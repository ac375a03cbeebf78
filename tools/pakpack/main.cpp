// pakpack: packs a folder into a .pak archive, lists one, or extracts one.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "resources/PakPacker.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Usage:\n"
    "  pakpack create ARCHIVE FOLDER [--mtime fixed|file]\n"
    "      Pack every file below FOLDER; member names are the relative paths with '\\'.\n"
    "      --mtime fixed (default) stores time 0 for reproducible output; file stores each\n"
    "      file's modification time.\n"
    "  pakpack list ARCHIVE\n"
    "      Print each member's size and name.\n"
    "  pakpack extract ARCHIVE FOLDER\n"
    "      Write every member below FOLDER.\n"
    "  pakpack --help\n";

int Usage(const std::string& problem) {
  std::cerr << "pakpack: " << problem << "\n" << kUsage;
  return kExitUsage;
}

int Result(bool ok, const std::string& error) {
  if (ok) return 0;
  std::cerr << "pakpack: " << error << "\n";
  return kExitFailure;
}

int Create(int argc, char** argv) {
  Velk::PakPacker::TimeStamps times = Velk::PakPacker::TimeStamps::Fixed;
  if (argc == 6 && std::strcmp(argv[4], "--mtime") == 0) {
    if (std::strcmp(argv[5], "file") == 0)
      times = Velk::PakPacker::TimeStamps::FromFiles;
    else if (std::strcmp(argv[5], "fixed") != 0)
      return Usage("--mtime takes fixed or file");
  } else if (argc != 4) {
    return Usage("create takes ARCHIVE FOLDER [--mtime fixed|file]");
  }
  std::string error;
  return Result(Velk::PakPacker::Create(argv[2], argv[3], times, error), error);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage("no command given");
  std::string command = argv[1];
  std::string error;
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "create") return Create(argc, argv);
  if (command == "list") {
    if (argc != 3) return Usage("list takes ARCHIVE");
    return Result(Velk::PakPacker::List(argv[2], std::cout, error), error);
  }
  if (command == "extract") {
    if (argc != 4) return Usage("extract takes ARCHIVE FOLDER");
    return Result(Velk::PakPacker::Extract(argv[2], argv[3], error), error);
  }
  return Usage("unknown command \"" + command + "\"");
}
