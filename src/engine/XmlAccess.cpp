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
  XmlAttributesRef attributes;
  if (node->get_attributes(attributes.Out()) != S_OK || !attributes) return false;
  XmlNodeRef attribute;
  if (attributes->getNamedItem(name, attribute.Out()) != S_OK || !attribute) return false;
  attribute->get_text(&value);
  return true;
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
  if (reported.insert(text).second)
    DebugLog("XmlGetAttrFixed: \"%s\" reads as its integer part plus the fraction", text);
}

bool IsElement(IXMLDOMNode* node) {
  DOMNodeType type = NODE_INVALID;
  node->get_nodeType(&type);
  return type == NODE_ELEMENT;
}

// Each node is held for its visit only.
void WalkList(IXMLDOMNodeList* list, const XmlVisitor& visit, bool elementsOnly) {
  for (;;) {
    XmlNodeRef item;
    if (list->nextNode(item.Out()) != S_OK || !item) return;
    if (elementsOnly && !IsElement(item.Get())) continue;
    if (!visit(item.Get())) return;
  }
}

int CountInList(IXMLDOMNodeList* list, bool elementsOnly) {
  if (!elementsOnly) {
    LONG length = 0;
    list->get_length(&length);
    return length;
  }
  int count = 0;
  WalkList(
      list,
      [&count](IXMLDOMNode*) {
        ++count;
        return true;
      },
      true);
  return count;
}

XmlNodeListRef SelectList(IXMLDOMNode* node, const wchar_t* path) {
  XmlNodeListRef list;
  if (node && node->selectNodes(path, list.Out()) != S_OK) list = XmlNodeListRef();
  return list;
}

XmlNodeListRef ChildList(IXMLDOMNode* node) {
  XmlNodeListRef list;
  if (node && node->get_childNodes(list.Out()) != S_OK) list = XmlNodeListRef();
  return list;
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
  XmlDocumentRef doc;
  if (!CreateXmlDocument(doc.Out())) return nullptr;
  if (LoadXmlFromPak(path, doc.Get())) return doc.Detach();
  DebugLog("LoadXmlFromPak: %s does not open", path ? path : "(null)");
  return nullptr;
}

XmlNodeRef LoadXmlRoot(const char* path) {
  XmlDocumentRef doc(CreateAndLoadXmlDocument(path));
  XmlNodeRef root = SelectChild(doc.Get(), L"root");
  if (doc && !root) DebugLog("%s has no root", path);
  return root;
}

IXMLDOMNode* SelectLevelNode(IXMLDOMNode* doc) {
  XmlNodeRef level = SelectChild(doc, L"level");
  if (!level) level = SelectChild(doc, L"root/level");
  return level.Detach();
}

XmlNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query) {
  XmlNodeRef child;
  if (node && node->selectSingleNode(query, child.Out()) != S_OK) child = XmlNodeRef();
  return child;
}

XmlNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query, const XPathVars& vars) {
  XmlNodeRef child;
  if (node && node->selectSingleNode(query, vars, child.Out()) != S_OK) child = XmlNodeRef();
  return child;
}

int XmlCountNodes(IXMLDOMNode* node, const wchar_t* path) {
  XmlNodeListRef list = SelectList(node, path);
  return list ? CountInList(list.Get(), false) : 0;
}

bool XmlForEachNode(IXMLDOMNode* node, const wchar_t* path, XmlNodeCallback callback, void* a, void* b) {
  return callback && XmlWalkNodes(node, path, [&](IXMLDOMNode* item) { return callback(item, a, b); });
}

int XmlCountChildElements(IXMLDOMNode* node) {
  XmlNodeListRef list = ChildList(node);
  return list ? CountInList(list.Get(), true) : 0;
}

bool XmlForEachChildElement(IXMLDOMNode* node, XmlNodeCallback callback, void* a, void* b) {
  return callback && XmlWalkChildElements(node, [&](IXMLDOMNode* item) { return callback(item, a, b); });
}

bool XmlWalkNodes(IXMLDOMNode* node, const wchar_t* path, const XmlVisitor& visit) {
  XmlNodeListRef list = SelectList(node, path);
  if (!list) return false;
  WalkList(list.Get(), visit, false);
  return true;
}

bool XmlWalkChildElements(IXMLDOMNode* node, const XmlVisitor& visit) {
  XmlNodeListRef list = ChildList(node);
  if (!list) return false;
  WalkList(list.Get(), visit, true);
  return true;
}

IXMLDOMNode* XmlWriteNode(IXMLDOMNode* parent, const wchar_t* tag, IXMLDOMNode* before) {
  if (!parent) return nullptr;
  XmlDocumentRef doc;
  if (parent->get_ownerDocument(doc.Out()) != S_OK || !doc) return nullptr;
  XmlNodeRef element;
  IXMLDOMNode* placed = nullptr;
  if (doc->createElement(tag, element.Out()) == S_OK) parent->insertBefore(element.Get(), before, &placed);
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
      if (intPart == 0)
        fracPart = -fracPart;
      else if (fracPart != 0)
        NoteNegativeFraction(text);
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
