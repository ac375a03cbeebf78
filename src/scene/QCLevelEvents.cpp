#include "scene/QCLevelEvents.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"
#include "scene/LevelLog.h"

namespace {

constexpr int kTextSize = 128;
// The only event type the game turns into arrivals; others are dropped when the file is read.
const char* const kClientEvent = "client";

// Cleared records waiting for a survival draw; the pool owns them.
struct RecordPool {
  std::vector<QCEventRecord*> free;
  int live = 0;
  ~RecordPool() { Empty(); }
  void Empty() {
    for (QCEventRecord* record : free) Delete(record);
    free.clear();
  }
  QCEventRecord* Take() {
    if (free.empty()) {
      ++live;
      return new QCEventRecord;
    }
    QCEventRecord* record = free.back();
    free.pop_back();
    return record;
  }
  void Put(QCEventRecord* record) {
    *record = QCEventRecord{};
    free.push_back(record);
  }
  void Delete(QCEventRecord* record) {
    delete record;
    --live;
  }
};

RecordPool gPool;

std::string ReadText(IXMLDOMNode* node, const wchar_t* name) {
  char text[kTextSize] = {};
  XmlGetAttrString(node, name, text, kTextSize);
  return text;
}

float ReadFloat(IXMLDOMNode* node, const wchar_t* name) {
  float value = 0.0f;
  XmlGetAttrFloat(node, name, value);
  return value;
}

// The first element whose probability exceeds what is left of the draw; -1 when the walk runs out.
template <typename T>
int WeightedPick(const std::vector<T>& items, float sum) {
  float r = RandomFloat(0.0f, sum);
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].prob > r) return static_cast<int>(i);
    r -= items[i].prob;
  }
  return -1;
}

void AppendOrders(const QCOrderPart& part, QCEventRecord& record) {
  float r = RandomFloat(0.0f, part.sum);
  for (size_t i = 0; i < part.lists.size() && r > 0.0f; ++i) {
    const QCOrderList& list = part.lists[i];
    const int pick = WeightedPick(list.orders, list.sum);
    if (pick >= 0) record.entries.push_back(list.orders[pick].name);
    r -= list.prob;
  }
}

QCOrderList ReadOrderList(IXMLDOMNode* node) {
  QCOrderList list;
  list.prob = ReadFloat(node, L"prob");
  XmlForEach(node, L"order", [&list](IXMLDOMNode* item) {
    QCOrder order{ReadFloat(item, L"prob"), ReadText(item, L"name")};
    list.sum += order.prob;
    list.orders.push_back(order);
  });
  return list;
}

void ReadOrderPart(IXMLDOMNode* templateNode, const wchar_t* name, QCOrderPart& part) {
  XmlNodeRef node = SelectChild(templateNode, name);
  if (!node) return;
  part.prob = ReadFloat(node.Get(), L"prob");
  XmlForEach(node.Get(), L"order_list", [&part](IXMLDOMNode* item) {
    QCOrderList list = ReadOrderList(item);
    part.sum += list.prob;
    part.lists.push_back(std::move(list));
  });
}

bool IsClientEvent(const std::string& type, const std::string& event) {
  if (type == kClientEvent) return true;
  LevelLog("Level events: an event of type \"%s\" (%s) is skipped", type.c_str(), event.c_str());
  return false;
}

}  // namespace

void AttachEventRecord(QCEventRecord* record) {
  if (record) ++record->refCount;
}

void ReleaseEventRecord(QCEventRecord* record) {
  if (!record || record->refCount <= 0) return;
  if (--record->refCount == 0 && !record->queued) gPool.Put(record);
}

int LiveEventRecordCount() { return gPool.live; }

QCLevelEvents::~QCLevelEvents() { Clear(); }

void QCLevelEvents::LoadLevelEvents(IXMLDOMNode* levelNode) {
  Clear();
  if (!levelNode || (mKind != kCareer && mKind != kSurvival)) return;
  XmlNodeRef queueNode = SelectChild(levelNode, L"events_queue");
  if (!queueNode) return;
  if (mKind == kCareer)
    ReadQueue(queueNode.Get());
  else
    ReadStages(queueNode.Get());
}

void QCLevelEvents::ReadQueue(IXMLDOMNode* queueNode) {
  XmlForEach(queueNode, L"time_point", [this](IXMLDOMNode* node) {
    std::string type = ReadText(node, L"type"), event = ReadText(node, L"event");
    if (!IsClientEvent(type, event)) return;
    auto* record = new QCEventRecord{0, ReadFloat(node, L"time"), type, event, {}, true};
    ++gPool.live;
    XmlForEach(node, L"param", [record](IXMLDOMNode* param) {
      std::string name;
      if (XmlGetAttrText(param, L"name", name)) record->entries.push_back(name);
    });
    mQueue.push_back(record);
  });
  mCursor = mQueue.begin();
}

void QCLevelEvents::ReadStages(IXMLDOMNode* queueNode) {
  XmlForEach(queueNode, L"templates/order_template", [this](IXMLDOMNode* node) {
    auto entry = std::make_unique<QCOrderTemplate>();
    entry->name = ReadText(node, L"name");
    ReadOrderPart(node, L"stand", entry->stand);
    ReadOrderPart(node, L"sit", entry->sit);
    mTemplates.emplace(entry->name, std::move(entry));
  });
  XmlForEach(queueNode, L"stages/stage", [this](IXMLDOMNode* node) {
    QCEventStage stage;
    XmlGetAttrInt(node, L"points", stage.points);
    XmlForEach(node, L"time_point_template", [&](IXMLDOMNode* item) { ReadStageTemplate(item, stage); });
    mStages.push_back(std::move(stage));
  });
  FirstStage();
}

void QCLevelEvents::ReadStageTemplate(IXMLDOMNode* item, QCEventStage& stage) {
  QCEventTemplate entry{ReadFloat(item, L"prob"),     ReadText(item, L"type"),      ReadText(item, L"event"),
                        ReadFloat(item, L"time_min"), ReadFloat(item, L"time_max"), nullptr};
  if (!IsClientEvent(entry.type, entry.event)) return;
  const std::string orders = ReadText(item, L"order_template");
  auto found = mTemplates.find(orders);
  if (found != mTemplates.end())
    entry.orders = found->second.get();
  else
    LevelLog("Level events: order template \"%s\" is not defined; its customers order nothing", orders.c_str());
  stage.sum += entry.prob;
  stage.templates.push_back(std::move(entry));
}

void QCLevelEvents::FirstStage() {
  DropQueue();
  mStageCursor = 0;
  mPrevTarget = 0;
  mTarget = mStages.empty() ? 0 : mStages.front().points;
  DrawNext();
}

void QCLevelEvents::DrawRecord(const QCEventStage& stage, QCEventRecord& record) {
  if (stage.templates.empty()) return;
  int pick = WeightedPick(stage.templates, stage.sum);
  if (pick < 0) pick = static_cast<int>(stage.templates.size()) - 1;
  const QCEventTemplate& entry = stage.templates[pick];
  record.event = entry.event;
  record.type = entry.type;
  record.time = RandomFloat(entry.timeMin, entry.timeMax);
  if (!entry.orders) return;
  const QCOrderTemplate& orders = *entry.orders;
  const float r0 = RandomFloat(0.0f, orders.stand.prob + orders.sit.prob);
  AppendOrders(orders.stand, record);
  if (r0 > orders.stand.prob) AppendOrders(orders.sit, record);
}

void QCLevelEvents::DrawNext() {
  if (mStageCursor >= mStages.size() || mStages[mStageCursor].templates.empty()) {
    mCursor = mQueue.end();
    return;
  }
  QCEventRecord* record = gPool.Take();
  DrawRecord(mStages[mStageCursor], *record);
  record->time += mClock;
  record->queued = true;
  mQueue.push_back(record);
  mCursor = std::prev(mQueue.end());
}

void QCLevelEvents::Tick(float dt) { mClock += dt; }

QCEventRecord* QCLevelEvents::NextDueEvent() {
  if (mCursor == mQueue.end() || (*mCursor)->time > mClock) return nullptr;
  return *mCursor;
}

void QCLevelEvents::TakeEvent() {
  if (mCursor == mQueue.end()) return;
  ++mTaken;
  if (mKind != kSurvival) {
    ++mCursor;
    return;
  }
  QCEventRecord* first = mQueue.front();
  mQueue.pop_front();
  first->queued = false;
  if (first->refCount == 0) gPool.Put(first);
  DrawNext();
}

bool QCLevelEvents::IsFinished() const { return mCursor == mQueue.end(); }

float QCLevelEvents::GetProgress() const {
  if (mQueue.empty()) return 0.0f;
  return static_cast<float>(mTaken) / static_cast<float>(mQueue.size());
}

int QCLevelEvents::GetStageTarget() const { return mTarget; }

void QCLevelEvents::NextStage() {
  // Points come from the level file: the step and the next target saturate instead of wrapping.
  const int64_t step = static_cast<int64_t>(mTarget) - mPrevTarget;
  mPrevTarget = mTarget;
  if (mStageCursor + 1 < mStages.size()) {
    mTarget = mStages[++mStageCursor].points;
    // A stage after an empty one starts the arrivals again.
    if (mKind == kSurvival && mQueue.empty()) DrawNext();
  } else {
    mTarget = static_cast<int>(std::clamp<int64_t>(mTarget + step, INT32_MIN, INT32_MAX));
  }
}

void QCLevelEvents::Reset() {
  gPool.Empty();
  mClock = 0.0f;
  mTaken = 0;
  if (mKind == kSurvival) {
    // The waiting record was drawn on the old clock: a new shift draws its first arrival afresh.
    FirstStage();
    return;
  }
  mStageCursor = 0;
  mCursor = mQueue.begin();
}

void QCLevelEvents::DropQueue() {
  for (QCEventRecord* record : mQueue) {
    record->queued = false;
    if (record->refCount == 0) gPool.Delete(record);
  }
  mQueue.clear();
  mCursor = mQueue.end();
}

void QCLevelEvents::Clear() {
  DropQueue();
  gPool.Empty();
  mStages.clear();
  mTemplates.clear();
  mStageCursor = 0;
  mTaken = 0;
  mClock = 0.0f;
  mPrevTarget = mTarget = 0;
}
