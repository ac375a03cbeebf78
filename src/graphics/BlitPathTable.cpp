#include "graphics/BlitPathTable.h"

#include <iterator>

namespace Velk {

namespace {

bool Meets(Need need, bool value) { return need == Need::Any || (need == Need::Yes) == value; }

using namespace BlitRows;

constexpr BlitPath kPaths[] = {
    // op, source alpha, opaque destination, colourised, by runs, row, opaque runs
    {BlitOp::Normal, Need::Any, Need::Yes, Need::No, true, OntoOpaque, Copy},
    {BlitOp::Normal, Need::Any, Need::No, Need::No, false, Over, nullptr},
    {BlitOp::Normal, Need::Any, Need::Any, Need::Any, false, OverColorized, nullptr},
    {BlitOp::Additive, Need::No, Need::Any, Need::No, false, AddPlain, nullptr},
    {BlitOp::Additive, Need::Yes, Need::Any, Need::No, false, AddWeighted, nullptr},
    {BlitOp::Additive, Need::No, Need::Any, Need::Yes, false, AddTinted, nullptr},
    {BlitOp::Additive, Need::Any, Need::Any, Need::Any, false, AddTintedWeighted, nullptr},
};

}  // namespace

const BlitPath& FindBlitPath(const BlitCase& blit) {
  for (const BlitPath& path : kPaths) {
    if (path.op == blit.op && Meets(path.sourceHasAlpha, blit.sourceHasAlpha) &&
        Meets(path.destOpaque, blit.destOpaque) && Meets(path.colorized, blit.colorized))
      return path;
  }
  return kPaths[std::size(kPaths) - 1];  // every operation has a last row that meets all blits
}

}  // namespace Velk
