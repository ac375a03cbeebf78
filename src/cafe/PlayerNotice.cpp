#include "cafe/PlayerNotice.h"

#include "app/VelkAppBase.h"
#include "common/Unicode.h"
#include "platform/msgbox/MessageBox.h"

// The framework's box while the application runs (it flips a full screen to the desktop around
// it); the plain box before there is one.
void ShowPlayerNotice(const char* textId, const wchar_t* defaultText, const std::string& file, unsigned icon) {
  Velk::VelkAppBase* app = Velk::gVelkApp;
  const std::wstring text = (app != nullptr ? app->GetString(textId, defaultText) : std::wstring(defaultText)) + L" " +
                            Velk::Utf8ToWide(file);
  if (app != nullptr) {
    app->MsgBoxW(text, app->mTitle, MB_OK | icon);
  } else {
    MessageBoxW(nullptr, text.c_str(), L"", MB_OK | icon);
  }
}
