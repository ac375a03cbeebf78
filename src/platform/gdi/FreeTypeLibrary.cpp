#include "platform/gdi/FreeTypeLibrary.h"

FreeTypeLibrary& FreeTypeLibrary::Get() {
  static FreeTypeLibrary* library = new FreeTypeLibrary;
  return *library;
}

FreeTypeLibrary::FreeTypeLibrary() {
  if (FT_Init_FreeType(&mLibrary) != 0) mLibrary = nullptr;
}
