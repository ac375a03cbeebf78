#include "contentlib/Stage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace Content {
namespace fs = std::filesystem;

std::string Stage::Key(const std::string& path) {
  std::string key = path;
  for (char& c : key) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

bool Stage::PlainPath(const std::string& path) {
  const std::string key = Key(path);
  size_t start = 0;
  while (start <= key.size()) {
    const size_t end = std::min(key.find('\\', start), key.size());
    const std::string part = key.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return std::all_of(key.begin(), key.end(), [](char c) { return c > ' ' && c < 0x7F && c != ':'; });
}

void Stage::Add(const std::string& name, std::vector<uint8_t> bytes) {
  mDocuments.erase(Key(name));
  mFiles[Key(name)] = std::move(bytes);
}

bool Stage::LoadFolder(const std::string& folder, Findings& findings) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file()) files.push_back(it->path());
  if (ec) return findings.Add(folder, "cannot read the folder: " + ec.message()), false;
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) return findings.Add(file.string(), "cannot read the file"), false;
    Add(fs::relative(file, folder).generic_string(), std::move(bytes));
  }
  return true;
}

bool Stage::Has(const std::string& name) const { return mFiles.count(Key(name)) != 0; }

bool Stage::HasImage(const std::string& name) const {
  const std::string key = Key(name);
  const size_t slash = key.rfind('\\');
  if (key.find('.', slash == std::string::npos ? 0 : slash) != std::string::npos) return Has(key);
  for (const char* ext : {".png", ".jpg", ".gif", ".tga", ".jp2"})
    if (Has(key + ext)) return true;
  return false;
}

const std::vector<uint8_t>* Stage::Bytes(const std::string& name) const {
  auto it = mFiles.find(Key(name));
  return it == mFiles.end() ? nullptr : &it->second;
}

std::vector<std::string> Stage::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : mFiles) names.push_back(name);
  return names;
}

const pugi::xml_document* Stage::Document(const std::string& name) const {
  const std::string key = Key(name);
  if (auto it = mDocuments.find(key); it != mDocuments.end()) return it->second.get();
  const std::vector<uint8_t>* bytes = Bytes(key);
  std::unique_ptr<pugi::xml_document> doc;
  if (bytes) {
    doc = std::make_unique<pugi::xml_document>();
    if (!doc->load_buffer(bytes->data(), bytes->size(), pugi::parse_default, pugi::encoding_utf16_le)) doc.reset();
  }
  return (mDocuments[key] = std::move(doc)).get();
}

std::vector<std::string> Stage::DocumentsWithRoot(const std::string& root) const {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : mFiles) {
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".xml") != 0) continue;
    if (const pugi::xml_document* doc = Document(name); doc && root == doc->document_element().name())
      names.push_back(name);
  }
  return names;
}

}  // namespace Content
