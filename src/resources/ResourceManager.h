#pragma once
// Named images, sounds and fonts from the resource manifest, arranged in groups and loaded and freed
// by group or on demand by id.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/ImageAnimSettings.h"
#include "graphics/SharedImageHandle.h"

namespace Velk {

class Font;
class MemoryImage;
class ResourceManagerHost;
class SoundManager;
class XMLParser;
struct XMLElement;

class ResourceManager {
 public:
  enum ResType { ResType_Image = 0, ResType_Sound = 1, ResType_Font = 2 };

  class BaseRes {
   public:
    explicit BaseRes(ResType type) : mType(type) {}
    virtual ~BaseRes() = default;
    BaseRes(const BaseRes&) = delete;
    BaseRes& operator=(const BaseRes&) = delete;
    // Frees what was loaded; the record stays defined and can be loaded again.
    virtual void DeleteResource() {}

    ResType mType;
    std::string mId;
    std::string mResGroup;
    std::string mPath;
    std::map<std::wstring, std::wstring> mXMLAttributes;
    bool mFromProgram = false;  // supplied through ReplaceImage, never read from a file
  };

  class ImageRes : public BaseRes {
   public:
    ImageRes() : BaseRes(ResType_Image) {}
    void DeleteResource() override;

    SharedImageHandle mImage;
    std::string mAlphaImage;
    std::string mAlphaGridImage;
    std::string mVariant;
    uint32_t mAlphaColor = 0xFFFFFF;
    bool mPalletize = true;
    bool mA4R4G4B4 = false;
    bool mA8R8G8B8 = false;
    bool mDDSurface = false;
    bool mPurgeBits = false;
    bool mMinimizeSubdivisions = false;
    bool mNoAlpha = false;
    int mRows = 1;
    int mCols = 1;
    ImageAnimSettings mAnimInfo;
  };

  class SoundRes : public BaseRes {
   public:
    SoundRes() : BaseRes(ResType_Sound) {}
    void DeleteResource() override;

    int mSoundId = -1;
    double mVolume = -1.0;                  // below 0: not given
    int mPan = 0;                           // 0: not given
    SoundManager* mSoundManager = nullptr;  // the one that holds the slot
  };

  class FontRes : public BaseRes {
   public:
    FontRes();
    ~FontRes() override;
    void DeleteResource() override;

    std::unique_ptr<Font> mFont;
    std::string mImagePath;
    std::string mTags;
    bool mSysFont = false;
    bool mBold = false;
    bool mItalic = false;
    bool mUnderline = false;
    bool mShadow = false;
    int mSize = 0;
  };

  using ResMap = std::map<std::string, std::unique_ptr<BaseRes>>;
  using ResList = std::vector<BaseRes*>;

  explicit ResourceManager(ResourceManagerHost* host);
  virtual ~ResourceManager();
  ResourceManager(const ResourceManager&) = delete;
  ResourceManager& operator=(const ResourceManager&) = delete;

  bool ParseResourcesFile(const std::string& fileName);
  std::string GetErrorText() const { return mError; }
  bool HadError() const { return mHasFailed; }
  bool IsGroupLoaded(const std::string& group) const { return mLoadedGroups.count(group) != 0; }

  virtual void DeleteResources(const std::string& group);
  virtual void ReleaseGroupInMap(ResMap& map, const std::string& group);
  virtual bool LoadImage(ImageRes* res);
  virtual bool LoadFont(FontRes* res);
  virtual bool LoadSound(SoundRes* res);

  // A progress display calls StartLoadResources once, then LoadNextResource until it returns false.
  virtual bool LoadNextResource();
  virtual void OnResourceLoaded(BaseRes* res);
  virtual void StartLoadResources(const std::string& group);
  virtual bool LoadResources(const std::string& group);

  // These never load; an id that is unknown or not loaded records an error and throws
  // ResourceManagerException with the error text.
  virtual SharedImageHandle GetImageOrThrow(const std::string& id);
  virtual int GetSoundOrThrow(const std::string& id);
  virtual Font* GetFontOrThrow(const std::string& id);

  // Loads on demand; empty when the id is unknown, from the program and not yet replaced, or fails.
  SharedImageHandle GetImage(const std::string& id);
  // Null when unknown or not loaded.
  Font* GetFont(const std::string& id);
  // The record takes the image as its own.
  bool ReplaceImage(const std::string& id, MemoryImage* image);

  // Records the message unless an error is already recorded; always false.
  bool Fail(const std::string& error);

  virtual bool ParseCommonAttributes(XMLElement& element, BaseRes& res, ResMap& map);
  virtual bool ParseSoundElement(XMLElement& element);
  virtual bool ParseImageElement(XMLElement& element);
  virtual bool ParseFontElement(XMLElement& element);
  virtual bool ParseSetDefaults(XMLElement& element);
  virtual bool ParseResourcesSection();

 private:
  bool ParseManifestBody();
  bool ParseResourceElement(XMLElement& element);
  bool ExpectEndTag();
  bool FailUnexpected(const XMLElement& element);
  void AddResource(std::unique_ptr<BaseRes> res, ResMap& map);
  bool ApplyAlphaImage(ImageRes* res, MemoryImage* image);
  bool ApplyAlphaGrid(ImageRes* res, MemoryImage* image);
  void ApplyImageSettings(ImageRes* res, MemoryImage* image);
  bool CreateFont(FontRes* res);
  bool LoadResource(BaseRes* res);
  static bool IsLoaded(const BaseRes* res);
  static BaseRes* FindLoaded(ResMap& map, const std::string& id);
  [[noreturn]] void ThrowNotFound(const char* kind, const std::string& id);

  ResourceManagerHost* mHost;
  std::set<std::string> mLoadedGroups;
  ResMap mImageMap;
  ResMap mSoundMap;
  ResMap mFontMap;
  std::string mError;
  bool mHasFailed = false;
  std::unique_ptr<XMLParser> mXMLParser;  // only while the manifest is parsed
  std::string mCurResGroup;
  std::string mDefaultPath;
  std::string mDefaultIdPrefix;
  std::map<std::string, ResList> mResGroupMap;
  ResList* mCurResGroupList = nullptr;
  size_t mCurResGroupPos = 0;
};

}  // namespace Velk
