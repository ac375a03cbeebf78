// The engine's per-frame effect work and its XML start-up reading: 300 running effects of three
// timers with two controls each advanced by one 10 ms frame, and a 200 KB ui.xml-like document
// loaded through the archive layer and walked with the attribute readers, beside pugixml parsing
// and walking the same text on its own.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

#include "../tests/support/MemoryPak.h"
#include "common/Unicode.h"
#include "engine/QCEffect.h"
#include "engine/XmlAccess.h"
#include "platform/modules/Modules.h"

namespace {

int gCalls = 0;
int CountCall(void*) { return ++gCalls; }

std::string Utf16File(const std::string& utf8) {
  return std::string("\xFF\xFE", 2) + Velk::WideToUtf16LE(Velk::Utf8ToWide(utf8));
}

std::string EffectXml() {
  std::string timers;
  for (int t = 0; t < 3; ++t) {
    timers += "<timer name='t" + std::to_string(t) + "' type='cycle' ftime='" + std::to_string(t + 1) +
              ".0' direction='forward'>"
              "<control id='1' starttime='0.25' endtime='0.75' function='BenchCall' type='range' active='true'/>"
              "<control id='2' starttime='0.5' function='BenchCall' type='point' active='true'/></timer>";
  }
  return "<effects><effect name='busy'><timers>" + timers +
         "</timers><messages><message name='onshow' command='start' timer_id='t0'/>"
         "<message name='onshow' command='start' timer_id='t1'/><message name='onshow' command='start' "
         "timer_id='t2'/></messages></effect></effects>";
}

// About 200 KB as stored: dialogs of elements with the attributes the UI reads.
std::string UiXml() {
  std::string xml = "<root>";
  for (int i = 0; i < 300; ++i)
    xml += "<texture id='tex" + std::to_string(i) + "' file='img\\ui\\t" + std::to_string(i) + ".png'/>";
  for (int d = 0; d < 60; ++d) {
    xml += "<element type='qcdialog' name='screen" + std::to_string(d) +
           "' x='0' y='0' width='800' height='600' visible='false' effect='fade'>";
    for (int e = 0; e < 12; ++e)
      xml += "<element type='qcbutton' name='b" + std::to_string(e) + "' x='" + std::to_string(e * 20) +
             "' y='12.5' width='120' height='40' visible='true' has_alpha='1'/>";
    xml += "</element>";
  }
  return xml + "</root>";
}

bool ReadAttributes(IXMLDOMNode* node, void* sum, void*) {
  int x = 0, y = 0, w = 0, h = 0;
  bool visible = false;
  float fy = 0;
  char name[128];
  XmlGetAttrInt(node, L"x", x);
  XmlGetAttrFloat(node, L"y", fy);
  XmlGetAttrInt(node, L"width", w);
  XmlGetAttrInt(node, L"height", h);
  XmlGetAttrBool(node, L"visible", visible);
  XmlGetAttrString(node, L"name", name, sizeof name);
  *static_cast<int*>(sum) += x + y + w + h + visible;
  return true;
}

void BM_EffectUpdate300(benchmark::State& state) {
  MemoryPak pak;
  pak.Put("cfg/effect.xml", Utf16File(EffectXml()));
  Velk::ModuleTable::RegisterProgramExport("BenchCall", reinterpret_cast<FARPROC>(CountCall));
  LoadEffectDefinitions();
  std::vector<std::unique_ptr<QCEffect>> effects;
  for (int i = 0; i < 300; ++i) {
    effects.emplace_back(CreateEffectByName("busy"));
    effects.back()->EffectSendMessage("onshow");
  }
  gCalls = 0;
  for (auto _ : state)
    for (auto& effect : effects) effect->EffectUpdate(0.01f);
  state.counters["calls/frame"] = benchmark::Counter(static_cast<double>(gCalls), benchmark::Counter::kAvgIterations);
  effects.clear();
  ReleaseEffectDefinitions();
}

void BM_LoadAndWalkUiXml(benchmark::State& state) {
  MemoryPak pak;
  std::string file = Utf16File(UiXml());
  pak.Put("cfg/ui.xml", file);
  int sum = 0;
  for (auto _ : state) {
    IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    XmlForEachNode(doc, L"//element", ReadAttributes, &sum, nullptr);
    doc->Release();
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
  state.counters["KB"] = static_cast<double>(file.size()) / 1024.0;
}

// The reference: pugixml alone on the same bytes, reading the same attributes.
void BM_PugixmlLoadAndWalk(benchmark::State& state) {
  std::string file = Utf16File(UiXml());
  int sum = 0;
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_buffer(file.data() + 2, file.size() - 2, pugi::parse_default, pugi::encoding_utf16_le);
    for (pugi::xpath_node n : doc.select_nodes("//element")) {
      pugi::xml_node e = n.node();
      sum += e.attribute("x").as_int() + e.attribute("y").as_int() + e.attribute("width").as_int() +
             e.attribute("height").as_int() + e.attribute("visible").as_bool();
      benchmark::DoNotOptimize(e.attribute("name").value());
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}

}  // namespace

BENCHMARK(BM_EffectUpdate300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAndWalkUiXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugixmlLoadAndWalk)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
