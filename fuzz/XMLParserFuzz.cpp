// Parses arbitrary documents to the end. The first byte chooses whether comments are returned.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "resources/XMLParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/xmlfuzz-" + std::to_string(getpid()) + ".xml";
  if (size == 0) return 0;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  std::fwrite(data + 1, 1, size - 1, out);
  std::fclose(out);

  Velk::XMLParser parser;
  parser.SetAllowComments(data[0] & 1);
  if (!parser.OpenFile(path)) return 0;
  Velk::XMLElement element;
  while (parser.NextElement(&element)) {
  }
  return 0;
}
