#include "resources/XMLParser.h"

#include <algorithm>
#include <cstdio>

#include "common/StringUtil.h"
#include "resources/PakInterface.h"

namespace Velk {

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;
constexpr wchar_t kSwappedByteOrderMark = 0xFFFE;
constexpr wchar_t kReplacementChar = 0xFFFD;

bool IsSpace(wchar_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// "&name;" for the names the reader knows; an unknown name leaves a lone '&'.
std::wstring DecodeEntities(const std::wstring& text) {
  static const struct {
    const wchar_t* name;
    wchar_t c;
  } kEntities[] = {{L"lt", L'<'},    {L"amp", L'&'},  {L"gt", L'>'}, {L"quot", L'"'},
                   {L"apos", L'\''}, {L"nbsp", L' '}, {L"cr", L'\n'}};
  std::wstring out;
  size_t i = 0;
  while (i < text.size()) {
    size_t semicolon = text[i] == L'&' ? text.find(L';', i + 1) : std::wstring::npos;
    if (semicolon == std::wstring::npos) {
      out += text[i++];
      continue;
    }
    std::wstring name = text.substr(i + 1, semicolon - i - 1);
    wchar_t replacement = L'&';
    for (const auto& entity : kEntities)
      if (name == entity.name) replacement = entity.c;
    out += replacement;
    i = semicolon + 1;
  }
  return out;
}

}  // namespace

// What one element has seen so far.
struct XMLParser::ElementState {
  explicit ElementState(XMLElement* e) : element(e) {}
  XMLElement* element;
  bool quoted = false;        // inside double quotes
  bool spacePending = false;  // white space since the last stored character
  bool inAttributes = false;  // a start tag past its name
  bool inInstruction = false;
  std::wstring attrName;
  std::wstring attrValue;
  bool sawEquals = false;
  bool valueStarted = false;
  bool lastCharQuoted = false;  // the value's last character came from inside quotes
  std::wstring lastAttrName;    // the attribute added last, and whether an unquoted '/' ends it
  bool lastAttrSlash = false;
  wchar_t previous = 0;
};

XMLParser::XMLParser() = default;

XMLParser::~XMLParser() { CloseFile(); }

void XMLParser::CloseFile() {
  if (mFile) PakFileClose(mFile);
  mFile = nullptr;
}

bool XMLParser::OpenFile(const std::string& fileName) {
  CloseFile();
  mFileName = fileName;
  mPushBack.clear();
  mFile = PakFileOpen(fileName.c_str(), "rb");
  if (!mFile) {
    mHasFailed = true;
    mErrorText = L"Unable to open file " + Widen(fileName);
    return false;
  }
  DetectEncoding();
  mCurrentSection.clear();
  mLineNumber = 1;
  mHasFailed = false;
  mErrorText.clear();
  mFirstChar = true;
  mByteSwap = false;
  return true;
}

void XMLParser::DetectEncoding() {
  PakFileSeek(mFile, 0, SEEK_END);
  LONG length = PakFileTell(mFile);
  PakFileSeek(mFile, 0, SEEK_SET);
  mEncoding = Encoding::SingleByte;
  if (length >= 2 && (StartsWith({0xFF, 0xFE}) || StartsWith({0xFE, 0xFF})))
    mEncoding = Encoding::Utf16;
  else if (length >= 3 && StartsWith({0xEF, 0xBB, 0xBF}))
    mEncoding = Encoding::Utf8;
}

// Looks at the first bytes and leaves the position at the start; the readers skip the mark.
bool XMLParser::StartsWith(std::initializer_list<uint8_t> mark) {
  uint8_t bytes[3] = {};
  size_t got = PakFileRead(bytes, 1, mark.size(), mFile);
  PakFileSeek(mFile, 0, SEEK_SET);
  return got == mark.size() && std::equal(mark.begin(), mark.end(), bytes);
}

// Bytes are taken with Read: the character readers of the file layer drop carriage returns.
bool XMLParser::ReadByte(uint8_t& byte) { return PakFileRead(&byte, 1, 1, mFile) == 1; }

void XMLParser::PushBack(const std::wstring& text) {
  for (auto it = text.rbegin(); it != text.rend(); ++it) mPushBack.push_back(*it);
}

XMLParser::Read XMLParser::ReadChar(wchar_t& c) {
  Read result = Read::Char;
  if (!mPushBack.empty()) {
    c = mPushBack.back();
    mPushBack.pop_back();
  } else {
    result = ReadFromFile(c);
  }
  if (result == Read::Char && c == L'\n') ++mLineNumber;
  return result;
}

XMLParser::Read XMLParser::ReadFromFile(wchar_t& c) {
  switch (mEncoding) {
    case Encoding::SingleByte:
      return ReadSingleByte(c);
    case Encoding::Utf8:
      return ReadUtf8(c);
    case Encoding::Utf16:
      return ReadUtf16(c);
  }
  return Read::End;
}

XMLParser::Read XMLParser::ReadSingleByte(wchar_t& c) {
  uint8_t byte;
  if (!ReadByte(byte)) return Read::End;
  c = byte;
  return Read::Char;
}

XMLParser::Read XMLParser::ReadUtf8(wchar_t& c) {
  uint8_t lead;
  if (!ReadByte(lead)) return Read::End;
  int extra;
  uint32_t code;
  if (lead < 0x80) {
    extra = 0, code = lead;
  } else if (lead < 0xC0 || lead >= 0xFC || lead == 0xC0 || lead == 0xC1) {
    return Read::Illegal;
  } else if (lead < 0xE0) {
    extra = 1, code = lead & 0x1F;
  } else if (lead < 0xF0) {
    extra = 2, code = lead & 0x0F;
  } else if (lead < 0xF8) {
    extra = 3, code = lead & 0x07;
  } else {
    extra = 4, code = lead & 0x03;
  }
  for (int i = 0; i < extra; ++i) {
    uint8_t next;
    if (!ReadByte(next) || (next & 0xC0) != 0x80) return Read::Illegal;
    code = (code << 6) | (next & 0x3F);
  }
  static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000, 0x200000};
  if (code < kMinimum[extra] || (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF)
    return Read::Illegal;
  if (code > 0x10FFFF) code = kReplacementChar;  // no UTF-16 form
  bool first = mFirstChar;
  mFirstChar = false;
  if (first && code == kByteOrderMark) return ReadUtf8(c);
  if (code >= 0x10000) {
    // Outside the basic plane: a surrogate pair, the low half read next.
    code -= 0x10000;
    mPushBack.push_back(static_cast<wchar_t>(0xDC00 | (code & 0x3FF)));
    code = 0xD800 | (code >> 10);
  }
  c = static_cast<wchar_t>(code);
  return Read::Char;
}

bool XMLParser::ReadUtf16Unit(uint16_t& unit) {
  uint8_t b[2];
  if (PakFileRead(b, 1, 2, mFile) != 2) return false;
  unit = mByteSwap ? static_cast<uint16_t>((b[0] << 8) | b[1]) : static_cast<uint16_t>(b[0] | (b[1] << 8));
  return true;
}

XMLParser::Read XMLParser::ReadUtf16(wchar_t& c) {
  uint16_t unit;
  if (!ReadUtf16Unit(unit)) return Read::End;
  if (mFirstChar) {
    mFirstChar = false;
    if (unit == kByteOrderMark || unit == kSwappedByteOrderMark) {
      mByteSwap = unit == kSwappedByteOrderMark;
      return ReadUtf16(c);
    }
  }
  if (IsLowSurrogate(unit)) return Read::Illegal;
  if (IsHighSurrogate(unit)) {
    uint16_t low;
    if (!ReadUtf16Unit(low) || !IsLowSurrogate(low)) return Read::Illegal;
    mPushBack.push_back(static_cast<wchar_t>(low));
  }
  c = static_cast<wchar_t>(unit);
  return Read::Char;
}

XMLParser::Step XMLParser::Fail(const std::wstring& text) {
  mHasFailed = true;
  mErrorText = text;
  return Step::Failed;
}

bool XMLParser::NextElement(XMLElement* element) {
  if (!mFile || mHasFailed) return false;
  for (;;) {
    *element = XMLElement{};
    element->mSection = mCurrentSection;
    ElementState s(element);
    Step step = Step::Continue;
    while (step == Step::Continue) {
      wchar_t c = 0;
      Read read = ReadChar(c);
      if (read == Read::Illegal)
        step = Fail(L"Illegal Character");
      else if (read == Read::End && element->mType != XMLElement::TYPE_NONE)
        step = Fail(L"Unexpected End of File");
      else if (read == Read::End)
        return false;
      else
        step = HandleChar(s, c);
      s.previous = c;
    }
    if (step == Step::Failed) return false;
    if (element->mType != XMLElement::TYPE_COMMENT || mAllowComments) return true;
  }
}

XMLParser::Step XMLParser::HandleChar(ElementState& s, wchar_t c) {
  switch (s.element->mType) {
    case XMLElement::TYPE_INSTRUCTION:
      return HandleInstructionChar(s, c);
    case XMLElement::TYPE_COMMENT:
      return HandleCommentChar(s, c);
    default:
      break;
  }
  if (c == L'"') return HandleQuote(s);
  if (!s.quoted) return HandleMarkupChar(s, c);
  HandleContentChar(s, c);
  return Step::Continue;
}

XMLParser::Step XMLParser::HandleInstructionChar(ElementState& s, wchar_t c) {
  XMLElement& e = *s.element;
  std::wstring& target = s.inInstruction ? e.mInstruction : e.mValue;
  if (c == L'>' && s.previous == L'?') {
    if (!target.empty()) target.pop_back();
    e.mValue = DecodeEntities(e.mValue);
    return Step::Done;
  }
  if (!s.inInstruction && IsSpace(c))
    s.inInstruction = true;
  else
    target += c;
  return Step::Continue;
}

XMLParser::Step XMLParser::HandleCommentChar(ElementState& s, wchar_t c) {
  std::wstring& body = s.element->mInstruction;
  if (c == L'>' && body.size() >= 2 && body.ends_with(L"--")) {
    body.resize(body.size() - 2);
    return Step::Done;
  }
  body += c;
  return Step::Continue;
}

bool XMLParser::EntersAttributes(ElementState& s) {
  const XMLElement& e = *s.element;
  if (e.mType == XMLElement::TYPE_START && !s.inAttributes && !e.mValue.empty() && s.spacePending) {
    s.inAttributes = true;
    s.spacePending = false;
  }
  return s.inAttributes;
}

XMLParser::Step XMLParser::HandleQuote(ElementState& s) {
  XMLElement& e = *s.element;
  s.quoted = !s.quoted;
  if (e.mType == XMLElement::TYPE_NONE || e.mType == XMLElement::TYPE_TEXT) {
    HandleContentChar(s, L'"');  // kept in text
    return Step::Continue;
  }
  if (EntersAttributes(s) && s.sawEquals) {
    if (s.quoted && s.valueStarted && s.spacePending) AddAttribute(s);
    s.valueStarted = true;
    s.spacePending = false;
  }
  return Step::Continue;
}

XMLParser::Step XMLParser::HandleMarkupChar(ElementState& s, wchar_t c) {
  XMLElement& e = *s.element;
  if (c == L'<') {
    if (e.mType == XMLElement::TYPE_TEXT) {
      PushBack(L"<");
      e.mValue = DecodeEntities(e.mValue);
      return Step::Done;
    }
    if (e.mType != XMLElement::TYPE_NONE) return Fail(L"Unexpected '<'");
    e.mType = XMLElement::TYPE_START;
    return Step::Continue;
  }
  if (c == L'>') {
    if (e.mType == XMLElement::TYPE_START) return FinishStartTag(s);
    if (e.mType == XMLElement::TYPE_END) return FinishEndTag(s);
    return Fail(L"Unexpected '>'");
  }
  if (e.mType == XMLElement::TYPE_START && e.mValue.empty() && !s.inAttributes) {
    if (c == L'/') {
      e.mType = XMLElement::TYPE_END;
      return Step::Continue;
    }
    if (c == L'?') {
      e.mType = XMLElement::TYPE_INSTRUCTION;
      return Step::Continue;
    }
  }
  if (IsSpace(c)) {
    if (!e.mValue.empty()) s.spacePending = true;
    if (e.mType == XMLElement::TYPE_START && e.mValue == L"!--") e.mType = XMLElement::TYPE_COMMENT;
    return Step::Continue;
  }
  if (c < 33) return Fail(L"Illegal Character");
  HandleContentChar(s, c);
  return Step::Continue;
}

void XMLParser::HandleContentChar(ElementState& s, wchar_t c) {
  XMLElement& e = *s.element;
  if (e.mType == XMLElement::TYPE_NONE) e.mType = XMLElement::TYPE_TEXT;
  if (EntersAttributes(s)) {
    HandleAttributeChar(s, c);
    return;
  }
  if (s.spacePending) e.mValue += L' ';
  s.spacePending = false;
  e.mValue += c;
}

// A name, '=' (white space around it allowed), a value; white space after the value, or a new
// name after a name without '=', ends the attribute.
void XMLParser::HandleAttributeChar(ElementState& s, wchar_t c) {
  bool ends = s.spacePending && (s.sawEquals ? s.valueStarted : !s.attrName.empty());
  if (!s.sawEquals && c == L'=' && !s.quoted) {
    s.sawEquals = true;
  } else if (ends) {
    AddAttribute(s);
    s.spacePending = false;
    HandleAttributeChar(s, c);
    return;
  } else if (s.sawEquals) {
    s.attrValue += c;
    s.valueStarted = true;
    s.lastCharQuoted = s.quoted;
  } else {
    s.attrName += c;
  }
  s.spacePending = false;
}

void XMLParser::AddAttribute(ElementState& s) {
  XMLElement& e = *s.element;
  if (s.attrName != L"/") {
    std::wstring name = DecodeEntities(s.attrName);
    e.mAttributes[name] = DecodeEntities(s.attrValue);
    e.mAttributeOrder.push_back(name);
    s.lastAttrName = name;
    // Only a '/' written outside quotes closes the element: path="gfx/" keeps its slash.
    s.lastAttrSlash = !s.attrValue.empty() && s.attrValue.back() == L'/' && !s.lastCharQuoted;
  }
  s.attrName.clear();
  s.attrValue.clear();
  s.sawEquals = s.valueStarted = s.lastCharQuoted = false;
}

XMLParser::Step XMLParser::FinishStartTag(ElementState& s) {
  XMLElement& e = *s.element;
  bool pendingSlash = s.attrName == L"/";
  if (!pendingSlash && (!s.attrName.empty() || s.sawEquals)) AddAttribute(s);
  bool selfClosing = pendingSlash;
  if (!selfClosing && !s.inAttributes && e.mValue.ends_with(L'/')) {
    e.mValue.pop_back();
    selfClosing = true;
  }
  if (!selfClosing && s.lastAttrSlash) {
    e.mAttributes[s.lastAttrName].pop_back();
    selfClosing = true;
  }
  std::wstring rawName = e.mValue;
  e.mValue = DecodeEntities(e.mValue);
  if (selfClosing) PushBack(L"</" + rawName + L">");
  mCurrentSection += mCurrentSection.empty() ? e.mValue : L"/" + e.mValue;
  return Step::Done;
}

XMLParser::Step XMLParser::FinishEndTag(ElementState& s) {
  XMLElement& e = *s.element;
  e.mValue = DecodeEntities(e.mValue);
  if (mCurrentSection.empty()) return Fail(L"Unexpected End");
  size_t slash = mCurrentSection.rfind(L'/');
  std::wstring last = slash == std::wstring::npos ? mCurrentSection : mCurrentSection.substr(slash + 1);
  if (last != e.mValue) return Fail(L"End '" + e.mValue + L"' Doesn't Match Start '" + last + L"'");
  mCurrentSection.resize(slash == std::wstring::npos ? 0 : slash);
  return Step::Done;
}

}  // namespace Velk
