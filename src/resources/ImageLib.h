#pragma once
// Image files: decoding to ImageLib::Image by extension, and the PNG and JPEG writers.

#include "resources/ImageLibImage.h"
#include "resources/ImageLibSource.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace ImageLib {

// Colour given to an alpha companion that has no main image (0xFFFFFF unless a load sets it).
extern std::atomic<uint32_t> gAlphaColor;

// Each decoder: (file name) -> new image owned by the caller, or null.
Image* GetTGAImage(const std::string& fileName);
Image* GetGIFImage(const std::string& fileName);
Image* GetPNGImage(const std::string& fileName);
Image* GetJPEGImage(const std::string& fileName);
Image* GetJ2KImage(const std::string& fileName);

// The same decoders over bytes already open.
std::unique_ptr<Image> DecodeTGA(ImageSource& source);
std::unique_ptr<Image> DecodeGIF(ImageSource& source);
std::unique_ptr<Image> DecodePNG(ImageSource& source);
std::unique_ptr<Image> DecodeJPEG(ImageSource& source);
std::unique_ptr<Image> DecodeJ2K(ImageSource& source);

// The JPEG 2000 decoder works only between these two calls.
void LoadJ2KCodec();
void FreeJ2KCodec();

bool WritePNGImage(const std::string& fileName, const Image* image);
bool WriteJPEGImage(const std::string& fileName, const Image* image);

}  // namespace ImageLib

// Decodes the file by its extension, or tries each known extension when it has none; with
// lookForAlpha, merges the alpha of an "_" companion file. The caller owns the result.
ImageLib::Image* LoadImageByExtension(const std::string& fileName, bool lookForAlpha);
