#include "app/SysFontMaker.h"

#include "fonts/FontHost.h"
#include "fonts/SysFont.h"

namespace Velk {

Font* MakeSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic, bool underline) {
  return new SysFont(FontHost::GetDefault(), face, pointSize, charSet, bold, italic, underline);
}

}  // namespace Velk
