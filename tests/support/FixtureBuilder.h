#pragma once
// Small data files for tests, made with the content builder's own writers: XML documents from
// UTF-8 literals, descriptors, PNGs, .anm files, WAV and AU sounds. The set is written either as
// loose files below a folder or as one archive.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "contentlib/AnmWriter.h"
#include "contentlib/AuWriter.h"
#include "contentlib/PngWriter.h"
#include "contentlib/Utf16Writer.h"
#include "contentlib/WavWriter.h"
#include "resources/PakWriter.h"

namespace Testing {

class FixtureBuilder {
 public:
  // A game document: UTF-16LE behind FF FE.
  FixtureBuilder& Xml(const std::string& name, const std::string& utf8) {
    return Text(name, Content::Utf16Writer::Convert(utf8, true));
  }
  // A font descriptor: UTF-16LE without a mark.
  FixtureBuilder& Descriptor(const std::string& name, const std::string& utf8) {
    return Text(name, Content::Utf16Writer::Convert(utf8, false));
  }
  FixtureBuilder& Png(const std::string& name, const Content::Picture& picture) {
    std::string error;
    Content::PngWriter::Write(picture, mFiles[name], error);
    return *this;
  }
  FixtureBuilder& Anm(const std::string& name, const Content::AnmWriter& anm) {
    Content::Findings findings;
    anm.Build(name, mFiles[name], findings);
    return *this;
  }
  FixtureBuilder& Wav(const std::string& name, const std::vector<int16_t>& samples, int channels = 1) {
    mFiles[name] = Content::WavWriter::Write(samples, channels, 44100);
    return *this;
  }
  FixtureBuilder& Au(const std::string& name, const std::vector<int16_t>& samples) {
    std::string error;
    Content::AuWriter::Write(samples, 1, 44100, Content::AuWriter::kMuLaw, mFiles[name], error);
    return *this;
  }
  FixtureBuilder& Bytes(const std::string& name, std::vector<uint8_t> bytes) {
    mFiles[name] = std::move(bytes);
    return *this;
  }

  const std::map<std::string, std::vector<uint8_t>>& Files() const { return mFiles; }

  // Every file below the folder ('\' in names becomes '/').
  void WriteFolder(const std::string& folder) const {
    for (const auto& [name, bytes] : mFiles) {
      std::string relative = name;
      for (char& c : relative) c = c == '\\' ? '/' : c;
      const std::filesystem::path path = std::filesystem::path(folder) / relative;
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }

  bool WritePak(const std::string& path) const {
    Velk::PakWriter writer;
    std::string error;
    for (const auto& [name, bytes] : mFiles)
      if (!writer.AddMember(name, bytes, 0, error)) return false;
    return writer.WriteFile(path, error);
  }

 private:
  FixtureBuilder& Text(const std::string& name, const std::string& bytes) {
    mFiles[name].assign(bytes.begin(), bytes.end());
    return *this;
  }

  std::map<std::string, std::vector<uint8_t>> mFiles;
};

}  // namespace Testing
