// One logic frame of the gameplay board (events, game clock, every object's update, the board's
// per-frame step, clicks; no drawing) on a cafe the size of the largest one: 6 workers at their
// tables, 4 standing and 4 seated customers, a bubble and a bar for each, the boss and the sources.
// Customers keep arriving, the boss keeps walking between clicks.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCClient.h"
#include "cafe/QCEngine3.h"
#include "engine/QCDeadline.h"
#include "platform/crt/Rand.h"
#include "scene/LevelLog.h"
#include "screens/QCBoard_Briefing.h"
#include "scene/QCLevelEvents.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

std::string Pickable(const std::string& cls, const std::string& name, int x, int y, const std::string& extra,
                     const std::string& parts) {
  const std::string r = std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + 40) + " " +
                        std::to_string(y) + " " + std::to_string(x + 40) + " " + std::to_string(y + 40);
  return "<object class=\"" + cls + "\" name=\"" + name + "\" " + extra + " rgn=\"" + r + "\">" + parts +
         "<point owner=\"boss\" direction=\"t\" offs_x=\"" + std::to_string(x + 20) + "\" offs_y=\"" +
         std::to_string(y + 60) + "\"/></object>";
}

std::string Status(const std::string& cls, const std::string& name, const std::string& parts) {
  return "<object class=\"" + cls + "\" name=\"" + name + "\">" + parts + "</object>";
}

struct Cafe {
  std::string scene, level, objects, edges;
  void Add(const std::string& object, const std::string& name) {
    scene += object + "\n";
    objects += "<object name=\"" + name + "\"/>";
  }
  void Target(const std::string& object, const std::string& name) {
    Add(object, name);
    edges += "<edge p1=\"hub\" p2=\"" + name + "\"/>";
  }
};

std::string BuildCafe(std::string& level) {
  Cafe cafe;
  cafe.Add(
      "<object class=\"boss\" name=\"boss\" start_point=\"home\"><part name=\"boss\"/>"
      "<part name=\"held_items\"/><part name=\"held_items\"/><part name=\"held_items\"/><part "
      "name=\"held_items\"/></object>",
      "boss");
  cafe.Target(Pickable("tray", "coffeemachine", 20, 20, "thing=\"1000\"", ""), "coffeemachine");
  cafe.Target(Pickable("tray", "wash_stand", 80, 20, "thing=\"wash\"", ""), "wash_stand");
  cafe.Target(Pickable("trash_bin", "trash_bin", 140, 20, "", ""), "trash_bin");
  cafe.Target(Pickable("period_item", "super_material", 200, 20, "thing=\"super\"", ""), "super_material");
  for (int i = 1; i <= 6; ++i) {
    const std::string n = "0" + std::to_string(i);
    cafe.Target(
        Pickable("pickable", "table" + n, 100 * i, 100, "",
                 "<part name=\"soiling_table" + n +
                     "\"/><part name=\"soiling_floor01\"/><part name=\"soiling_front01\"/><part name=\"cleaning\"/>"),
        "table" + n);
    cafe.scene += "<object class=\"worker\" name=\"worker" + n + "\"><part name=\"worker_up\"/></object>\n";
    cafe.objects += "<object name=\"worker" + n + "\" skin=\"" + (i % 2 ? "baker" : "juicer") + "\"/>";
    cafe.Add(Status("status_bubble", "status_bubble_worker" + n,
                    "<part name=\"status_bubble\"/><part name=\"status_production\"/>"),
             "status_bubble_worker" + n);
    cafe.Add(Status("status_hp_worker", "status_hp_worker" + n,
                    "<part name=\"status_hp_worker\"/><part name=\"status_hp_worker_back\"/>"),
             "status_hp_worker" + n);
  }
  for (int i = 1; i <= 4; ++i) {
    const std::string n = "0" + std::to_string(i);
    cafe.Target(
        Pickable("pickable", "client_place" + n, 150 * i, 300, "", "<part name=\"client_money\"/><part name=\"bar\"/>"),
        "client_place" + n);
    cafe.Add(
        Status("client", "client" + n, "<part name=\"client_stand_up\"/><part name=\"cash\"/><part name=\"bonus\"/>"),
        "client" + n);
    cafe.Target(Pickable("pickable", "client_sit_place" + n, 150 * i, 450, "", "<part name=\"client_money\"/>"),
                "client_sit_place" + n);
    cafe.Add(Status("client_sit", "client_sit" + n,
                    "<part name=\"client_sitting_up\"/><part name=\"cash\"/><part name=\"bonus\"/>"),
             "client_sit" + n);
    for (const std::string& who : {n, "_sit" + n}) {
      cafe.Add(Status("status_bubble", "status_bubble_client" + who,
                      "<part name=\"status_bubble\"/><part name=\"status_production\"/>"),
               "status_bubble_client" + who);
      cafe.Add(Status("status_hp_client", "status_hp_client" + who,
                      "<part name=\"status_hp_client\"/><part name=\"status_hp_client_back\"/><part "
                      "name=\"status_hp_client_smile\"/>"),
               "status_hp_client" + who);
    }
  }
  cafe.Add(
      "<object class=\"item_bonus\" name=\"bonus\"><part name=\"cash\"/><part name=\"cash\"/><part "
      "name=\"bonus\"/></object>",
      "bonus");
  std::string points;
  for (int t = 0; t < 400; ++t)
    points += "<time_point time=\"" + std::to_string(t) + "\" type=\"client\" event=\"girl\"><param name=\"" +
              (t % 2 ? "1000" : "0200") + "\"/><param name=\"sit\"/><param name=\"0030\"/></time_point>";
  level = "<level doc=\"cfg\\scene3.xml\"><params normal=\"100\" expert=\"200\"/><objects>" + cafe.objects +
          "</objects><events_queue>" + points + "</events_queue></level>";
  return "<root><objects>" + cafe.scene +
         "</objects><graphs><graph name=\"boss\"><points><point name=\"home\" x=\"400\" y=\"560\"/><point name=\"hub\" "
         "x=\"400\" y=\"380\"/></points><edges><edge p1=\"home\" p2=\"hub\"/>" +
         cafe.edges + "</edges></graph></graphs></root>";
}

std::string ReadFixture(const char* name) {
  std::ifstream in(std::string(BENCH_DATA_DIR) + "/cafe/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void BoardFrame(benchmark::State& state) {
  SetLevelLogListener([](const std::string&) {});
  MemoryPak pak;
  std::string level;
  pak.Put("cfg\\scene3.xml", Utf16File(BuildCafe(level)));
  pak.Put("cfg\\l40.xml", Utf16File(level));
  pak.Put("cfg\\cfg.xml", Utf16File(ReadFixture("cfg_cafe.xml")));
  SetCafeObjectCreators();
  Velk::srand(3);
  QCBoard_Game3 board(nullptr, nullptr);
  board.LoadObjectConfigs();
  const char* const targets[] = {"client_place01",     "table01",   "coffeemachine", "client_place02", "table02",
                                 "client_sit_place01", "trash_bin", "table03"};
  // A day runs 200 s of game time here, then starts again (outside the measurement); each starts
  // with 20 s so that the customers are in.
  auto startDay = [&board] {
    board.mLoading = true;
    board.LoadLevel(40, 0);
    board.OnLevelLoaded();
    board.mBriefing->Hide();
    for (int i = 0; i < 2000; ++i) board.Update();
    // Every seat taken as well.
    for (int i = 0; i < 4; ++i) QCClient::SpawnSeatedCustomer(board.GetEvents()->mQueue.back(), 0, 100.0f);
  };
  startDay();
  state.counters["customers"] = static_cast<double>(QCClient::ActiveClients().size());
  int frame = 0;
  for (auto _ : state) {
    if (++frame % 20000 == 0) {
      state.PauseTiming();
      startDay();
      state.ResumeTiming();
    }
    if (frame % 50 == 0) board.ClickObjectByName(targets[(frame / 50) % 8]);
    board.Update();
  }
  if (!board.mRunning) state.SkipWithError("the day ended while measured");
  board.Shutdown();
  SetLevelLogListener(nullptr);
}

}  // namespace

BENCHMARK(BoardFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
