#include "app/DemoDialog.h"

#include "platform/window/WinUser.h"

namespace Velk {

DemoDialog::DemoDialog(Image* buttonImage, int id, const std::wstring& title)
    : Dialog(nullptr, buttonImage, id, true, title, L"", L"", 2) {}

void DemoDialog::KeyDown(int key) {
  if (key == static_cast<int>(VK_RETURN))
    OnButtonReleased(YesButtonId);
  else if (key == static_cast<int>(VK_ESCAPE))
    OnButtonReleased(NoButtonId);
  else
    Dialog::KeyDown(key);
}

}  // namespace Velk
