// Parses arbitrary documents to the end. The first byte chooses whether comments are returned.
#include <cstdint>
#include <string>

#include "platform/ScratchFolder.h"
#include "resources/XMLParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ScratchFolder folder;  // removed at exit
  if (size == 0) return 0;
  const std::string path = folder / "doc.xml";
  folder.Write("doc.xml", std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

  Velk::XMLParser parser;
  parser.SetAllowComments(data[0] & 1);
  if (!parser.OpenFile(path)) return 0;
  Velk::XMLElement element;
  while (parser.NextElement(&element)) {
  }
  return 0;
}
