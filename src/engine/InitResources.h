#pragma once
// The resources the program takes from the manifest once the group "Init" has loaded: four fonts
// and one image, each held in a global of its own and known by a small id.

#include <string>

#include "graphics/SharedImageHandle.h"

namespace Velk {
class Font;
class Image;
class MemoryImage;
class ResourceManager;
}  // namespace Velk

enum InitResourceId {
  FONT_ARIAL10_ID = 0,
  FONT_DEFAULT_ID = 1,
  FONT_ARIAL8_ID = 2,
  FONT_ARIAL6_ID = 3,
  GFX_GAME_GROUND_ID = 4,
  RESOURCE_ID_MAX = 5,
};

extern Velk::Font* FONT_ARIAL10;
extern Velk::Font* FONT_DEFAULT;
extern Velk::Font* FONT_ARIAL8;
extern Velk::Font* FONT_ARIAL6;
extern Velk::SharedImageHandle GFX_GAME_GROUND;

// The font, or the image, of the id; null for any other id.
void* GetResourceById(int id);
// The address of the id's global; null for any other id.
void* GetResourceSlotById(int id);
// Empty for any other id.
std::string ResourceIdToName(int id);
// The id whose global lives at `slot`; -1 for none.
int GetIdByResourceSlot(const void* slot);

// Fetches the five from the resource manager into their globals. Always true.
bool ExtractInitResources(Velk::ResourceManager* manager);
// "Init" only; false for any other group.
bool ExtractResourcesByGroup(Velk::ResourceManager* manager, const std::string& group);
// Fetches the image of the id again; null when the id is not an image's.
Velk::Image* ReloadImageById(Velk::ResourceManager* manager, int id);
// The image id's picture replaced in the resource manager and in its global; font ids only change
// their global, as the manager takes no fonts.
void ReplaceResourceById(Velk::ResourceManager* manager, int id, void* resource);
// Drops the globals (the image reference too) before the resource manager goes.
void ReleaseInitResources();
