#include "engine/InitResources.h"

#include <map>
#include <mutex>

#include "graphics/MemoryImage.h"
#include "resources/ResourceManager.h"

Velk::Font* FONT_ARIAL10 = nullptr;
Velk::Font* FONT_DEFAULT = nullptr;
Velk::Font* FONT_ARIAL8 = nullptr;
Velk::Font* FONT_ARIAL6 = nullptr;
Velk::SharedImageHandle GFX_GAME_GROUND;

namespace {

const char* const kNames[RESOURCE_ID_MAX] = {"FONT_ARIAL10", "FONT_DEFAULT", "FONT_ARIAL8", "FONT_ARIAL6",
                                             "GFX_GAME_GROUND"};
Velk::Font** const kFontSlots[GFX_GAME_GROUND_ID] = {&FONT_ARIAL10, &FONT_DEFAULT, &FONT_ARIAL8, &FONT_ARIAL6};

std::mutex gSlotLock;
std::map<const void*, int> gSlotIds;
bool gSlotIdsStale = true;

bool IsFontId(int id) { return id >= 0 && id < GFX_GAME_GROUND_ID; }

}  // namespace

void* GetResourceById(int id) {
  if (IsFontId(id)) return *kFontSlots[id];
  if (id == GFX_GAME_GROUND_ID) return GFX_GAME_GROUND.GetImage();
  return nullptr;
}

void* GetResourceSlotById(int id) {
  if (IsFontId(id)) return kFontSlots[id];
  if (id == GFX_GAME_GROUND_ID) return &GFX_GAME_GROUND;
  return nullptr;
}

std::string ResourceIdToName(int id) { return id >= 0 && id < RESOURCE_ID_MAX ? kNames[id] : ""; }

int GetIdByResourceSlot(const void* slot) {
  std::lock_guard<std::mutex> guard(gSlotLock);
  if (gSlotIdsStale) {
    gSlotIds.clear();
    for (int id = 0; id < RESOURCE_ID_MAX; ++id) gSlotIds[GetResourceSlotById(id)] = id;
    gSlotIdsStale = false;
  }
  auto it = gSlotIds.find(slot);
  return it == gSlotIds.end() ? -1 : it->second;
}

bool ExtractInitResources(Velk::ResourceManager* manager) {
  if (!manager) return true;
  for (int id = 0; id < GFX_GAME_GROUND_ID; ++id) *kFontSlots[id] = manager->GetFont(kNames[id]);
  GFX_GAME_GROUND = manager->GetImage(kNames[GFX_GAME_GROUND_ID]);
  std::lock_guard<std::mutex> guard(gSlotLock);
  gSlotIdsStale = true;
  return true;
}

bool ExtractResourcesByGroup(Velk::ResourceManager* manager, const std::string& group) {
  return group == "Init" && ExtractInitResources(manager);
}

Velk::Image* ReloadImageById(Velk::ResourceManager* manager, int id) {
  if (id != GFX_GAME_GROUND_ID || !manager) return nullptr;
  GFX_GAME_GROUND = manager->GetImage(kNames[id]);
  return GFX_GAME_GROUND.GetImage();
}

void ReplaceResourceById(Velk::ResourceManager* manager, int id, void* resource) {
  if (IsFontId(id)) {
    *kFontSlots[id] = static_cast<Velk::Font*>(resource);
  } else if (id == GFX_GAME_GROUND_ID && manager) {
    manager->ReplaceImage(kNames[id], static_cast<Velk::MemoryImage*>(resource));
    GFX_GAME_GROUND = manager->GetImage(kNames[id]);
  }
}

void ReleaseInitResources() {
  for (Velk::Font** slot : kFontSlots) *slot = nullptr;
  GFX_GAME_GROUND.Release();
}
