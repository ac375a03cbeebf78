#pragma once
// Named values that game code publishes ("money", "day", ...) and text widgets show. A name is
// created, empty, on its first use. Main thread only.

#include <map>
#include <string>

class TextVars {
 public:
  void SetTextVar(const std::string& name, const std::wstring& value) { mValues[name] = value; }
  // The decimal text of the value, with a '-' for negatives.
  void SetTextVarInt(const std::string& name, int value);
  std::wstring& GetTextVar(const std::string& name) { return mValues[name]; }
  size_t Count() const { return mValues.size(); }

 private:
  std::map<std::string, std::wstring> mValues;
};
