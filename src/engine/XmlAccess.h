#pragma once
// The game's access to its data files in "cfg\": documents loaded whole through the archive layer
// (UTF-16LE text behind a byte-order mark), XPath selection, and attribute readers with fixed buffer
// sizes and the game's own number parsing. A missing attribute leaves the caller's value as it was,
// so readers set their defaults first. Nothing here throws; failures are false or null.
//
// Every node or document handed out carries a reference that the receiver releases; the game's
// readers hold each in an XmlRef and walk nodes with the typed loops.

#include <functional>
#include <string>
#include <type_traits>

#include "engine/XmlRef.h"
#include "platform/base/WinTypes.h"
#include "platform/msxml/MsXml.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;

// The callback of the walks: false stops the walk.
using XmlNodeCallback = bool (*)(IXMLDOMNode* item, void* a, void* b);
// The visit of the typed walks, with the same rule.
using XmlVisitor = std::function<bool(IXMLDOMNode* item)>;

struct XmlFlagName {
  const char* name;
  DWORD bit;
};

struct XmlFlagNameW {
  const wchar_t* name;
  DWORD bit;
};

// COM must be initialised on the calling thread.
bool CreateXmlDocument(IXMLDOMDocument** doc);
// False when the file does not open (the document is untouched). A file that opens but does not
// parse leaves the document empty and still answers true. The first two bytes are the byte-order
// mark and are skipped whatever they hold.
bool LoadXmlFromPak(const char* path, IXMLDOMDocument* doc);
// Null when the file does not open.
IXMLDOMDocument* CreateAndLoadXmlDocument(const char* path);
// The "root" element of a data file, which keeps its document alive; empty (and logged when the
// file opened) when there is none.
XmlNodeRef LoadXmlRoot(const char* path);

// The level element of a level file: "level", or "root/level" where the level sits under a root.
IXMLDOMNode* SelectLevelNode(IXMLDOMNode* doc);
// The first node the query selects below the node; empty when none or when the node is null.
XmlNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query);
XmlNodeRef SelectChild(IXMLDOMNode* node, const wchar_t* query, const XPathVars& vars);

int XmlCountNodes(IXMLDOMNode* node, const wchar_t* path);
// False for a null node or a failed selection; otherwise true, also when a callback stopped early.
bool XmlForEachNode(IXMLDOMNode* node, const wchar_t* path, XmlNodeCallback callback, void* a, void* b);
// The element children only, in document order.
int XmlCountChildElements(IXMLDOMNode* node);
bool XmlForEachChildElement(IXMLDOMNode* node, XmlNodeCallback callback, void* a, void* b);

// The typed walks, the same as the two above: each node is released right after its visit, and a
// visit that answers false stops the walk (one that answers nothing never stops it).
bool XmlWalkNodes(IXMLDOMNode* node, const wchar_t* path, const XmlVisitor& visit);
bool XmlWalkChildElements(IXMLDOMNode* node, const XmlVisitor& visit);

template <class Visit>
XmlVisitor MakeXmlVisitor(Visit& visit) {
  if constexpr (std::is_void_v<std::invoke_result_t<Visit&, IXMLDOMNode*>>)
    return [&visit](IXMLDOMNode* item) {
      visit(item);
      return true;
    };
  else
    return [&visit](IXMLDOMNode* item) { return static_cast<bool>(visit(item)); };
}

template <class Visit>
bool XmlForEach(IXMLDOMNode* node, const wchar_t* path, Visit&& visit) {
  return XmlWalkNodes(node, path, MakeXmlVisitor(visit));
}

template <class Visit>
bool XmlForEachChild(IXMLDOMNode* node, Visit&& visit) {
  return XmlWalkChildElements(node, MakeXmlVisitor(visit));
}

// A new element `tag` in the parent, before `before` when given, else last; null on failure.
IXMLDOMNode* XmlWriteNode(IXMLDOMNode* parent, const wchar_t* tag, IXMLDOMNode* before);

// The narrow readers give the value's UTF-8 bytes (the data's names and paths are ASCII), whatever
// the code page. A value that does not fit is cut at a character boundary: the buffer always ends
// with a terminating zero.
bool XmlGetNodeText(IXMLDOMNode* node, char* buffer, int size, UINT codepage = CP_ACP);
bool XmlGetAttrString(IXMLDOMNode* node, const wchar_t* name, char* buffer, int size, UINT codepage = CP_ACP);
// A name of the scene data: at most 127 bytes, as its 128-byte buffers hold; empty when absent.
std::string XmlReadName(IXMLDOMNode* node, const wchar_t* name);
// Copies only when the value fits with its terminating zero (capacity in characters); true whenever
// the attribute exists, even when nothing was copied.
bool XmlGetAttrWString(IXMLDOMNode* node, const wchar_t* name, wchar_t* buffer, int capacity);
// The whole value, however long.
bool XmlGetAttrText(IXMLDOMNode* node, const wchar_t* name, std::wstring& out);
bool XmlGetAttrText(IXMLDOMNode* node, const wchar_t* name, std::string& out);
bool XmlGetAttrInt(IXMLDOMNode* node, const wchar_t* name, int& out);
// A position, size or distance in pixels from the UI description, held to +-kMaxXmlPixels with a
// log line: any sum, and any product of two, of such numbers stays inside int.
constexpr int kMaxXmlPixels = 32767;
bool XmlGetAttrPixels(IXMLDOMNode* node, const wchar_t* name, int& out);
bool XmlGetAttrDword(IXMLDOMNode* node, const wchar_t* name, DWORD& out);
// Integer and fraction split at the first '.'; without one the fraction and its scale are 0. The
// fraction takes the sign only when the integer part is 0 ("-0.5"): "-1.5" reads as -1 and +5/10.
bool XmlGetAttrFixed(IXMLDOMNode* node, const wchar_t* name, int& intPart, int& fracPart, int& fracScale);
bool XmlGetAttrFloat(IXMLDOMNode* node, const wchar_t* name, float& out);
// "true" (or any text that begins with it) or a non-zero integer. An empty value, or one too long
// to be read, is false.
bool XmlGetAttrBool(IXMLDOMNode* node, const wchar_t* name, bool& out);
// `out` is cleared first; false for a null table or a count of 0.
bool XmlGetAttrFlags(IXMLDOMNode* node, const wchar_t* name, const XmlFlagName* table, int count, DWORD& out);
bool XmlGetAttrFlagsW(IXMLDOMNode* node, const wchar_t* name, const XmlFlagNameW* table, int count, DWORD& out);

// Comma-separated names ORed into `out` (the first matching table entry's bit); stops at the first
// empty piece. The narrow form ignores case, the wide form compares with XmlCompareW.
bool XmlParseFlagNames(const char* text, const XmlFlagName* table, int count, DWORD& out);
bool XmlParseFlagNamesW(const wchar_t* text, const XmlFlagNameW* table, int count, DWORD& out);

// An optional '-' first, then decimal digits up to the first other character. `scale` (when given)
// becomes 10 to the number of digits read.
int XmlParseDecimal(const char* text, int* scale = nullptr);
// -1, 0 or 1. Equal as soon as either string ends: a prefix compares equal.
int XmlCompareW(const wchar_t* a, const wchar_t* b);
size_t XmlStrLenW(const wchar_t* s);
