#pragma once
// The framework's own pull reader for XML: one element per call, encodings detected from a
// byte-order mark, end tags checked against start tags, errors reported with a line number.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/XMLElement.h"

struct PakFile;

namespace Velk {

class XMLParser {
 public:
  XMLParser();
  virtual ~XMLParser();
  XMLParser(const XMLParser&) = delete;
  XMLParser& operator=(const XMLParser&) = delete;

  // Through the archive layer; on failure the error text names the file.
  bool OpenFile(const std::string& fileName);
  // False at the end of the input or on an error (then HasFailed).
  bool NextElement(XMLElement* element);

  bool HasFailed() const { return mHasFailed; }
  std::wstring GetErrorText() const { return mErrorText; }
  int GetLineNumber() const { return mLineNumber; }
  std::string GetFileName() const { return mFileName; }

  // Comments are skipped unless allowed.
  void SetAllowComments(bool allow) { mAllowComments = allow; }

 private:
  enum class Encoding { SingleByte, Utf8, Utf16 };
  enum class Read { Char, End, Illegal };
  struct ElementState;

  void CloseFile();
  void DetectEncoding();
  bool StartsWith(std::initializer_list<uint8_t> mark);
  bool ReadByte(uint8_t& byte);
  Read ReadChar(wchar_t& c);
  Read ReadFromFile(wchar_t& c);
  Read ReadSingleByte(wchar_t& c);
  Read ReadUtf8(wchar_t& c);
  Read ReadUtf16(wchar_t& c);
  bool ReadUtf16Unit(uint16_t& unit);
  void PushBack(const std::wstring& text);

  enum class Step { Continue, Done, Failed };
  Step Fail(const std::wstring& text);
  Step HandleChar(ElementState& s, wchar_t c);
  Step HandleInstructionChar(ElementState& s, wchar_t c);
  Step HandleCommentChar(ElementState& s, wchar_t c);
  Step HandleQuote(ElementState& s);
  Step HandleMarkupChar(ElementState& s, wchar_t c);
  void HandleContentChar(ElementState& s, wchar_t c);
  void HandleAttributeChar(ElementState& s, wchar_t c);
  static bool EntersAttributes(ElementState& s);
  void AddAttribute(ElementState& s);
  Step FinishStartTag(ElementState& s);
  Step FinishEndTag(ElementState& s);

  std::string mFileName;
  PakFile* mFile = nullptr;
  std::wstring mErrorText;
  bool mHasFailed = false;
  int mLineNumber = 0;
  bool mAllowComments = false;
  std::vector<wchar_t> mPushBack;  // read again before the file, last pushed first
  std::wstring mCurrentSection;
  Encoding mEncoding = Encoding::Utf8;
  bool mFirstChar = true;
  bool mByteSwap = false;
};

}  // namespace Velk
