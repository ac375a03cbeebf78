#include "platform/msxml/MsXml.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

IXMLDOMDocument* NewDocument(const wchar_t* xml) {
  IXMLDOMDocument* doc = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                             reinterpret_cast<void**>(&doc)),
            S_OK);
  if (xml) doc->loadXML(xml, nullptr);
  return doc;
}

std::wstring NameOf(IXMLDOMNode* node) {
  std::wstring name;
  node->get_nodeName(&name);
  return name;
}

std::wstring Attr(IXMLDOMNode* node, const wchar_t* name) {
  IXMLDOMNamedNodeMap* map = nullptr;
  IXMLDOMNode* attr = nullptr;
  std::wstring value = L"<absent>";
  if (node->get_attributes(&map) == S_OK && map->getNamedItem(name, &attr) == S_OK) {
    attr->get_text(&value);
    attr->Release();
  }
  if (map) map->Release();
  return value;
}

// The names (or the "n" attributes, when asked) of a selection, in list order.
std::vector<std::wstring> Walk(IXMLDOMNodeList* list, const wchar_t* attr = nullptr) {
  std::vector<std::wstring> out;
  IXMLDOMNode* item = nullptr;
  list->reset();
  while (list->nextNode(&item) == S_OK) {
    out.push_back(attr ? Attr(item, attr) : NameOf(item));
    item->Release();
  }
  return out;
}

std::vector<std::wstring> Select(IXMLDOMNode* context, const wchar_t* query, const wchar_t* attr = nullptr) {
  IXMLDOMNodeList* list = nullptr;
  EXPECT_EQ(context->selectNodes(query, &list), S_OK) << query;
  if (!list) return {};
  std::vector<std::wstring> out = Walk(list, attr);
  list->Release();
  return out;
}

using Names = std::vector<std::wstring>;

}  // namespace

TEST(MsXml, OnlyTheDocumentClassIsKnown) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(IID_IXMLDOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, &out),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, CLSID_DOMDocument, &out), E_NOINTERFACE);
}

TEST(MsXml, AParseErrorKeepsNothingOfTheTree) {
  IXMLDOMDocument* doc = NewDocument(nullptr);
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(doc->loadXML(L"<root><a/><b>unclosed</root>", &ok), S_FALSE);
  EXPECT_EQ(ok, VARIANT_FALSE);
  IXMLDOMNode* node = reinterpret_cast<IXMLDOMNode*>(1);
  EXPECT_EQ(doc->selectSingleNode(L"root", &node), S_FALSE);
  EXPECT_EQ(node, nullptr);
  EXPECT_TRUE(Select(doc, L"//*").empty());
  EXPECT_EQ(doc->get_documentElement(&node), S_FALSE);
  // A later good text loads normally.
  EXPECT_EQ(doc->loadXML(L"<root/>", &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(Select(doc, L"root"), Names{L"root"});
  doc->Release();
}

TEST(MsXml, SelectionsComeInDocumentOrderAndReportBadQueries) {
  IXMLDOMDocument* doc = NewDocument(L"<root><a n='1'/><b n='2'><a n='3'/></b><a n='4'/></root>");
  EXPECT_EQ(Select(doc, L"root/b | root/a | root/b/a", L"n"), (Names{L"1", L"2", L"3", L"4"}));
  EXPECT_EQ(Select(doc, L"//a[@n > 1]", L"n"), (Names{L"3", L"4"}));

  IXMLDOMNode* root = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"root", &root), S_OK);
  IXMLDOMNode* node = nullptr;
  ASSERT_EQ(root->selectSingleNode(L"b/a | a", &node), S_OK);
  EXPECT_EQ(Attr(node, L"n"), L"1");
  node->Release();
  EXPECT_EQ(root->selectSingleNode(L"missing", &node), S_FALSE);

  IXMLDOMNodeList* list = reinterpret_cast<IXMLDOMNodeList*>(1);
  for (const wchar_t* bad : {L"a[", L"1 + 1", L"///", L""}) {
    EXPECT_EQ(root->selectNodes(bad, &list), E_FAIL) << bad;
    EXPECT_EQ(list, nullptr);
    node = reinterpret_cast<IXMLDOMNode*>(1);
    EXPECT_EQ(root->selectSingleNode(bad, &node), E_FAIL) << bad;
    EXPECT_EQ(node, nullptr);
  }
  // An empty selection is still a list.
  ASSERT_EQ(root->selectNodes(L"zzz", &list), S_OK);
  LONG length = -1;
  list->get_length(&length);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(list->get_item(0, &node), S_FALSE);
  list->Release();
  root->Release();
  doc->Release();
}

TEST(MsXml, VariablesSelectNamesWithQuotes) {
  IXMLDOMDocument* doc =
      NewDocument(LR"(<effects><effect name='plain' id='1'/><effect name="it's &quot;odd&quot;" id='2'/></effects>)");
  IXMLDOMNode* effects = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"effects", &effects), S_OK);
  IXMLDOMNode* found = nullptr;
  ASSERT_EQ(effects->selectSingleNode(L"effect[@name=$n]", {{L"n", L"it's \"odd\""}}, &found), S_OK);
  EXPECT_EQ(Attr(found, L"id"), L"2");
  found->Release();
  EXPECT_EQ(effects->selectSingleNode(L"effect[@name=$n]", {{L"n", L"none"}}, &found), S_FALSE);
  // A query naming an unbound variable does not compile.
  EXPECT_EQ(effects->selectSingleNode(L"effect[@name=$other]", {{L"n", L"plain"}}, &found), E_FAIL);
  IXMLDOMNodeList* list = nullptr;
  ASSERT_EQ(doc->selectNodes(L"//effect[@name=$a or @name=$b]", {{L"a", L"plain"}, {L"b", L"it's \"odd\""}}, &list),
            S_OK);
  EXPECT_EQ(Walk(list, L"id"), (Names{L"1", L"2"}));
  list->Release();
  effects->Release();
  doc->Release();
}

TEST(MsXml, ChildWalksTypesAndText) {
  IXMLDOMDocument* doc = NewDocument(L"<root>one<a>two<b>three</b></a><![CDATA[four]]><c/></root>");
  IXMLDOMNode* root = nullptr;
  ASSERT_EQ(doc->get_documentElement(&root), S_OK);
  IXMLDOMNodeList* children = nullptr;
  ASSERT_EQ(root->get_childNodes(&children), S_OK);
  std::vector<DOMNodeType> types;
  IXMLDOMNode* child = nullptr;
  while (children->nextNode(&child) == S_OK) {
    DOMNodeType type = NODE_INVALID;
    child->get_nodeType(&type);
    types.push_back(type);
    child->Release();
  }
  EXPECT_EQ(types, (std::vector<DOMNodeType>{NODE_TEXT, NODE_ELEMENT, NODE_CDATA_SECTION, NODE_ELEMENT}));
  children->Release();

  std::wstring text;
  root->get_text(&text);
  EXPECT_EQ(text, L"onetwothreefour");
  // An attribute selected by XPath is an attribute node whose text is its value.
  IXMLDOMNode* attr = nullptr;
  IXMLDOMDocument* other = NewDocument(L"<r k='v\u00e9'/>");
  ASSERT_EQ(other->selectSingleNode(L"r/@k", &attr), S_OK);
  DOMNodeType type = NODE_INVALID;
  attr->get_nodeType(&type);
  attr->get_text(&text);
  EXPECT_EQ(type, NODE_ATTRIBUTE);
  EXPECT_EQ(text, L"v\u00e9");
  attr->Release();
  other->Release();
  root->Release();
  doc->Release();
}

TEST(MsXml, ElementsAreAppendedAndInsertedWhereAsked) {
  IXMLDOMDocument* doc = NewDocument(L"<graph><points><point n='1'/></points></graph>");
  IXMLDOMNode* graph = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"graph", &graph), S_OK);
  IXMLDOMNode* edges = nullptr;
  ASSERT_EQ(doc->createElement(L"edges", &edges), S_OK);
  EXPECT_TRUE(Select(doc, L"//edges").empty()) << "a created element belongs nowhere yet";
  IXMLDOMNode* placed = nullptr;
  ASSERT_EQ(graph->appendChild(edges, &placed), S_OK);
  EXPECT_EQ(placed, edges);
  placed->Release();

  IXMLDOMNode* first = nullptr;
  ASSERT_EQ(doc->createElement(L"first", &first), S_OK);
  IXMLDOMNode* points = nullptr;
  ASSERT_EQ(graph->selectSingleNode(L"points", &points), S_OK);
  ASSERT_EQ(graph->insertBefore(first, points, nullptr), S_OK);
  EXPECT_EQ(Select(graph, L"*"), (Names{L"first", L"points", L"edges"}));

  // The object stands for the placed element: selecting below it works.
  IXMLDOMNode* edge = nullptr;
  ASSERT_EQ(doc->createElement(L"edge", &edge), S_OK);
  ASSERT_EQ(edges->appendChild(edge, nullptr), S_OK);
  EXPECT_EQ(Select(doc, L"graph/edges/edge"), Names{L"edge"});

  // Before a node that is not a child, or an element of another document: refused.
  IXMLDOMDocument* other = NewDocument(L"<x/>");
  IXMLDOMNode* stranger = nullptr;
  other->createElement(L"s", &stranger);
  EXPECT_EQ(graph->appendChild(stranger, nullptr), E_INVALIDARG);
  IXMLDOMNode* loose = nullptr;
  doc->createElement(L"loose", &loose);
  EXPECT_EQ(points->insertBefore(loose, edges, nullptr), E_INVALIDARG);
  for (IXMLDOMNode* n : {stranger, loose, edge, points, first, edges, graph}) n->Release();
  other->Release();
  doc->Release();
}

TEST(MsXml, NodesKeepTheirDocumentAlive) {
  IXMLDOMDocument* doc = NewDocument(L"<root><a v='kept'/></root>");
  IXMLDOMNode* a = nullptr;
  IXMLDOMNodeList* list = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"root/a", &a), S_OK);
  ASSERT_EQ(doc->selectNodes(L"root/*", &list), S_OK);
  EXPECT_EQ(doc->Release(), 2u) << "the node and the list each hold the document";
  EXPECT_EQ(Attr(a, L"v"), L"kept");
  IXMLDOMDocument* owner = nullptr;
  ASSERT_EQ(a->get_ownerDocument(&owner), S_OK);
  EXPECT_EQ(Select(owner, L"root/a", L"v"), Names{L"kept"});
  owner->Release();
  a->Release();
  EXPECT_EQ(Walk(list), Names{L"a"});
  EXPECT_EQ(list->Release(), 0u);
}

TEST(MsXml, ThreadsSelectFromOneDocumentAtOnce) {
  std::wstring xml = L"<effects>";
  for (int i = 0; i < 50; ++i) xml += L"<effect name='e" + std::to_wstring(i) + L"'><timers><timer/></timers></effect>";
  xml += L"</effects>";
  IXMLDOMDocument* doc = NewDocument(xml.c_str());
  IXMLDOMNode* effects = nullptr;
  ASSERT_EQ(doc->selectSingleNode(L"effects", &effects), S_OK);
  std::vector<std::thread> threads;
  std::vector<int> found(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) {
        IXMLDOMNode* effect = nullptr;
        if (effects->selectSingleNode(L"effect[@name=$n]", {{L"n", L"e" + std::to_wstring(i)}}, &effect) != S_OK)
          continue;
        IXMLDOMNodeList* timers = nullptr;
        if (effect->selectNodes(L"timers/timer", &timers) == S_OK) {
          LONG n = 0;
          timers->get_length(&n);
          found[t] += n;
          timers->Release();
        }
        effect->Release();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(found, (std::vector<int>{50, 50, 50, 50}));
  effects->Release();
  doc->Release();
}
