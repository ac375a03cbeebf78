#include "platform/process/ProcessInfo.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

namespace {

std::mutex gCommandLineLock;
std::string gCommandLine;
bool gCommandLineSet = false;

std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + '"';
}

std::string BuildCommandLine(const std::vector<std::string>& args) {
  std::string line = "\"" + (args.empty() ? Velk::GetProgramPath() : args[0]) + "\"";
  for (size_t i = 1; i < args.size(); ++i) line += " " + QuoteArgument(args[i]);
  return line;
}

std::vector<std::string> ArgumentsOfProcess() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  size_t pos = 0;
  while (pos < raw.size()) {
    size_t end = raw.find('\0', pos);
    if (end == std::string::npos) end = raw.size();
    args.push_back(raw.substr(pos, end - pos));
    pos = end + 1;
  }
  return args;
}

}  // namespace

namespace Velk {

const std::string& GetProgramPath() {
  static const std::string path = [] {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
  }();
  return path;
}

std::string GetProgramFolder() {
  const std::string& path = GetProgramPath();
  size_t cut = path.rfind('/');
  if (cut == std::string::npos) return {};
  return cut == 0 ? std::string("/") : path.substr(0, cut);
}

void SetCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  std::lock_guard<std::mutex> hold(gCommandLineLock);
  gCommandLine = BuildCommandLine(args);
  gCommandLineSet = true;
}

}  // namespace Velk

char* GetCommandLineA() {
  std::lock_guard<std::mutex> hold(gCommandLineLock);
  if (!gCommandLineSet) {
    gCommandLine = BuildCommandLine(ArgumentsOfProcess());
    gCommandLineSet = true;
  }
  return gCommandLine.data();
}
