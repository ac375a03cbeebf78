#include "cafe/QCPref.h"

#include "app/VelkAppBase.h"
#include "cafe/CafeNames.h"
#include "cafe/PlayerNotice.h"
#include "common/Buffer.h"
#include "common/Parse.h"
#include "engine/LocTexts.h"
#include "engine/QCMusicManager.h"
#include "engine/QCSoundTable.h"
#include "platform/base/LastError.h"
#include "platform/clock/Clock.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FileCalls.h"
#include "platform/files/FileHandles.h"
#include "platform/files/KeptCopy.h"
#include "platform/files/PathMap.h"
#include "platform/files/ShellFolders.h"
#include "platform/files/XdgFolders.h"
#include "platform/modules/Modules.h"
#include "platform/msgbox/MessageBox.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <filesystem>

namespace {

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;

bool SeekTo(HANDLE file, uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(ERROR_SUCCESS);
  DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == ERROR_SUCCESS;
}

// True when all `count` bytes were there.
bool ReadAt(HANDLE file, uint64_t offset, size_t count, Velk::Buffer& into) {
  std::string bytes(count, '\0');
  DWORD done = 0;
  if (!SeekTo(file, offset) || !ReadFile(file, bytes.data(), static_cast<DWORD>(count), &done, nullptr)) return false;
  into.WriteBytes(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int>(done));
  return done == count;
}

bool WriteAt(HANDLE file, uint64_t offset, const Velk::Buffer& bytes) {
  DWORD size = static_cast<DWORD>(bytes.ByteLength());
  DWORD done = 0;
  return SeekTo(file, offset) && WriteFile(file, bytes.Data(), size, &done, nullptr) && done == size;
}

bool TruncateAt(HANDLE file, uint64_t offset) { return SeekTo(file, offset) && SetEndOfFile(file); }

uint64_t FileSizeOf(HANDLE file) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  return (static_cast<uint64_t>(high) << 32) | low;
}

uint64_t ProfileOffset(int index) { return QCPref::kProfilesOffset + static_cast<uint64_t>(index) * QCProfile::kSize; }

// Whole records only; a partial one at the end does not count.
int ProfileCount(uint64_t fileSize) {
  if (fileSize <= QCPref::kProfilesOffset) return 0;
  uint64_t count = (fileSize - QCPref::kProfilesOffset) / QCProfile::kSize;
  return static_cast<int>(std::min<uint64_t>(count, INT32_MAX));
}

// A partial record at the end (an append that was cut short) is dropped, so that every record
// stays on the 912-byte grid.
void DropPartialRecord(HANDLE file) {
  uint64_t size = FileSizeOf(file);
  uint64_t whole = ProfileOffset(ProfileCount(size));
  if (size > whole) TruncateAt(file, whole);
}

// Made, or there already.
bool MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The user's application-data folder, as the shell reports it; else the system's folder. There is
// no drive root to fall back on here (the Windows folder's first three characters), so the whole
// folder GetWindowsDirectoryA answers is the fallback.
std::string DataFolder() {
  std::string base(GetWindowsDirectoryA(nullptr, 0), '\0');
  base.resize(GetWindowsDirectoryA(base.data(), static_cast<UINT>(base.size())));
  HMODULE shfolder = LoadLibraryA("shfolder.dll");
  if (shfolder == nullptr) return base;
  using FolderQuery = HRESULT (*)(HWND, int, HANDLE, DWORD, char*);
  auto query = reinterpret_cast<FolderQuery>(GetProcAddress(shfolder, "SHGetFolderPathA"));
  char folder[MAX_PATH] = {};
  // A failed query keeps the fallback: an empty base would put the folders at the file-system root.
  if (query != nullptr) {
    HRESULT result = query(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_DEFAULT, folder);
    if (result == S_OK || result == S_FALSE) base = folder;
  }
  FreeLibrary(shfolder);
  return base;
}

bool SameName(const QCPrefName& a, const QCPrefName& b) { return std::wcsncmp(a, b, kPrefNameUnits) == 0; }

// Decimal only; anything else is 0.
int ParseScore(const std::wstring& text) {
  int value = 0;
  if (text.find_first_not_of(L"-0123456789") != std::wstring::npos) return 0;
  return Velk::ParseIntW(text, value) ? value : 0;
}

// "record_survival_name_01" and the like.
std::string TextId(const char* table, const char* field, int number) {
  char id[64];
  std::snprintf(id, sizeof id, "record_%s_%s_%02d", table, field, number);
  return id;
}

void FillDefaultTable(const char* tableName, QCHiScoreTable& table) {
  for (int i = 0; i < QCPref::kTableEntries; ++i) {
    table[i] = QCHiScoreEntry{};
    SetPrefName(table[i].mName, GetLocText(TextId(tableName, "name", i + 1)).c_str());
    table[i].mScore = ParseScore(GetLocText(TextId(tableName, "value", i + 1)));
  }
}

// Another program may hold the file a moment, as a save of the game does: its lock is waited for
// this many times this long before the file counts as that program's for the rest of the run.
constexpr int kLockWaits = 40;
constexpr DWORD kLockWaitMs = 50;

// `why`: the reason the file is refused this run, or null after a failed file call.
void LogSaveFailure(const std::string& path, const char* why) {
  const std::string reason = why != nullptr ? why : Velk::ErrorText(GetLastError());
  std::fprintf(stderr, "pref.dat: could not save %s (%s); kept in memory\n", path.c_str(), reason.c_str());
}

void LogDamaged(const std::string& path, const char* what) {
  std::fprintf(stderr, "pref.dat: %s: %s\n", path.c_str(), what);
}

// The whole file as it stands, for the copy kept aside.
std::string AllBytes(HANDLE file) {
  Velk::Buffer bytes;
  ReadAt(file, 0, static_cast<size_t>(FileSizeOf(file)), bytes);
  return std::string(reinterpret_cast<const char*>(bytes.Data()), static_cast<size_t>(bytes.ByteLength()));
}

// Written whole or not at all, and not through a file handle: a handle would leave its lock file
// beside a copy the game never opens again.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  if (Velk::WriteFileAtomically(path, bytes)) return true;
  SetLastError(Velk::ErrorFromErrno(errno));
  return false;
}

// A file where a folder should be (a data folder set to a file's name) is named: the system's own
// answer, that a folder is not found, would send the player looking for a folder.
void LogNoFolder(const std::string& path) {
  const std::string file = Velk::FileInTheWay(path);
  const std::string why = file.empty() ? Velk::ErrorText(GetLastError()) : "the file " + file + " is in the way";
  std::fprintf(stderr, "pref.dat: could not make the folder %s (%s); nothing will be saved\n", path.c_str(),
               why.c_str());
}

// True when `path` cannot even be looked at: a folder on the way to it cannot be searched.
bool Unseen(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::status(path, error).type() == std::filesystem::file_type::none &&
         error == std::errc::permission_denied;
}

// The folder on the way to `path` that is there but cannot be searched, so that nothing below it can
// be read, written or even seen; empty when there is none.
std::string ShutFolder(const std::string& path) {
  std::filesystem::path at(path);
  if (!Unseen(at)) return {};
  while (at.has_relative_path()) {
    at = at.parent_path();
    if (!Unseen(at)) return at.string();
  }
  return {};
}

}  // namespace

// The folders are made by the first write (MakeFolders), not here: a start that stops before it
// writes anything leaves nothing behind in the player's home.
QCPref::QCPref()
    : mHeader(QCPrefHeader::Defaults()),
      mDataFolder(DataFolder()),
      mPath(Velk::MapPath(GetFolder() + "/" + CafeNames::kPrefFileName)) {}

std::string QCPref::GetFolder() const { return Velk::MapPath(mDataFolder + "/Drimak Games/Pelune"); }

// A folder that cannot be made stops the path there: every open of it fails, and nothing is saved.
bool QCPref::MakeFolders() {
  if (mFoldersMade) return true;
  std::string folder = mDataFolder;
  for (const char* name : {"Drimak Games", "Pelune"}) {
    folder += std::string("/") + name;
    if (!MakeFolder(folder)) {
      mPath = folder;
      // A folder above that cannot be searched: whether this one is there cannot even be seen.
      if (RefuseShutFolder(folder)) return false;
      LogNoFolder(folder);
      mRefusal = "the folder could not be made";
      return false;
    }
  }
  mFoldersMade = true;
  // As the system spells it: the logs and the boxes name the file the player will find.
  mPath = Velk::MapPath(folder + "/" + CafeNames::kPrefFileName);
  return true;
}

// Only a save creates the file, and so the folders. Refused by this process's own handle (Load and
// DeleteProfile hold it around the saves they make) it fails at once: that save is meant to write
// nothing. Another copy of the game never gets here (the application holds the folder for its whole
// run); another program that holds the file longer than a save takes keeps it for this run: it is
// neither read nor written again, lest the game write over what that program wrote.
HANDLE QCPref::OpenFile(DWORD access, DWORD share, DWORD disposition) {
  if (mRefusal != nullptr || (disposition != OPEN_EXISTING && !MakeFolders())) return INVALID_HANDLE_VALUE;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int tries = 0; tries <= kLockWaits; ++tries) {
    if (tries > 0) Sleep(kLockWaitMs);
    file = CreateFileA(mPath.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_LOCK_VIOLATION) return file;
  }
  Refuse(mPath + " is in use by another program", "PREF_IN_USE",
         L"Another program is using your saved progress, so the game can neither read nor save it and will not "
         L"keep this game's progress. Close that program to play on yours. The file is left untouched at",
         mPath);
  SetLastError(ERROR_LOCK_VIOLATION);
  return file;
}

// Until the fresh start is committed the file there is the damaged one, kept aside already: none of
// its records is ours, to read or to write into.
HANDLE QCPref::OpenStored(DWORD access, DWORD share) {
  if (!mStartAfresh) return OpenFile(access, share, OPEN_EXISTING);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}

bool QCPref::Load() {
  bool valid = false;
  bool profileRead = false;
  HANDLE file = OpenFile(kReadWrite, 0, OPEN_EXISTING);
  // A file the player may only read still holds the progress; the saves then fail and say so.
  if (file == INVALID_HANDLE_VALUE && (GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_WRITE_PROTECT))
    file = OpenFile(GENERIC_READ, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) LeaveUnreadableFile();
  if (file != INVALID_HANDLE_VALUE) {
    // Held open (and exclusive) throughout, so that the saves LoadProfile makes here write nothing.
    Velk::Buffer header;
    QCPrefHeader stored;
    valid = ReadAt(file, 0, QCPrefHeader::kSize, header) && stored.Read(header);
    if (valid) {
      mHeader = stored;
      profileRead = LoadCurrentProfile(file);
      // A table the file holds only in part takes the defaults rather than a mix of old and new.
      bool survivalRead = ReadTable(file, kSurvivalOffset, mSurvivalTable);
      bool careerRead = ReadTable(file, kCareerOffset, mCareerTable);
      if (!survivalRead || !careerRead) {
        // Every profile lay past the cut: the copy is the player's only way back to them.
        LogDamaged(mPath, "its hi-score tables are cut short; the defaults stand in");
        SetAside(file, "PREF_TABLES_CUT",
                 L"Your saved progress was cut short and could not be read, so the game starts afresh. A copy of "
                 L"the old file was kept as");
      }
      SetDefaultTables(!survivalRead, !careerRead);
    } else {
      // Not ours, or of another version: kept aside for the player, and replaced whole by the save
      // below (not cut here: this close would then put an empty pref.dat in its place).
      LogDamaged(mPath, "it is not a preference file of this version; starting afresh");
      mStartAfresh = SetAside(file, "PREF_UNREADABLE",
                              L"Your saved progress could not be read, so the game starts afresh. A copy of the old "
                              L"file was kept as");
    }
    CloseHandle(file);
  }
  // Left untouched: nothing read from it stands either, so the game plays on the defaults.
  if (mRefusal != nullptr) valid = profileRead = false;
  if (!valid) {
    mHeader = QCPrefHeader::Defaults();
    SetDefaultTables(true, true);
  }
  if (!profileRead) ResetProfile(nullptr);
  mLoaded = profileRead;
  ApplySettings();
  Save();
  return true;
}

// The stored index, else (when it names no record) the first record. A record cut short at the end
// is named in the log and the file kept aside with it, since the next save drops it.
bool QCPref::LoadCurrentProfile(HANDLE file) {
  const uint64_t size = FileSizeOf(file);
  const int count = ProfileCount(size);
  if (size > ProfileOffset(count)) {
    std::fprintf(stderr,
                 "pref.dat: %s: profile record %d (counted from 1) is cut short at %llu of %d bytes and is dropped\n",
                 mPath.c_str(), count + 1, static_cast<unsigned long long>(size - ProfileOffset(count)),
                 static_cast<int>(QCProfile::kSize));
    SetAside(
        file, "PREF_PROFILE_CUT",
        L"A saved profile was cut short and could not be read, so it is left out. A copy of the old file was kept as");
  }
  if (LoadProfile(file, mHeader.mCurrentProfile)) return true;
  if (count == 0) return false;
  std::fprintf(stderr, "pref.dat: %s: the current profile %d names no record; the first one is loaded\n", mPath.c_str(),
               mHeader.mCurrentProfile);
  return LoadProfile(file, 0);
}

// The file, before what cannot be read of it is dropped, is copied beside it, and the player is
// told why and where the copy is. Without a copy nothing may be dropped: the file is then left as
// it is for the rest of the run, neither read nor written again, and the player told so (false).
bool QCPref::SetAside(HANDLE file, const char* textId, const wchar_t* text) {
  if (mRefusal != nullptr) return false;
  if (FileSizeOf(file) == 0) return true;
  const std::string kept = Velk::KeptCopyName(mPath);
  if (WriteWholeFile(kept, AllBytes(file))) {
    ShowPlayerNotice(textId, text, kept, MB_ICONWARNING);
    return true;
  }
  Refuse(mPath + ": could not keep a copy as " + kept + " (" + Velk::ErrorText(GetLastError()) + ")",
         "PREF_LEFT_UNTOUCHED",
         L"Your saved progress could not be read, and no copy of it could be written, so the game starts afresh and "
         L"will not keep this game's progress. The file is left untouched at",
         mPath);
  return false;
}

// The file is neither read nor written again this run. `what` is logged, and the player told once
// where the progress was left (the box says already that nothing will be saved).
void QCPref::Refuse(const std::string& what, const char* textId, const wchar_t* text, const std::string& named) {
  std::fprintf(stderr, "pref.dat: %s; it is left untouched and nothing is saved\n", what.c_str());
  mRefusal = "it is left untouched";
  mSaveFailureReported = true;
  ShowPlayerNotice(textId, text, named, MB_ICONWARNING);
}

// True when a folder on the way to `path` cannot be searched, and the file is then refused.
bool QCPref::RefuseShutFolder(const std::string& path) {
  const std::string folder = ShutFolder(path);
  if (folder.empty()) return false;
  Refuse("the folder " + folder + " cannot be opened (" + Velk::ErrorText(ERROR_ACCESS_DENIED) + ")",
         "PREF_FOLDER_SHUT",
         L"Your saved progress could not be read, since its folder cannot be opened, so the game starts afresh and "
         L"will not keep this game's progress. Nothing is changed in the folder",
         folder);
  return true;
}

// A pref.dat that is there but would not open (this user may not read it, it is too large to hold,
// or its folder cannot be searched) cannot be copied either: it is left as it is. A folder in its
// place holds nothing to lose; the saves say so if they fail.
void QCPref::LeaveUnreadableFile() {
  const DWORD error = GetLastError();
  std::error_code ignored;
  if (mRefusal != nullptr || RefuseShutFolder(mPath) || !std::filesystem::is_regular_file(mPath, ignored)) return;
  Refuse(mPath + " is there but cannot be read (" + Velk::ErrorText(error) + ")", "PREF_CANNOT_READ",
         L"Your saved progress could not be read, so the game starts afresh and will not keep this game's progress. "
         L"The file is left untouched at",
         mPath);
}

// Once a run, in the log and in a box: the player learns that progress is being lost while there is
// time to act.
void QCPref::ReportSaveFailure() {
  if (mSaveFailureReported) return;
  mSaveFailureReported = true;
  LogSaveFailure(mPath, mRefusal);
  ShowPlayerNotice("PREF_NOT_SAVED",
                   L"Your progress cannot be saved and will be lost when the game ends. It cannot be written to", mPath,
                   MB_ICONWARNING);
}

bool QCPref::ReadTable(HANDLE file, uint64_t offset, QCHiScoreTable& table) {
  Velk::Buffer bytes;
  if (!ReadAt(file, offset, kTableEntries * QCHiScoreEntry::kSize, bytes)) return false;
  for (QCHiScoreEntry& entry : table) entry.Read(bytes);
  return true;
}

void QCPref::SetDefaultTables(bool survival, bool career) {
  if (survival) FillDefaultTable("survival", mSurvivalTable);
  if (career) FillDefaultTable("career", mCareerTable);
}

bool QCPref::Save() {
  HANDLE file = OpenFile(kReadWrite, 0, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) {
    // Refused while Load or DeleteProfile hold the file: the nested save is meant to write nothing.
    if (mRefusal != nullptr || GetLastError() != ERROR_SHARING_VIOLATION) ReportSaveFailure();
    return true;
  }
  if (Velk::gVelkApp != nullptr) mHeader.mWindowed = Velk::gVelkApp->mIsWindowed ? 1 : 0;
  // In this handle's image only: the close below commits the fresh file in one step.
  if (mStartAfresh) TruncateAt(file, 0);
  WriteHeader(file);
  Velk::Buffer tables;
  for (const QCHiScoreEntry& entry : mSurvivalTable) entry.Write(tables);
  for (const QCHiScoreEntry& entry : mCareerTable) entry.Write(tables);
  WriteAt(file, kSurvivalOffset, tables);
  DropPartialRecord(file);
  SaveProfile(file);
  WriteHeader(file);  // SaveProfile may have given the profile its index
  if (!CloseHandle(file)) {
    ReportSaveFailure();
  } else {
    mStartAfresh = false;
  }
  return true;
}

void QCPref::WriteHeader(HANDLE file) {
  Velk::Buffer bytes;
  mHeader.Write(bytes);
  WriteAt(file, 0, bytes);
}

bool QCPref::SaveProfile(HANDLE file) {
  if (!mLoaded) return false;
  HANDLE target = file != nullptr ? file : OpenStored(kReadWrite, 0);
  if (target == INVALID_HANDLE_VALUE) return false;
  if (mHeader.mCurrentProfile < 0) {
    DropPartialRecord(target);
    mHeader.mCurrentProfile = ProfileCount(FileSizeOf(target));
  }
  Velk::Buffer bytes;
  mProfile.Write(bytes);
  bool written = WriteAt(target, ProfileOffset(mHeader.mCurrentProfile), bytes);
  if (file == nullptr && !CloseHandle(target)) {
    ReportSaveFailure();
    written = false;
  }
  return written;
}

bool QCPref::ReadProfileAt(HANDLE file, int index, QCProfile& profile) {
  Velk::Buffer bytes;
  if (index < 0 || !ReadAt(file, ProfileOffset(index), QCProfile::kSize, bytes)) return false;
  profile.Read(bytes);
  return true;
}

bool QCPref::LoadProfile(HANDLE file, int index) {
  Save();
  HANDLE source = file != nullptr ? file : OpenStored(GENERIC_READ, FILE_SHARE_READ);
  if (source == INVALID_HANDLE_VALUE) return false;
  bool read = ReadProfileAt(source, index, mProfile);
  // Closed before the save below, which needs the file to itself.
  if (file == nullptr) CloseHandle(source);
  if (!read) return false;
  mHeader.mCurrentProfile = index;
  // Read from the file, so it belongs there: later saves write it back in its place.
  mLoaded = true;
  Save();
  return true;
}

bool QCPref::CreateProfile(const wchar_t* name, ProfileInitialiser initialiser, void* argument) {
  Save();
  ResetProfile(name);
  mHeader.mCurrentProfile = -1;
  mLoaded = true;
  if (initialiser != nullptr) initialiser(&mProfile, argument);
  Save();
  return true;
}

bool QCPref::DeleteProfile(int index) {
  if (index < 0) return false;
  HANDLE file = OpenStored(kReadWrite, 0);
  if (file == INVALID_HANDLE_VALUE) return false;
  int count = ProfileCount(FileSizeOf(file));
  if (index >= count) {
    CloseHandle(file);
    return false;
  }
  MoveRecordsDown(file, index, count);
  TruncateAt(file, ProfileOffset(count - 1));
  if (mHeader.mCurrentProfile >= index && count == 1) {
    // The last profile went: nothing in memory may write it back.
    mHeader.mCurrentProfile = -1;
    ResetProfile(nullptr);
    mLoaded = false;
    WriteHeader(file);
  } else if (mHeader.mCurrentProfile >= index) {
    mHeader.mCurrentProfile = mHeader.mCurrentProfile == index ? 0 : mHeader.mCurrentProfile - 1;
    WriteHeader(file);
    // This handle is exclusive, so the saves inside write nothing.
    LoadProfile(file, mHeader.mCurrentProfile);
  }
  if (!CloseHandle(file)) ReportSaveFailure();
  return true;
}

void QCPref::MoveRecordsDown(HANDLE file, int from, int count) {
  for (int k = from; k + 1 < count; ++k) {
    Velk::Buffer record;
    ReadAt(file, ProfileOffset(k + 1), QCProfile::kSize, record);
    WriteAt(file, ProfileOffset(k), record);
  }
}

void QCPref::ReadAllProfiles(std::vector<QCProfile>& profiles) {
  HANDLE file = OpenStored(GENERIC_READ, FILE_SHARE_READ);
  if (file == INVALID_HANDLE_VALUE) return;
  int count = ProfileCount(FileSizeOf(file));
  for (int i = 0; i < count; ++i) {
    QCProfile profile;
    if (!ReadProfileAt(file, i, profile)) break;
    profiles.push_back(profile);
  }
  CloseHandle(file);
}

int QCPref::AddHiScore(bool survival, const wchar_t* name, int score) {
  if (score < 1) return kNotEntered;
  QCHiScoreTable& table = GetHiScoreTable(survival);
  // Ranked above every entry of an equal score.
  int rank = kTableEntries;
  while (rank > 0 && table[rank - 1].mScore <= score) --rank;
  if (rank == kTableEntries) return kNotEntered;
  QCHiScoreEntry entry;
  SetPrefName(entry.mName, name);
  entry.mScore = score;
  int old = kTableEntries - 1;
  while (old >= 0 && !SameName(table[old].mName, entry.mName)) --old;
  // The player's older entry ranks higher: it stays the player's one entry.
  if (old >= 0 && old < rank) return kNotEntered;
  int freed = old >= 0 ? old : kTableEntries - 1;
  for (int i = freed; i > rank; --i) table[i] = table[i - 1];
  table[rank] = entry;
  return rank;
}

void QCPref::ApplySettings() {
  bool mute = mHeader.mMute != 0;
  // A damaged or edited file may hold anything; the stored value itself is kept.
  SetSoundVolume(mute ? 0 : std::clamp(mHeader.mSoundVolume, 0, 100));
  SetMusicVolume(mute ? 0 : std::clamp(mHeader.mMusicVolume, 0, 100));
  bool windowed = mHeader.mWindowed != 0;
  if (Velk::gVelkApp != nullptr && Velk::gVelkApp->mIsWindowed != windowed) Velk::gVelkApp->SwitchScreenMode(windowed);
}

void QCPref::ResetProfileProgress() {
  mProfile.mCurrentDay = 1;
  std::fill(std::begin(mProfile.mBestMoney), std::end(mProfile.mBestMoney), 0);
  std::fill(std::begin(mProfile.mExpert), std::end(mProfile.mExpert), 0);
  std::fill(&mProfile.mAchievements[0][0], &mProfile.mAchievements[0][0] + sizeof mProfile.mAchievements, 0);
  std::fill(std::begin(mProfile.mUpgrades), std::end(mProfile.mUpgrades), 0);
  std::fill(std::begin(mProfile.mScreenCounters), std::end(mProfile.mScreenCounters), 0);
}

void QCPref::ResetProfile(const wchar_t* name) {
  ResetProfileProgress();
  mProfile.mScreenValue = 0;
  bool unnamed = name == nullptr || name[0] == L'\0';
  SetPrefName(mProfile.mName, unnamed ? CafeNames::kDefaultProfileName : name);
}
