#pragma once
// Where a control of ui.xml lies: its x, y, width and height, each held to a range in which sums
// and products of a few of them stay exact whatever the document says.

#include <pugixml.hpp>

#include <algorithm>

namespace Content {

struct UiBox {
  int x = 0, y = 0, w = 0, h = 0;

  static int Coordinate(pugi::xml_attribute a) { return std::clamp(a.as_int(), -10000, 10000); }
  // The control's own box, relative to its parent.
  static UiBox Of(pugi::xml_node element) {
    return {Coordinate(element.attribute("x")), Coordinate(element.attribute("y")),
            Coordinate(element.attribute("width")), Coordinate(element.attribute("height"))};
  }
  UiBox MovedBy(const UiBox& origin) const { return {origin.x + x, origin.y + y, w, h}; }
  bool Inside(const UiBox& outer) const {
    return x >= outer.x && y >= outer.y && x + w <= outer.x + outer.w && y + h <= outer.y + outer.h;
  }
  bool Meets(const UiBox& other) const {
    return x < other.x + other.w && other.x < x + w && y < other.y + other.h && other.y < y + h;
  }
};

}  // namespace Content
