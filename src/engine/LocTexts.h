#pragma once
// The localised texts read from "cfg\loc.xml" (id -> text shown to the player) and, through
// TextVars.h, the text variables that game code publishes to the screens.
//
// The engine owns one table of each. The forms without a table argument use the engine's tables;
// before an engine exists (tests, tools) they use tables of their own.

#include <map>
#include <mutex>
#include <set>
#include <string>

#include "engine/TextVars.h"

class LocTexts {
 public:
  static constexpr const char* kFile = "cfg\\loc.xml";

  // Reads kFile: every root/loc with both an id and a text, the first text of an id winning. False
  // when the file is missing, cannot be parsed or has no entry whose text says anything (the table
  // then stays as it was): without it the game would show no word.
  bool LoadLocTable();
  // The text of the id, or the one shared empty text when there is none (nothing is inserted). An id
  // a loaded table lacks is named on stderr, once a run, so that a damaged table shows itself.
  const std::wstring& GetLocText(const std::string& id) const;
  size_t Count() const { return mTexts.size(); }

  static const std::wstring& EmptyText();

 private:
  void ReportMissing(const std::string& id) const;

  std::map<std::string, std::wstring> mTexts;
  // Screens are built on the loading thread while the main thread runs: the lookups may meet here.
  mutable std::mutex mMissingLock;
  mutable std::set<std::string> mMissing;
};

// The tables the forms without a table argument use; the engine installs its own (null restores the
// stand-alone tables).
void SetCurrentTextTables(LocTexts* locTexts, TextVars* textVars);
LocTexts& CurrentLocTexts();
TextVars& CurrentTextVars();

const std::wstring& GetLocText(const std::string& id);
const std::wstring& GetLocText(const LocTexts* table, const std::string& id);
void SetTextVar(const std::string& name, const std::wstring& value);
void SetTextVar(TextVars* table, const std::string& name, const std::wstring& value);
void SetTextVarInt(const std::string& name, int value);
void SetTextVarInt(TextVars* table, const std::string& name, int value);
std::wstring& GetTextVar(const std::string& name);
std::wstring& GetTextVar(TextVars* table, const std::string& name);
