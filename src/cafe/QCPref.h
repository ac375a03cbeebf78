#pragma once
// The preference store: settings, the two hi-score tables and the player profiles, kept in pref.dat
// in the user's data folder. One profile is current and held here; every change is written back at
// once by Save, and the file is never held open between operations.
//
// pref.dat: the header (40 bytes), the survival table and the career table (10 entries of 260 bytes
// each) and then the profiles (912 bytes each) one after the other.

#include "cafe/QCPrefRecords.h"
#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

class QCPref {
 public:
  static constexpr int kTableEntries = 10;
  static constexpr uint64_t kSurvivalOffset = QCPrefHeader::kSize;
  static constexpr uint64_t kCareerOffset = kSurvivalOffset + kTableEntries * QCHiScoreEntry::kSize;
  static constexpr uint64_t kProfilesOffset = kCareerOffset + kTableEntries * QCHiScoreEntry::kSize;
  // What AddHiScore answers for a score that does not enter the table.
  static constexpr int kNotEntered = 10;

  using ProfileInitialiser = void (*)(QCProfile* profile, void* argument);

  // The settings and the current profile's index; the screens change the settings here and Save.
  QCPrefHeader mHeader;
  QCProfile mProfile;
  // The profile in memory belongs to the file: read from it, or made to be appended by the next save.
  bool mLoaded = false;
  QCHiScoreTable mSurvivalTable;
  QCHiScoreTable mCareerTable;

  // Finds the folder of pref.dat; it is made by the first save. Nothing is read yet.
  QCPref();

  // Reads pref.dat, or starts afresh with defaults when it is missing or not ours; an unreadable
  // file, or one whose last profile is cut short, is kept as pref.dat.bad (pref.dat.bad.1 and so
  // on when earlier copies are there) and the player told. When no copy can be written (a file
  // there that cannot be opened at all among them, or one in a folder that cannot be searched) the
  // file is left as it is, the player told, and the game plays on the defaults and saves nothing
  // this run; so too, at any open, when another program holds the file for longer than a save of
  // the game takes.
  // Applies the settings and writes the file back. Always true.
  bool Load();
  // Writes the header, both tables and the current profile. Always true: a file that cannot be
  // written leaves everything in memory, and the next save tries again; the first failure of a
  // run is logged and shown to the player.
  bool Save();
  // Writes the current profile (when loaded) into `file`, or into pref.dat when none is given; a
  // profile without an index is appended and takes the next one. True when the record was written.
  bool SaveProfile(HANDLE file);
  // Makes record `index` the current profile, read from `file` or from pref.dat. Saves before and,
  // when the record was read, after. False for a negative index or a record the file does not hold.
  bool LoadProfile(HANDLE file, int index);
  // Starts a fresh profile of that name, which the save at its end appends.
  bool CreateProfile(const wchar_t* name, ProfileInitialiser initialiser, void* argument);
  // Removes record `index`; the later ones move down and the current index follows its profile.
  bool DeleteProfile(int index);
  // Appends every whole profile of pref.dat, in file order.
  void ReadAllProfiles(std::vector<QCProfile>& profiles);

  QCProfile* GetProfile() { return &mProfile; }
  QCHiScoreTable& GetHiScoreTable(bool survival) { return survival ? mSurvivalTable : mCareerTable; }
  // Enters the score for `name`: its rank 0..9, or kNotEntered. A player keeps one entry, the best.
  int AddHiScore(bool survival, const wchar_t* name, int score);

  // The stored volumes (both 0 when muted) and the stored screen mode take effect.
  void ApplySettings();
  // Back to the first day with nothing won or bought; the name stays.
  void ResetProfileProgress();
  // A fresh profile of that name ("unknown" for null or empty).
  void ResetProfile(const wchar_t* name);

  // The file, or (after a save) the folder where making the folders stopped.
  const std::string& GetPath() const { return mPath; }
  // The folder pref.dat is kept in, made or not.
  std::string GetFolder() const;

 private:
  bool MakeFolders();
  HANDLE OpenFile(DWORD access, DWORD share, DWORD disposition);
  HANDLE OpenStored(DWORD access, DWORD share);
  void WriteHeader(HANDLE file);
  void SetDefaultTables(bool survival, bool career);
  bool ReadTable(HANDLE file, uint64_t offset, QCHiScoreTable& table);
  bool ReadProfileAt(HANDLE file, int index, QCProfile& profile);
  bool LoadCurrentProfile(HANDLE file);
  bool SetAside(HANDLE file, const char* textId, const wchar_t* text);
  void Refuse(const std::string& what, const char* textId, const wchar_t* text, const std::string& named);
  bool RefuseShutFolder(const std::string& path);
  void LeaveUnreadableFile();
  void ReportSaveFailure();
  void MoveRecordsDown(HANDLE file, int from, int count);

  std::string mDataFolder;
  std::string mPath;
  // Why the file is neither read nor written again this run (the folders could not be made, or the
  // file is left as it is: it could not be read or copied, or another program holds it);
  // null while it may be.
  const char* mRefusal = nullptr;
  // The file on disk is not ours (a copy is kept aside): the next save writes it from nothing, and
  // until one is committed nothing is read from it.
  bool mStartAfresh = false;
  bool mFoldersMade = false;
  bool mSaveFailureReported = false;
};
