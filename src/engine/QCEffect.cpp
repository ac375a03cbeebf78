#include "engine/QCEffect.h"

#include <cstring>

#include "common/Unicode.h"
#include "engine/EngineUtil.h"
#include "engine/QCParticleRegistry.h"
#include "engine/XmlAccess.h"
#include "platform/modules/Modules.h"

namespace {

XmlDocumentRef gDefinitions;
XmlNodeRef gEffects;

int CommandFromName(const char* name) {
  static const std::pair<const char*, int> kCommands[] = {{"stop", kCommandStop},
                                                          {"start", kCommandStart},
                                                          {"resume", kCommandResume},
                                                          {"pause", kCommandPause},
                                                          {"call", kCommandCall}};
  for (const auto& [text, command] : kCommands)
    if (std::strcmp(name, text) == 0) return command;
  return kCommandNone;
}

}  // namespace

bool LoadEffectDefinitions() {
  ReleaseEffectDefinitions();
  gDefinitions = XmlDocumentRef(CreateAndLoadXmlDocument("cfg\\effect.xml"));
  gEffects = SelectChild(gDefinitions.Get(), L"effects");
  if (gDefinitions && !gEffects) DebugLog("LoadEffectDefinitions: cfg\\effect.xml has no effects");
  return static_cast<bool>(gEffects);
}

void ReleaseEffectDefinitions() {
  gEffects = XmlNodeRef();
  gDefinitions = XmlDocumentRef();
}

QCEffect* CreateEffectByName(const char* name) {
  if (!gEffects || !name) return nullptr;
  XmlNodeRef node = SelectChild(gEffects.Get(), L"effect[@name=$n]", {{L"n", Velk::Utf8ToWide(name)}});
  if (!node) return nullptr;
  auto* effect = new QCEffect();
  effect->ReadEffect(node.Get());
  return effect;
}

QCEffect::~QCEffect() {
  if (QCParticleRegistry* particles = GetParticleRegistry())
    particles->RemoveParticleSystemsOf(reinterpret_cast<uintptr_t>(this));
}

void QCEffect::ReadEffect(IXMLDOMNode* node) {
  std::map<std::string, QCTimer*> timersByName;
  int nextId = 0;
  XmlForEach(node, L"timers/timer", [&](IXMLDOMNode* item) {
    int id = nextId++;
    EffectAddTimer(id);
    QCTimer* timer = EffectGetTimer(id);
    timer->ReadTimer(item);
    char name[128] = {};
    if (XmlGetAttrString(item, L"name", name, sizeof name)) timersByName.emplace(name, timer);
  });
  XmlForEach(node, L"messages/message", [&](IXMLDOMNode* item) {
    Binding binding;
    char text[128] = {};
    XmlGetAttrString(item, L"timer_id", text, sizeof text);
    std::string target = text;
    auto it = timersByName.find(target);
    binding.timer = it == timersByName.end() ? nullptr : it->second;
    text[0] = '\0';
    XmlGetAttrString(item, L"command", text, sizeof text);
    binding.command = CommandFromName(text);
    if (binding.command == kCommandCall)
      binding.function = reinterpret_cast<EffectCallback>(GetProcAddress(GetModuleHandleA(nullptr), target.c_str()));
    text[0] = '\0';
    XmlGetAttrString(item, L"name", text, sizeof text);
    mBindings.emplace(text, binding);
  });
}

bool QCEffect::EffectAddTimer(int id) {
  if (mTimers.count(id)) return false;
  mTimers.emplace(id, std::make_unique<QCTimer>(this));
  return true;
}

QCTimer* QCEffect::EffectGetTimer(int id) const {
  auto it = mTimers.find(id);
  return it == mTimers.end() ? nullptr : it->second.get();
}

bool QCEffect::EffectSetParam(int id, void* value) {
  mParams[id] = value;
  return true;
}

void* QCEffect::EffectGetParam(int id) const {
  auto it = mParams.find(id);
  return it == mParams.end() ? nullptr : it->second;
}

bool QCEffect::EffectHasMessage(const std::string& name) const { return mBindings.count(name) != 0; }

void QCEffect::EffectEnableMessage(const std::string& name, bool enabled) {
  auto [first, last] = mBindings.equal_range(name);
  for (auto it = first; it != last; ++it) it->second.enabled = enabled;
}

bool QCEffect::EffectIsMessageEnabled(const std::string& name) const {
  auto [first, last] = mBindings.equal_range(name);
  if (first == last) return false;
  for (auto it = first; it != last; ++it)
    if (!it->second.enabled) return false;
  return true;
}

bool QCEffect::EffectSendMessage(const std::string& name) {
  auto [first, last] = mBindings.equal_range(name);
  if (first == last) return false;
  for (auto it = first; it != last; ++it)
    if (it->second.enabled) RunBinding(it->second);
  if (mEnabled) EffectUpdate(0.0f);
  return true;
}

void QCEffect::RunBinding(const Binding& binding) {
  QCTimer* timer = binding.timer;
  switch (binding.command) {
    case kCommandStop:
      if (timer) {
        timer->TimerSetState(0);
        timer->TimerRewind();
      }
      break;
    case kCommandStart:
      if (timer) {
        timer->TimerRewind();
        timer->TimerSetState(1);
      }
      break;
    case kCommandResume:
      if (timer) timer->TimerSetState(1);
      break;
    case kCommandPause:
      if (timer) timer->TimerSetState(0);
      break;
    case kCommandCall:
      if (binding.function) binding.function(this);
      break;
    default:
      break;
  }
}

void QCEffect::EffectStopTimers() {
  for (auto& [id, timer] : mTimers) {
    if (timer->GetState() == 0) continue;
    timer->TimerSetState(0);
    timer->TimerRewind();
  }
}

void QCEffect::EffectUpdate(float dt) {
  if (!mEnabled) return;
  for (auto& [id, timer] : mTimers)
    if (timer->GetState() != 0 && !timer->IsFinished()) timer->TimerUpdate(dt);
}
