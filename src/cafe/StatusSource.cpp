#include "cafe/StatusSource.h"

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCClient.h"
#include "cafe/QCWorker.h"
#include "scene/LevelLog.h"

namespace {

struct Binding {
  const char* prefix;
  bool worker;
};

constexpr Binding kBindings[] = {
    {CafeNames::kBubbleWorker, true},
    {CafeNames::kBubbleClient, false},
    {CafeNames::kObjStatusHpClient, false},
    {CafeNames::kObjStatusHpWorker, true},
};

}  // namespace

StatusSource BindStatusSource(QCItem* status) {
  StatusSource source;
  for (const Binding& binding : kBindings) {
    if (status->mName.rfind(binding.prefix, 0) != 0) continue;
    const std::string rest = status->mName.substr(std::char_traits<char>::length(binding.prefix));
    if (binding.worker) {
      QCWorker* worker = FindWorkerByName(CafeNames::kObjWorker + rest);
      source = {worker, worker};
    } else {
      QCClient* client = FindClientByName(CafeNames::kObjClient + rest);
      source = {client, client};
    }
    break;
  }
  if (!source.item) {
    LevelLog("Level: status object %s shows no character; it stays hidden", status->mName.c_str());
    status->mActive = false;
    status->Show(false);
    return source;
  }
  status->mPosX = source.item->mPosX;
  status->mPosY = source.item->mPosY;
  return source;
}
