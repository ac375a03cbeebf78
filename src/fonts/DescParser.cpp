#include "fonts/DescParser.h"

#include <algorithm>

#include "common/Parse.h"
#include "common/StringUtil.h"
#include "fonts/TruncToInt.h"
#include "resources/PakInterface.h"

namespace Velk {

namespace {

// Deeper lists are refused: each level is a recursion in the tokenizer and in every copy.
constexpr int kMaxListDepth = 64;
// Defines that name each other can double a value per command; a value may not grow beyond this.
constexpr size_t kMaxValueNodes = 1 << 16;
constexpr wchar_t kByteOrderMark = 0xFEFF;

bool IsQuote(wchar_t c) { return c == L'\'' || c == L'"'; }

bool IsSeparator(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L','; }

const SingleDataElement& AsSingle(const DataElement& element) { return static_cast<const SingleDataElement&>(element); }

// Appends to the command being collected, noting the line where it begins.
class CommandText {
 public:
  CommandText(std::wstring& line, int& lineNum, const int& lineCounter)
      : mLine(line), mLineNum(lineNum), mLineCounter(lineCounter) {}

  void Append(wchar_t c) {
    if (mLine.empty()) mLineNum = mLineCounter + 1;
    mLine.push_back(c);
  }

 private:
  std::wstring& mLine;
  int& mLineNum;
  const int& mLineCounter;
};

template <typename T>
bool ParseEach(const std::vector<std::wstring>& words, std::vector<T>& out, bool (*parse)(const std::wstring&, T&)) {
  out.clear();
  for (const std::wstring& word : words) {
    T value{};
    if (!parse(word, value)) return false;
    out.push_back(value);
  }
  return true;
}

// The number of values in an element and how deeply its lists nest.
void Measure(const DataElement& element, size_t& nodes, int& depth) {
  ++nodes;
  depth = 0;
  if (!element.mIsList) return;
  for (const DataElement* child : static_cast<const ListDataElement&>(element).mElementVector) {
    int childDepth = 0;
    Measure(*child, nodes, childDepth);
    depth = std::max(depth, childDepth + 1);
  }
}

}  // namespace

DescParser::~DescParser() {
  for (auto& define : mDefineMap) delete define.second;
}

bool DescParser::Error(const std::wstring& msg) {
  mError = msg;
  return false;
}

DataElement* DescParser::FindDefine(const std::wstring& name) {
  auto it = mDefineMap.find(ToUpperW(name));
  return it == mDefineMap.end() ? nullptr : it->second;
}

void DescParser::SetDefine(const std::wstring& name, DataElement* value) {
  const std::wstring key = ToUpperW(name);
  auto it = mDefineMap.find(key);
  if (it != mDefineMap.end()) {
    delete it->second;
    mDefineMap.erase(it);
  }
  if (value) mDefineMap.emplace(key, value);
}

bool DescParser::LoadDescriptor(const std::string& fileName) {
  mError.clear();
  PakFile* file = PakFileOpen(fileName.c_str(), "rb");
  if (!file) return false;
  std::wstring text;
  for (;;) {
    wchar_t c = PakFileGetwc(file);
    if (c == kPakWideEof && PakFileEof(file)) break;
    text.push_back(c);
  }
  PakFileClose(file);
  return ExecuteText(text);
}

bool DescParser::ExecuteText(const std::wstring& text) {
  size_t pos = 0;
  // A leading byte-order mark would otherwise become part of the first command.
  if (!text.empty() && text[0] == kByteOrderMark) pos = 1;
  int lineCounter = 0;
  bool ok = true;
  while (pos < text.size()) {
    CollectCommand(text, pos, lineCounter);
    if (!mCurrentLine.empty() && !ParseCommand()) ok = false;
    mCurrentLine.clear();
    if (!ok) break;
  }
  mCurrentLine.clear();
  mCurrentLineNum = 0;
  return ok;
}

// One command: up to a ';' outside quotes, a 0xFFFF unit or the end. Comment lines are dropped;
// inside quotes a backslash pair is kept whole for the tokenizer.
void DescParser::CollectCommand(const std::wstring& text, size_t& pos, int& lineCounter) {
  CommandText out(mCurrentLine, mCurrentLineNum, lineCounter);
  bool atLineStart = true, inComment = false, inSingle = false, inDouble = false, pendingBackslash = false;
  auto appendPlain = [&](wchar_t c) {
    if (pendingBackslash) out.Append(L'\\');
    pendingBackslash = false;
    out.Append(c);
  };
  while (pos < text.size()) {
    const wchar_t c = text[pos++];
    if (c == kPakWideEof) return;
    if (c == L'\r') continue;
    if (c == L'\n') ++lineCounter;
    if (atLineStart) {
      if (c == L' ' || c == L'\t' || c == L'\n') continue;
      atLineStart = false;
      if (c == L'#') {
        inComment = true;
        continue;
      }
    }
    if (c == L'\n') {
      atLineStart = true;
      if (inComment)
        inComment = false;
      else
        out.Append(c);
      continue;
    }
    if (inComment) continue;
    const bool quoted = inSingle || inDouble;
    if (c == L'\\') {
      if (!quoted) {
        out.Append(c);
      } else if (pendingBackslash) {
        out.Append(L'\\');
        out.Append(L'\\');
        pendingBackslash = false;
      } else {
        pendingBackslash = true;
      }
    } else if (IsQuote(c)) {
      bool& mine = c == L'\'' ? inSingle : inDouble;
      const bool other = c == L'\'' ? inDouble : inSingle;
      if (other || pendingBackslash) {
        appendPlain(c);
      } else {
        mine = !mine;
        out.Append(c);
      }
    } else if (c == L';' && !quoted) {
      return;
    } else {
      appendPlain(c);
    }
  }
}

bool DescParser::ParseCommand() {
  ListDataElement params;
  size_t pos = 0;
  if (!TokenizeCommand(mCurrentLine, params, false, pos, 0)) return false;
  if (params.mElementVector.empty()) return true;
  if (params.mElementVector[0]->mIsList) return Error(L"Missing Command");
  return HandleCommand(params);
}

bool DescParser::TokenizeCommand(const std::wstring& text, ListDataElement& dst, bool inList, size_t& pos, int depth) {
  bool inSingle = false, inDouble = false, escape = false;
  SingleDataElement* word = nullptr;
  auto append = [&](wchar_t c) {
    if (!word) {
      word = new SingleDataElement;
      dst.mElementVector.push_back(word);
    }
    word->mString.push_back(c);
  };
  while (pos < text.size()) {
    const wchar_t c = text[pos++];
    if (escape) {
      escape = false;
      append(c);
    } else if (c == L'\\') {
      escape = true;
    } else if (c == L'\'') {
      if (!inDouble) inSingle = !inSingle;
      append(c);
    } else if (c == L'"') {
      if (!inSingle) inDouble = !inDouble;
      append(c);
    } else if (inSingle || inDouble) {
      append(c);
    } else if (c == L')') {
      return inList ? true : Error(L"Unexpected List End");
    } else if (c == L'(') {
      if (word || depth >= kMaxListDepth) return Error(L"Unexpected List Start");
      auto* list = new ListDataElement;
      dst.mElementVector.push_back(list);
      if (!TokenizeCommand(text, *list, true, pos, depth + 1)) return false;
    } else if (IsSeparator(c)) {
      word = nullptr;
    } else {
      append(c);
    }
  }
  if (inSingle) return Error(L"Unterminated Single Quotes");
  if (inDouble) return Error(L"Unterminated Double Quotes");
  if (inList) return Error(L"Unterminated List");
  return true;
}

bool DescParser::IsImmediate(const std::wstring& word) {
  if (word.empty()) return false;
  const wchar_t c = word[0];
  return (c >= L'0' && c <= L'9') || c == L'-' || c == L'+' || IsQuote(c);
}

std::wstring DescParser::Unquote(const std::wstring& word) {
  if (word.empty() || !IsQuote(word[0])) return word;
  const wchar_t q = word[0];
  std::wstring result;
  bool lastWasQuote = false;
  for (wchar_t c : word) {
    if (c != q) {
      result.push_back(c);
      lastWasQuote = false;
    } else if (lastWasQuote) {
      result.push_back(q);
      lastWasQuote = false;
    } else {
      lastWasQuote = true;
    }
  }
  return result;
}

std::wstring DescParser::DataElementToString(const DataElement& element) {
  if (!element.mIsList) return AsSingle(element).mString;
  std::wstring result = L"(";
  const auto& elements = static_cast<const ListDataElement&>(element).mElementVector;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (i > 0) result += L", ";
    result += DataElementToString(*elements[i]);
  }
  return result + L")";
}

bool DescParser::UnableToDereference(const std::wstring& name) {
  return Error(L"Unable to Dereference \"" + name + L"\"");
}

bool DescParser::GetString(const DataElement& element, std::wstring& out) {
  out.clear();
  if (element.mIsList) return false;
  const std::wstring& word = AsSingle(element).mString;
  const DataElement* define = FindDefine(word);
  if (!define) {
    out = Unquote(word);
    return true;
  }
  if (define->mIsList) return false;
  out = Unquote(AsSingle(*define).mString);
  return true;
}

bool DescParser::DataToList(const ListDataElement& src, ListDataElement& dst) {
  size_t nodes = 0;
  return ResolveList(src, dst, 1, nodes);
}

bool DescParser::ResolveList(const ListDataElement& src, ListDataElement& dst, int depth, size_t& nodes) {
  for (const DataElement* element : src.mElementVector) {
    if (element->mIsList) {
      auto* list = new ListDataElement;
      dst.mElementVector.push_back(list);
      ++nodes;
      if (!ResolveList(static_cast<const ListDataElement&>(*element), *list, depth + 1, nodes)) return false;
      continue;
    }
    const std::wstring& word = AsSingle(*element).mString;
    if (word.empty()) continue;
    if (IsQuote(word[0])) {
      dst.mElementVector.push_back(new SingleDataElement(Unquote(word)));
    } else if (IsImmediate(word)) {
      dst.mElementVector.push_back(element->Duplicate());
    } else {
      const DataElement* define = FindDefine(word);
      int defineDepth = 0;
      if (define) Measure(*define, nodes, defineDepth);
      if (!define || depth + defineDepth > kMaxListDepth || nodes > kMaxValueNodes) return UnableToDereference(word);
      dst.mElementVector.push_back(define->Duplicate());
    }
    ++nodes;
  }
  return true;
}

bool DescParser::GetList(const DataElement& element, ListDataElement& dst) {
  if (element.mIsList) return DataToList(static_cast<const ListDataElement&>(element), dst);
  const DataElement* define = FindDefine(AsSingle(element).mString);
  if (!define || !define->mIsList) return false;
  dst = static_cast<const ListDataElement&>(*define);
  return true;
}

bool DescParser::GetStringList(const DataElement& element, std::vector<std::wstring>& out) {
  out.clear();
  ListDataElement scratch;
  const ListDataElement* list = &scratch;
  if (element.mIsList) {
    if (!DataToList(static_cast<const ListDataElement&>(element), scratch)) return false;
  } else {
    const std::wstring& word = AsSingle(element).mString;
    const DataElement* define = FindDefine(word);
    if (!define) return UnableToDereference(word);
    if (!define->mIsList) return false;
    list = static_cast<const ListDataElement*>(define);
  }
  for (const DataElement* item : list->mElementVector) {
    if (item->mIsList) {
      out.clear();
      return false;
    }
    out.push_back(AsSingle(*item).mString);
  }
  return true;
}

bool DescParser::GetIntList(const DataElement& element, std::vector<int>& out) {
  std::vector<std::wstring> words;
  return GetStringList(element, words) && ParseEach(words, out, ParseIntW);
}

bool DescParser::GetDoubleList(const DataElement& element, std::vector<double>& out) {
  std::vector<std::wstring> words;
  return GetStringList(element, words) && ParseEach(words, out, ParseDoubleW);
}

bool DescParser::GetColor(const DataElement& element, Color& out) {
  if (element.mIsList) {
    std::vector<double> values;
    if (!GetDoubleList(element, values) || values.size() < 4) return false;
    out = Color(TruncToInt(values[0] * 255), TruncToInt(values[1] * 255), TruncToInt(values[2] * 255),
                TruncToInt(values[3] * 255));
    return true;
  }
  int packed = 0;
  if (!ParseIntW(AsSingle(element).mString, packed)) return false;
  out = Color(static_cast<uint32_t>(packed));
  return true;
}

}  // namespace Velk
