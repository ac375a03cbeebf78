#pragma once
// The cached rendering of a widget's text: a memory image of the widget's size, rendered again only
// after something marked it stale, and drawn every frame.
#include <cstdint>

namespace Velk {
class MemoryImage;
}

class QCLabelImage {
 public:
  QCLabelImage() = default;
  QCLabelImage(const QCLabelImage&) = delete;
  QCLabelImage& operator=(const QCLabelImage&) = delete;
  ~QCLabelImage();

  void Invalidate() { mValid = false; }
  bool IsValid() const { return mValid; }
  // Deletes the image; the next draw makes a new one.
  void Drop();
  // Gives the image the size w x h (a new image, stale, when it has none or another size). When it
  // is stale, clears it, marks it valid, counts a rendering and answers true: the caller then draws
  // the text into Image().
  // Neither side is ever larger than the screen's; a side cut to it is logged once per label.
  bool BeginRender(int width, int height);
  Velk::MemoryImage* Image() const { return mImage; }

  // Renderings of every label image so far; tests and benchmarks read it.
  static uint64_t RenderCount();

  static constexpr int kDefaultScreenWidth = 800;
  static constexpr int kDefaultScreenHeight = 600;

 private:
  Velk::MemoryImage* mImage = nullptr;
  bool mValid = false;
  bool mCutLogged = false;  // a side larger than the screen's was named in the log
};
