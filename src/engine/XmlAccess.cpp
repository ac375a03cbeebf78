#include "engine/XmlAccess.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "common/Unicode.h"
#include "engine/EngineUtil.h"
#include "resources/PakInterface.h"

namespace {

// Reads a whole file through the archive layer; false when it does not open or cannot be read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  PakFile* file = PakFileOpen(path, "rb");
  if (!file) return false;
  PakFileSeek(file, 0, SEEK_END);
  LONG size = PakFileTell(file);
  PakFileSeek(file, 0, SEEK_SET);
  bool ok = size >= 0;
  if (ok) {
    bytes.assign(static_cast<size_t>(size), 0);
    ok = PakFileRead(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  PakFileClose(file);
  return ok;
}

// The text after the byte-order mark, up to the first zero unit, as the document is handed it.
std::wstring TextAfterMark(const std::vector<uint8_t>& bytes) {
  if (bytes.size() <= 2) return {};
  std::wstring text = Velk::Utf16LEToWide(bytes.data() + 2, bytes.size() - 2);
  size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

// The value of an attribute node of that name.
bool ReadAttribute(IXMLDOMNode* node, const wchar_t* name, std::wstring& value) {
  if (!node || !name) return false;
  IXMLDOMNamedNodeMap* attributes = nullptr;
  if (node->get_attributes(&attributes) != S_OK || !attributes) return false;
  IXMLDOMNode* attribute = nullptr;
  bool found = attributes->getNamedItem(name, &attribute) == S_OK && attribute;
  if (found) {
    attribute->get_text(&value);
    attribute->Release();
  }
  attributes->Release();
  return found;
}

// UTF-8 into a byte buffer: at most size - 1 bytes, never half a character, always terminated.
void CopyUtf8(const std::string& utf8, char* buffer, int size) {
  if (!buffer || size <= 0) return;
  size_t length = std::min(utf8.size(), static_cast<size_t>(size - 1));
  // Step back over continuation bytes so that the cut falls before a lead byte.
  if (length < utf8.size())
    while (length > 0 && (static_cast<uint8_t>(utf8[length]) & 0xC0) == 0x80) --length;
  std::memcpy(buffer, utf8.data(), length);
  buffer[length] = '\0';
}

// A fixed-point text of the "-1.5" kind reads as -0.5; each such value is reported once.
void NoteNegativeFraction(const char* text) {
  static std::mutex lock;
  static std::set<std::string> reported;
  std::lock_guard<std::mutex> guard(lock);
  if (reported.insert(text).second) DebugLog("XmlGetAttrFixed: \"%s\" reads as its integer part plus the fraction", text);
}

bool ForEachInList(IXMLDOMNodeList* list, XmlNodeCallback callback, void* a, void* b, bool elementsOnly) {
  IXMLDOMNode* item = nullptr;
  while (list->nextNode(&item) == S_OK && item) {
    DOMNodeType type = NODE_INVALID;
    item->get_nodeType(&type);
    bool go = elementsOnly && type != NODE_ELEMENT ? true : callback(item, a, b);
    item->Release();
    if (!go) break;
  }
  return true;
}

bool CountOne(IXMLDOMNode*, void* count, void*) {
  ++*static_cast<int*>(count);
  return true;
}

int CountInList(IXMLDOMNodeList* list, bool elementsOnly) {
  if (!elementsOnly) {
    LONG length = 0;
    list->get_length(&length);
    return length;
  }
  int count = 0;
  ForEachInList(list, CountOne, &count, nullptr, true);
  return count;
}

}  // namespace

bool CreateXmlDocument(IXMLDOMDocument** doc) {
  if (!doc) return false;
  *doc = nullptr;
  return SUCCEEDED(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                    reinterpret_cast<void**>(doc))) &&
         *doc;
}

bool LoadXmlFromPak(const char* path, IXMLDOMDocument* doc) {
  std::vector<uint8_t> bytes;
  if (!doc || !path || !ReadWholeFile(path, bytes)) return false;
  doc->put_async(VARIANT_FALSE);
  std::wstring text = TextAfterMark(bytes);
  VARIANT_BOOL parsed = VARIANT_FALSE;
  doc->loadXML(text.c_str(), &parsed);
  if (!parsed) DebugLog("LoadXmlFromPak: %s does not parse", path);
  return true;
}

IXMLDOMDocument* CreateAndLoadXmlDocument(const char* path) {
  IXMLDOMDocument* doc = nullptr;
  if (!CreateXmlDocument(&doc)) return nullptr;
  if (LoadXmlFromPak(path, doc)) return doc;
  DebugLog("LoadXmlFromPak: %s does not open", path ? path : "(null)");
  doc->Release();
  return nullptr;
}

IXMLDOMNode* SelectLevelNode(IXMLDOMNode* doc) {
  if (!doc) return nullptr;
  IXMLDOMNode* level = nullptr;
  if (doc->selectSingleNode(L"level", &level) == S_OK) return level;
  if (doc->selectSingleNode(L"root/level", &level) == S_OK) return level;
  return nullptr;
}

int XmlCountNodes(IXMLDOMNode* node, const wchar_t* path) {
  IXMLDOMNodeList* list = nullptr;
  if (!node || node->selectNodes(path, &list) != S_OK || !list) return 0;
  int count = CountInList(list, false);
  list->Release();
  return count;
}

bool XmlForEachNode(IXMLDOMNode* node, const wchar_t* path, XmlNodeCallback callback, void* a, void* b) {
  IXMLDOMNodeList* list = nullptr;
  if (!node || !callback || node->selectNodes(path, &list) != S_OK || !list) return false;
  ForEachInList(list, callback, a, b, false);
  list->Release();
  return true;
}

int XmlCountChildElements(IXMLDOMNode* node) {
  IXMLDOMNodeList* list = nullptr;
  if (!node || node->get_childNodes(&list) != S_OK || !list) return 0;
  int count = CountInList(list, true);
  list->Release();
  return count;
}

bool XmlForEachChildElement(IXMLDOMNode* node, XmlNodeCallback callback, void* a, void* b) {
  IXMLDOMNodeList* list = nullptr;
  if (!node || !callback || node->get_childNodes(&list) != S_OK || !list) return false;
  ForEachInList(list, callback, a, b, true);
  list->Release();
  return true;
}

IXMLDOMNode* XmlWriteNode(IXMLDOMNode* parent, const wchar_t* tag, IXMLDOMNode* before) {
  if (!parent) return nullptr;
  IXMLDOMDocument* doc = nullptr;
  if (parent->get_ownerDocument(&doc) != S_OK || !doc) return nullptr;
  IXMLDOMNode* element = nullptr;
  IXMLDOMNode* placed = nullptr;
  if (doc->createElement(tag, &element) == S_OK) parent->insertBefore(element, before, &placed);
  if (element) element->Release();
  doc->Release();
  return placed;
}

bool XmlGetNodeText(IXMLDOMNode* node, char* buffer, int size, UINT) {
  if (!node) return false;
  std::wstring text;
  if (node->get_text(&text) != S_OK) return false;
  CopyUtf8(Velk::WideToUtf8(text), buffer, size);
  return true;
}

bool XmlGetAttrString(IXMLDOMNode* node, const wchar_t* name, char* buffer, int size, UINT) {
  std::wstring value;
  if (!ReadAttribute(node, name, value)) return false;
  CopyUtf8(Velk::WideToUtf8(value), buffer, size);
  return true;
}

std::string XmlReadName(IXMLDOMNode* node, const wchar_t* name) {
  char buffer[128] = {};
  XmlGetAttrString(node, name, buffer, sizeof buffer);
  return buffer;
}

bool XmlGetAttrWString(IXMLDOMNode* node, const wchar_t* name, wchar_t* buffer, int capacity) {
  std::wstring value;
  if (!ReadAttribute(node, name, value)) return false;
  if (buffer && capacity > 0 && value.size() < static_cast<size_t>(capacity))
    std::memcpy(buffer, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
  return true;
}

bool XmlGetAttrText(IXMLDOMNode* node, const wchar_t* name, std::wstring& out) {
  return ReadAttribute(node, name, out);
}

bool XmlGetAttrText(IXMLDOMNode* node, const wchar_t* name, std::string& out) {
  std::wstring value;
  if (!ReadAttribute(node, name, value)) return false;
  out = Velk::WideToUtf8(value);
  return true;
}

bool XmlGetAttrInt(IXMLDOMNode* node, const wchar_t* name, int& out) {
  char text[128] = {};
  if (!XmlGetAttrString(node, name, text, sizeof text)) return false;
  out = XmlParseDecimal(text);
  return true;
}

bool XmlGetAttrPixels(IXMLDOMNode* node, const wchar_t* name, int& out) {
  if (!XmlGetAttrInt(node, name, out)) return false;
  const int held = std::clamp(out, -kMaxXmlPixels, kMaxXmlPixels);
  if (held != out) std::fprintf(stderr, "ui: %ls=\"%d\" held to %d\n", name, out, held);
  out = held;
  return true;
}

bool XmlGetAttrDword(IXMLDOMNode* node, const wchar_t* name, DWORD& out) {
  char text[128] = {};
  if (!XmlGetAttrString(node, name, text, sizeof text)) return false;
  out = static_cast<DWORD>(XmlParseDecimal(text));
  return true;
}

bool XmlGetAttrFixed(IXMLDOMNode* node, const wchar_t* name, int& intPart, int& fracPart, int& fracScale) {
  char text[128] = {};
  if (!XmlGetAttrString(node, name, text, sizeof text)) return false;
  intPart = XmlParseDecimal(text);
  fracPart = 0;
  fracScale = 0;
  if (const char* dot = std::strchr(text, '.')) {
    fracPart = XmlParseDecimal(dot + 1, &fracScale);
    if (text[0] == '-') {
      if (intPart == 0) fracPart = -fracPart;
      else if (fracPart != 0) NoteNegativeFraction(text);
    }
  }
  return true;
}

bool XmlGetAttrFloat(IXMLDOMNode* node, const wchar_t* name, float& out) {
  int intPart = 0, fracPart = 0, fracScale = 0;
  if (!XmlGetAttrFixed(node, name, intPart, fracPart, fracScale)) return false;
  out = fracScale == 0 ? static_cast<float>(intPart)
                       : static_cast<float>(intPart) + static_cast<float>(fracPart) / static_cast<float>(fracScale);
  return true;
}

bool XmlGetAttrBool(IXMLDOMNode* node, const wchar_t* name, bool& out) {
  wchar_t text[16] = {};
  if (!XmlGetAttrWString(node, name, text, 16)) return false;
  // An empty text would equal "true" under the prefix rule; it reads as the number 0 instead.
  if (text[0] != L'\0' && XmlCompareW(text, L"true") == 0) {
    out = true;
    return true;
  }
  std::string narrow;
  for (const wchar_t* c = text; *c; ++c) narrow += *c < 0x80 ? static_cast<char>(*c) : '?';
  out = XmlParseDecimal(narrow.c_str()) != 0;
  return true;
}

bool XmlGetAttrFlags(IXMLDOMNode* node, const wchar_t* name, const XmlFlagName* table, int count, DWORD& out) {
  if (!table || count <= 0) return false;
  char text[1024] = {};
  if (!XmlGetAttrString(node, name, text, 1023)) return false;
  out = 0;
  return XmlParseFlagNames(text, table, count, out);
}

bool XmlGetAttrFlagsW(IXMLDOMNode* node, const wchar_t* name, const XmlFlagNameW* table, int count, DWORD& out) {
  if (!table || count <= 0) return false;
  wchar_t text[1024] = {};
  if (!XmlGetAttrWString(node, name, text, 1023)) return false;
  out = 0;
  return XmlParseFlagNamesW(text, table, count, out);
}

namespace {

// The pieces of a comma list up to the first empty one, each handed to `match`.
template <class Char, class Match>
void ForEachPiece(const Char* text, Match match) {
  std::basic_string<Char> piece;
  for (const Char* c = text;; ++c) {
    if (*c != Char(',') && *c != Char(0)) {
      piece += *c;
      continue;
    }
    if (piece.empty()) return;
    match(piece);
    piece.clear();
    if (*c == Char(0)) return;
  }
}

// Each piece ORs in the bit of the first table name it equals.
template <class Char, class Entry, class Equal>
bool ParseFlags(const Char* text, const Entry* table, int count, DWORD& out, Equal equal) {
  if (!table || count <= 0) return false;
  if (!text) return true;
  ForEachPiece(text, [&](const std::basic_string<Char>& piece) {
    for (int i = 0; i < count; ++i) {
      if (table[i].name && equal(piece.c_str(), table[i].name)) {
        out |= table[i].bit;
        return;
      }
    }
  });
  return true;
}

}  // namespace

bool XmlParseFlagNames(const char* text, const XmlFlagName* table, int count, DWORD& out) {
  return ParseFlags(text, table, count, out, [](const char* a, const char* b) { return strcasecmp(a, b) == 0; });
}

bool XmlParseFlagNamesW(const wchar_t* text, const XmlFlagNameW* table, int count, DWORD& out) {
  return ParseFlags(text, table, count, out, [](const wchar_t* a, const wchar_t* b) { return XmlCompareW(a, b) == 0; });
}

int XmlParseDecimal(const char* text, int* scale) {
  // Unsigned arithmetic wraps as the 32-bit original did, where a long digit run overflows.
  uint32_t value = 0;
  uint32_t power = 1;
  const char* c = text ? text : "";
  bool negative = *c == '-';
  if (negative) ++c;
  for (; *c >= '0' && *c <= '9'; ++c) {
    value = value * 10u + static_cast<uint32_t>(*c - '0');
    power *= 10u;
  }
  if (scale) *scale = static_cast<int>(power);
  return static_cast<int>(negative ? 0u - value : value);
}

int XmlCompareW(const wchar_t* a, const wchar_t* b) {
  if (!a || !b) return 0;
  for (; *a && *b; ++a, ++b) {
    if (*a < *b) return -1;
    if (*a > *b) return 1;
  }
  return 0;
}

size_t XmlStrLenW(const wchar_t* s) { return s ? std::wcslen(s) : 0; }
