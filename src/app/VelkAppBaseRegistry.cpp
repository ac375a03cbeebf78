// The user's settings in the registry, read at start and written at exit.

#include "app/VelkAppBase.h"

#include "app/RegistryStore.h"
#include "common/StringUtil.h"
#include "platform/registry/Registry.h"

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

// The typed readers and writers go through the generic ones, so a demo sees every outcome.
bool VelkAppBase::WriteRegistryString(const std::string& name, const std::string& text) {
  return WriteRegistry(name, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()));
}

bool VelkAppBase::WriteRegistryInteger(const std::string& name, int value) {
  BYTE bytes[4];
  RegistryStore::EncodeInteger(value, bytes);
  return WriteRegistry(name, REG_DWORD, bytes, 4);
}

bool VelkAppBase::WriteRegistryBoolean(const std::string& name, bool value) {
  return WriteRegistryInteger(name, value ? 1 : 0);
}

bool VelkAppBase::ReadRegistry(const std::string& name, DWORD* type, BYTE* data, DWORD* size) {
  if (mDemo.mPlaying) return mDemo.PlayRegistryRead(type, data, size);
  bool ok = RegistryStore(mRegKey).Read(name, type, data, size);
  mDemo.RecordRegistryRead(ok, type ? *type : 0, data, size ? *size : 0);
  return ok;
}

bool VelkAppBase::ReadRegistryInteger(const std::string& name, int& value) {
  DWORD type = REG_NONE;
  BYTE bytes[4] = {};
  DWORD size = sizeof(bytes);
  return ReadRegistry(name, &type, bytes, &size) && RegistryStore::DecodeInteger(type, bytes, size, value);
}

bool VelkAppBase::ReadRegistryBoolean(const std::string& name, bool& value) {
  int number = 0;
  if (!ReadRegistryInteger(name, number)) return false;
  value = number != 0;
  return true;
}

void VelkAppBase::EraseRegistryValue(const std::wstring& name) { RegistryStore(mRegKey).EraseValue(name); }

// A string property can move the key elsewhere.
std::string VelkAppBase::RegistryKeyInUse() { return Narrow(GetString("RegistryKey", Widen(mRegKey))); }

// Runs before any demo begins (its file is loaded later): straight from the store.
void VelkAppBase::ReadRegistrySettings() {
  mRegistryRead = true;
  mRegKey = RegistryKeyInUse();
  if (mRegKey.empty()) return;

  RegistryStore store(mRegKey);
  int value = 0;
  if (store.ReadInteger("MusicVolume", value)) mMusicVolume = VolumeFromPercent(value);
  if (store.ReadInteger("SfxVolume", value)) mSfxVolume = VolumeFromPercent(value);
  if (store.ReadInteger("Muted", value)) mMuteCount = value;
  if (store.ReadInteger("ScreenMode", value)) mIsWindowed = value == 0;
  store.ReadInteger("PreferredX", mPreferredX);
  store.ReadInteger("PreferredY", mPreferredY);
  if (store.ReadInteger("CustomCursors", value)) SetCustomCursorsEnabled(value != 0);
  if (store.ReadInteger("WaitForVSync", value)) mWaitForVSync = value != 0;
  if (store.ReadInteger("InProgress", value)) mLastShutdownWasGraceful = value == 0;
  if (!mIsScreenSaver) store.WriteInteger("InProgress", 1);
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
