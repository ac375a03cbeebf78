#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H

#include <mutex>

// The process's one FreeType library. FreeType objects are not thread-safe and fonts are made on the
// loading thread while the main thread draws, so every FreeType call runs under Mutex().
class FreeTypeLibrary {
 public:
  // Started on first use and never shut down: fonts held by static objects may outlive any order of
  // static destruction.
  static FreeTypeLibrary& Get();

  std::mutex& Mutex() { return mMutex; }
  // Null when FreeType could not start. Call with Mutex() held.
  FT_Library Handle() const { return mLibrary; }

 private:
  FreeTypeLibrary();

  std::mutex mMutex;
  FT_Library mLibrary = nullptr;
};
