// Takes the input as cfg.xml (UTF-16LE behind a byte-order mark, as the game stores it) and reads
// the characters' configuration tables from it.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "cafe/CafeConfigs.h"
#include "engine/XmlAccess.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/cfgfuzz-" + std::to_string(getpid()) + ".xml";
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data, 1, size, out);
  std::fclose(out);

  IXMLDOMDocument* doc = CreateAndLoadXmlDocument(path.c_str());
  if (!doc) return 0;
  IXMLDOMNode* root = nullptr;
  doc->selectSingleNode(L"root", &root);
  LoadPersConfigs(root);
  LoadClientConfigs(root);
  LoadWorkerConfigs(root);
  LoadPeriodItemConfigs(root);
  for (const auto& [name, config] : gWorkerConfigs) {
    if (name.size() > 127 || config.mProduct.size() > 127) __builtin_trap();
  }
  if (root) root->Release();
  doc->Release();
  return 0;
}
