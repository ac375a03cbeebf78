// The user's settings in the registry, read at start and written at exit.

#include "app/VelkAppBase.h"

#include "app/RegistryStore.h"
#include "common/StringUtil.h"

#include <algorithm>

namespace Velk {

namespace {

// Stored volumes are percentages; anything out of range is taken as the nearest bound.
double VolumeFromPercent(int percent) { return std::clamp(percent / 100.0, 0.0, 1.0); }
int PercentFromVolume(double volume) { return static_cast<int>(volume * 100.0); }

}  // namespace

bool VelkAppBase::WriteRegistry(const std::string& name, DWORD type, const BYTE* data, DWORD size) {
  if (mDemo.mPlaying) return mDemo.PlayRegistryWrite();
  bool ok = RegistryStore(mRegKey).Write(name, type, data, size);
  mDemo.RecordRegistryWrite(ok);
  return ok;
}

bool VelkAppBase::WriteRegistryString(const std::string& name, const std::string& text) {
  return RegistryStore(mRegKey).WriteString(name, text);
}

bool VelkAppBase::WriteRegistryInteger(const std::string& name, int value) {
  return RegistryStore(mRegKey).WriteInteger(name, value);
}

bool VelkAppBase::WriteRegistryBoolean(const std::string& name, bool value) {
  return RegistryStore(mRegKey).WriteBoolean(name, value);
}

bool VelkAppBase::ReadRegistry(const std::string& name, DWORD* type, BYTE* data, DWORD* size) {
  if (mDemo.mPlaying) return mDemo.PlayRegistryRead(type, data, size);
  bool ok = RegistryStore(mRegKey).Read(name, type, data, size);
  mDemo.RecordRegistryRead(ok, type ? *type : 0, data, size ? *size : 0);
  return ok;
}

bool VelkAppBase::ReadRegistryInteger(const std::string& name, int& value) {
  return RegistryStore(mRegKey).ReadInteger(name, value);
}

bool VelkAppBase::ReadRegistryBoolean(const std::string& name, bool& value) {
  return RegistryStore(mRegKey).ReadBoolean(name, value);
}

void VelkAppBase::EraseRegistryValue(const std::wstring& name) { RegistryStore(mRegKey).EraseValue(name); }

void VelkAppBase::ReadRegistrySettings() {
  mRegistryRead = true;
  mRegKey = Narrow(GetString("RegistryKey", Widen(mRegKey)));
  if (mRegKey.empty()) return;

  int value = 0;
  if (ReadRegistryInteger("MusicVolume", value)) mMusicVolume = VolumeFromPercent(value);
  if (ReadRegistryInteger("SfxVolume", value)) mSfxVolume = VolumeFromPercent(value);
  if (ReadRegistryInteger("Muted", value)) mMuteCount = value;
  if (ReadRegistryInteger("ScreenMode", value)) mIsWindowed = value == 0;
  ReadRegistryInteger("PreferredX", mPreferredX);
  ReadRegistryInteger("PreferredY", mPreferredY);
  if (ReadRegistryInteger("CustomCursors", value)) SetCustomCursorsEnabled(value != 0);
  ReadRegistryBoolean("WaitForVSync", mWaitForVSync);
  if (ReadRegistryInteger("InProgress", value)) mLastShutdownWasGraceful = value == 0;
  if (!mIsScreenSaver) WriteRegistryInteger("InProgress", 1);
}

void VelkAppBase::WriteRegistrySettings() {
  WriteRegistryInteger("MusicVolume", PercentFromVolume(mMusicVolume));
  WriteRegistryInteger("SfxVolume", PercentFromVolume(mSfxVolume));
  WriteRegistryInteger("Muted", mMuteCount - mAutoMuteCount > 0 ? 1 : 0);
  WriteRegistryInteger("ScreenMode", mIsWindowed ? 0 : 1);
  WriteRegistryInteger("PreferredX", mPreferredX);
  WriteRegistryInteger("PreferredY", mPreferredY);
  WriteRegistryInteger("CustomCursors", mCustomCursorsEnabled ? 1 : 0);
  WriteRegistryInteger("InProgress", 0);
  WriteRegistryBoolean("WaitForVSync", mWaitForVSync);
}

}  // namespace Velk
