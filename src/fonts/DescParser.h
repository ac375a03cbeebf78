#pragma once
#include <map>
#include <string>
#include <vector>

#include "fonts/DataElement.h"
#include "fonts/ListDataElement.h"
#include "fonts/SingleDataElement.h"
#include "graphics/Color.h"

namespace Velk {

// Reads a descriptor file: cuts it into commands at ';', each command into words, quoted strings and
// parenthesised lists, and hands every command to HandleCommand. Keeps the defines that later
// commands may use in place of values.
class DescParser {
 public:
  std::wstring mError;
  int mCurrentLineNum = 0;  // where the command being parsed began; 0 outside a file
  std::wstring mCurrentLine;
  std::map<std::wstring, DataElement*> mDefineMap;  // upper-cased names; the values are owned

  DescParser() = default;
  DescParser(const DescParser&) = delete;
  DescParser& operator=(const DescParser&) = delete;
  virtual ~DescParser();

  virtual bool Error(const std::wstring& msg);
  virtual DataElement* FindDefine(const std::wstring& name);
  virtual bool HandleCommand(const ListDataElement& params) = 0;

  // False when the file cannot be opened (with no error text) or a command fails.
  bool LoadDescriptor(const std::string& fileName);

  static bool IsImmediate(const std::wstring& word);
  static std::wstring Unquote(const std::wstring& word);
  static std::wstring DataElementToString(const DataElement& element);

  bool GetString(const DataElement& element, std::wstring& out);
  bool DataToList(const ListDataElement& src, ListDataElement& dst);
  bool GetList(const DataElement& element, ListDataElement& dst);
  bool GetStringList(const DataElement& element, std::vector<std::wstring>& out);
  bool GetIntList(const DataElement& element, std::vector<int>& out);
  bool GetDoubleList(const DataElement& element, std::vector<double>& out);
  bool GetColor(const DataElement& element, Color& out);

 protected:
  // Runs every command of the text of a whole file.
  bool ExecuteText(const std::wstring& text);
  // Replaces a define (null removes it); the value is taken over.
  void SetDefine(const std::wstring& name, DataElement* value);

 private:
  void CollectCommand(const std::wstring& text, size_t& pos, int& lineCounter);
  bool ParseCommand();
  bool ResolveList(const ListDataElement& src, ListDataElement& dst, int depth, size_t& nodes);
  bool TokenizeCommand(const std::wstring& text, ListDataElement& dst, bool inList, size_t& pos, int depth);
  bool UnableToDereference(const std::wstring& name);
};

}  // namespace Velk
