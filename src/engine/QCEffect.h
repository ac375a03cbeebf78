#pragma once
// An effect: a named bundle of timers described in "cfg\effect.xml", driven by named messages
// ("onshow", "onhide", "render_ps", ...). Messages start, stop, pause or resume timers, or call an
// exported function with the effect; the timers' controls call the exported callbacks, which reach
// the owner through its QCIEffect and the numbered parameters it published.
//
// The definitions document is loaded once on the main thread and only read afterwards, also from the
// loading threads that create the effects of what they build.

#include <map>
#include <memory>
#include <string>

#include "engine/QCIEffect.h"
#include "engine/QCTimer.h"

class IXMLDOMNode;

// Parameter ids the owners publish and the callbacks read.
enum EffectParam {
  kParamFrame = 1,         // int*: the current frame of a part animation
  kParamSequence = 2,      // the animation sequence record
  kParamOffset = 3,        // {int x, y} of a widget; a part animation's done byte
  kParamScalePoint = 5,    // {int x, y}
  kParamWidget = 6,        // the widget itself
  kParamChildHooks = 7,    // the widget's child-hook vector
  kParamTargets = 256,     // EffectTargetList of a scene object
  kParamVisible = 257,     // the object's visible byte
  kParamParticles0 = 258,  // 258 to 261: particle systems
  kParamGraphics = 262,    // the Graphics of the current draw
  kParamSpawnX = 263,
  kParamSpawnY = 264,
  kParamOrientation = 265,
  kParamMirror = 266,
};

// One drawable part of a scene object, as its effect sees it: pointers into the owner.
struct EffectTarget {
  int* offset = nullptr;  // {x, y}
  float* scale = nullptr;
  int* scalePoint = nullptr;  // {x, y}
  float* alpha = nullptr;
  bool* visible = nullptr;
  void* reserved = nullptr;
  uint32_t* color = nullptr;  // RGBA, red in the high byte
  uint32_t* outlineColor = nullptr;
};

struct EffectTargetList {
  static constexpr int kMaxTargets = 15;
  int count = 0;
  void* spare = nullptr;
  EffectTarget targets[kMaxTargets];
};

enum EffectCommand {
  kCommandNone = 0,
  kCommandStop = 1,
  kCommandStart = 2,
  kCommandResume = 3,
  kCommandPause = 4,
  kCommandCall = 5
};

// Loads "cfg\effect.xml" and keeps it for the program's life; without it no effect can be created.
// False when it has no "effects" element (missing, unreadable or foreign).
bool LoadEffectDefinitions();
void ReleaseEffectDefinitions();
// A new effect (the caller owns it), or null when there is no definition of that name.
class QCEffect;
QCEffect* CreateEffectByName(const char* name);

class QCEffect {
 public:
  QCEffect() = default;
  // Takes the particle systems it created with it.
  virtual ~QCEffect();
  QCEffect(const QCEffect&) = delete;
  QCEffect& operator=(const QCEffect&) = delete;

  // The timers (ids 0, 1, ... in document order), then the message bindings.
  void ReadEffect(IXMLDOMNode* node);
  // False, adding nothing, when the id is taken.
  bool EffectAddTimer(int id);
  QCTimer* EffectGetTimer(int id) const;
  bool EffectSetParam(int id, void* value);
  void* EffectGetParam(int id) const;
  bool EffectHasMessage(const std::string& name) const;
  void EffectEnableMessage(const std::string& name, bool enabled);
  // False without bindings; else true only when every binding is enabled.
  bool EffectIsMessageEnabled(const std::string& name) const;
  // False when the message has no binding. Otherwise runs the enabled bindings in order and, when
  // the effect is enabled, EffectUpdate(0) so that controls at the current times act at once.
  bool EffectSendMessage(const std::string& name);
  // Advances every running, unfinished timer (in id order) while the effect is enabled.
  void EffectUpdate(float dt);
  // Stops every running timer as a "stop" message does, so that none of its controls fires later.
  void EffectStopTimers();

  bool IsEnabled() const { return mEnabled; }
  void SetEnabled(bool enabled) { mEnabled = enabled; }
  QCIEffect* GetOwner() const { return mOwner; }
  void SetOwner(QCIEffect* owner) { mOwner = owner; }
  size_t TimerCount() const { return mTimers.size(); }

 private:
  struct Binding {
    QCTimer* timer = nullptr;
    int command = kCommandNone;
    bool enabled = true;
    EffectCallback function = nullptr;
  };

  void RunBinding(const Binding& binding);

  bool mEnabled = true;
  std::map<int, std::unique_ptr<QCTimer>> mTimers;
  std::map<int, void*> mParams;
  QCIEffect* mOwner = nullptr;
  std::multimap<std::string, Binding> mBindings;
};
