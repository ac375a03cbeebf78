// Reads arbitrary bytes as a cfg file: loaded through an in-memory archive, every element walked
// with the attribute readers, then read as cfg\effect.xml, with every effect created, sent messages
// and run for a few steps (a hang shows as a timeout). The last input bytes choose the step lengths.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../tests/support/MemoryPak.h"
#include "engine/QCEffect.h"
#include "engine/XmlAccess.h"

namespace {

const wchar_t* const kNames[] = {L"id",      L"name",   L"text",  L"type",    L"ftime",   L"direction", L"starttime",
                                 L"endtime", L"active", L"x",     L"y",       L"width",   L"height",    L"visible",
                                 L"scale",   L"fps",    L"count", L"oneshot", L"command", L"timer_id",  L"flags"};

const XmlFlagName kFlags[] = {{"a", 1}, {"b", 2}, {"left", 4}};
const XmlFlagNameW kFlagsW[] = {{L"a", 1}, {L"b", 2}, {L"left", 4}};

bool ReadEverything(IXMLDOMNode* node, void*, void*) {
  for (const wchar_t* name : kNames) {
    int i = 0, frac = 0, scale = 0;
    DWORD d = 0;
    float f = 0;
    bool b = false;
    char small[8];
    wchar_t wide[4];
    std::wstring whole;
    XmlGetAttrInt(node, name, i);
    XmlGetAttrDword(node, name, d);
    XmlGetAttrFixed(node, name, i, frac, scale);
    XmlGetAttrFloat(node, name, f);
    XmlGetAttrBool(node, name, b);
    XmlGetAttrFlags(node, name, kFlags, 3, d);
    XmlGetAttrFlagsW(node, name, kFlagsW, 3, d);
    XmlGetAttrString(node, name, small, sizeof small);
    XmlGetAttrWString(node, name, wide, 4);
    XmlGetAttrText(node, name, whole);
  }
  char text[8];
  XmlGetNodeText(node, text, sizeof text);
  XmlCountChildElements(node);
  return true;
}

bool CollectName(IXMLDOMNode* node, void* names, void*) {
  std::string name;
  if (XmlGetAttrText(node, L"name", name)) static_cast<std::vector<std::string>*>(names)->push_back(name);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  pak->Put("cfg/effect.xml", bytes);

  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\effect.xml");
  if (!doc) return 0;
  XmlForEachNode(doc, L"//*", ReadEverything, nullptr, nullptr);
  std::vector<std::string> names;
  XmlForEachNode(doc, L"effects/effect", CollectName, &names, nullptr);
  doc->Release();

  LoadEffectDefinitions();
  float step = size > 0 ? static_cast<float>(data[size - 1]) / 64.0f : 0.01f;
  for (size_t e = 0; e < names.size() && e < 32; ++e) {
    std::unique_ptr<QCEffect> effect(CreateEffectByName(names[e].c_str()));
    if (!effect) continue;
    for (const char* message : {"onshow", "pause", "resume", "onhide", "restart"}) effect->EffectSendMessage(message);
    for (int i = 0; i < 6; ++i) effect->EffectUpdate(step * static_cast<float>(i + 1));
  }
  ReleaseEffectDefinitions();
  return 0;
}
