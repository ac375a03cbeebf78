#include "UiHarness.h"

#include "engine/SoundTestSupport.h"

namespace {

const char* kCfg = R"(<root><sounds>
  <sound name="snd_click" group="ui" path="snd\click.wav"/>
  <sound name="snd_hover" group="ui" path="snd\hover.wav"/>
  <sound name="goal" group="ui" path="snd\goal.wav"/>
  <sound name="expert" group="ui" path="snd\expert.wav"/>
  <sound name="briefing_show" group="ui" path="snd\briefing.wav"/>
  <sound name="debriefing_money" group="ui" path="snd\money.wav"/>
</sounds></root>)";
const char* const kSoundNames[] = {"snd_click", "snd_hover", "goal", "expert", "briefing_show", "debriefing_money"};

}  // namespace

UiHarness::UiHarness(const EngineMaker& makeEngine) : UiTestWorld(makeEngine) {
  ResetSoundState();
  StartSoundSystem(0);
  WithCfgRoot(pak, kCfg, [](IXMLDOMNode* root) { LoadSoundTable(root); });
  squall.Clear();
}

UiHarness::~UiHarness() { ResetSoundState(); }

std::vector<std::string> UiHarness::TakePlayedSounds() {
  std::vector<std::string> names;
  for (const SquallCall& call : squall.calls) {
    if (call.name != "Sample_PlayEx" || call.args.empty()) continue;
    for (const char* name : kSoundNames) {
      QCSoundEntry* entry = FindSoundEntry(name);
      if (entry && static_cast<int>(entry->sample) == call.args[0]) names.push_back(name);
    }
  }
  squall.Clear();
  return names;
}
