#include "platform/gdi/GdiBitmap.h"

GdiBitmap* GdiBitmap::Stock() {
  static GdiBitmap* empty = new GdiBitmap(0, 0, true);
  return empty;
}
