#pragma once
// What every decoder and writer does around its format: opening and closing the file.

#include "resources/ImageLibImage.h"
#include "resources/ImageLibSource.h"

#include <cstdio>
#include <memory>
#include <string>

namespace ImageLib {

using Decoder = std::unique_ptr<Image> (*)(ImageSource&);
using Encoder = bool (*)(FILE*, const Image&);

// Opens the file "rb" through the archive layer, decodes it and closes it on every path.
std::unique_ptr<Image> DecodeFile(const std::string& fileName, Decoder decode);

// Writes to disk directly (not through the archive layer); false when the file cannot be created, encoding fails or the
// close reports an error.
bool EncodeFile(const std::string& fileName, const Image* image, Encoder encode);

}  // namespace ImageLib
