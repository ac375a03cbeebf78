#include "engine/LocTexts.h"

#include <cstdio>

#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"

namespace {

LocTexts* gLocTexts = nullptr;
TextVars* gTextVars = nullptr;

}  // namespace

bool LocTexts::LoadLocTable() {
  XmlNodeRef root = LoadXmlRoot(kFile);
  if (!root) return false;
  std::map<std::string, std::wstring> read;
  // Entries whose texts are all empty are no table: every label would be blank and the default
  // hi-score names with them.
  bool anyText = false;
  XmlForEach(root.Get(), L"loc", [&read, &anyText](IXMLDOMNode* loc) {
    char id[128] = {};
    std::wstring text;
    // The whole text is kept, however long.
    if (XmlGetAttrString(loc, L"id", id, sizeof id) && XmlGetAttrText(loc, L"text", text)) {
      anyText = anyText || !text.empty();
      read.emplace(id, std::move(text));
    }
  });
  if (anyText) mTexts.merge(read);
  return anyText;
}

const std::wstring& LocTexts::GetLocText(const std::string& id) const {
  auto it = mTexts.find(id);
  if (it != mTexts.end()) return it->second;
  ReportMissing(id);
  return EmptyText();
}

// A table never loaded has been named already, by the load that failed.
void LocTexts::ReportMissing(const std::string& id) const {
  if (mTexts.empty()) return;
  std::lock_guard<std::mutex> lock(mMissingLock);
  if (mMissing.insert(id).second) std::fprintf(stderr, "%s: no text has the id \"%s\"\n", kFile, id.c_str());
}

const std::wstring& LocTexts::EmptyText() {
  static const std::wstring empty;
  return empty;
}

void SetCurrentTextTables(LocTexts* locTexts, TextVars* textVars) {
  gLocTexts = locTexts;
  gTextVars = textVars;
}

LocTexts& CurrentLocTexts() {
  static LocTexts standAlone;
  return gLocTexts ? *gLocTexts : standAlone;
}

TextVars& CurrentTextVars() {
  static TextVars standAlone;
  return gTextVars ? *gTextVars : standAlone;
}

const std::wstring& GetLocText(const std::string& id) { return CurrentLocTexts().GetLocText(id); }

const std::wstring& GetLocText(const LocTexts* table, const std::string& id) {
  return table ? table->GetLocText(id) : LocTexts::EmptyText();
}

void SetTextVar(const std::string& name, const std::wstring& value) { CurrentTextVars().SetTextVar(name, value); }

void SetTextVar(TextVars* table, const std::string& name, const std::wstring& value) {
  if (table) table->SetTextVar(name, value);
}

void SetTextVarInt(const std::string& name, int value) { CurrentTextVars().SetTextVarInt(name, value); }

void SetTextVarInt(TextVars* table, const std::string& name, int value) {
  if (table) table->SetTextVarInt(name, value);
}

std::wstring& GetTextVar(const std::string& name) { return CurrentTextVars().GetTextVar(name); }

std::wstring& GetTextVar(TextVars* table, const std::string& name) {
  return (table ? *table : CurrentTextVars()).GetTextVar(name);
}
