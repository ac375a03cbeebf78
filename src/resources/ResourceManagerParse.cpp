// Reading the resource manifest.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>

#include "common/Path.h"
#include "common/StringUtil.h"
#include "resources/ResourceManager.h"
#include "resources/ResourceManagerHost.h"
#include "resources/XMLParser.h"

namespace Velk {

namespace {

const std::wstring* FindAttribute(const XMLElement& element, const wchar_t* name) {
  auto it = element.mAttributes.find(name);
  return it == element.mAttributes.end() ? nullptr : &it->second;
}

bool HasAttribute(const XMLElement& element, const wchar_t* name) { return FindAttribute(element, name) != nullptr; }

std::string NarrowAttribute(const XMLElement& element, const wchar_t* name) {
  const std::wstring* value = FindAttribute(element, name);
  return value ? Narrow(*value) : std::string();
}

const char* SkipSpace(const char* p) {
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  return p;
}

// Leading decimal digits as the C library's atoi reads them (0 when there are none), kept within int.
int LeadingInt(const char* p) {
  long long value = std::strtoll(p, nullptr, 10);
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int IntAttribute(const XMLElement& element, const wchar_t* name) {
  return LeadingInt(NarrowAttribute(element, name).c_str());
}

// A number at the start of the text and after every ','.
std::vector<int> IntListAttribute(const XMLElement& element, const wchar_t* name) {
  const std::string text = NarrowAttribute(element, name);
  std::vector<int> values;
  for (size_t start = 0;;) {
    values.push_back(LeadingInt(text.c_str() + start));
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return values;
}

// As "%lf": leading white space and an optional sign; the target keeps its value when no number stands.
void ReadDouble(const std::string& text, double& out) {
  const char* p = SkipSpace(text.c_str());
  const char* end = text.c_str() + text.size();
  const bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (*p == '+' || *p == '-') return;
  double value = 0;
  if (std::from_chars(p, end, value).ec == std::errc()) out = negative ? -value : value;
}

// As "%d": the target keeps its value when no digits stand.
void ReadInt(const std::string& text, int& out) {
  const char* p = SkipSpace(text.c_str());
  const char* digits = (*p == '+' || *p == '-') ? p + 1 : p;
  if (std::isdigit(static_cast<unsigned char>(*digits))) out = LeadingInt(p);
}

// As "%x": an optional "0x", then hexadecimal digits; the target keeps its value when none stand.
void ReadHex(const std::string& text, uint32_t& out) {
  const char* p = SkipSpace(text.c_str());
  char* end = nullptr;
  unsigned long long value = std::strtoull(p, &end, 16);
  if (end != p && *p != '-' && *p != '+') out = static_cast<uint32_t>(value);
}

bool ParseAnimType(const std::wstring& value, int& type) {
  static const std::pair<const wchar_t*, int> kTypes[] = {{L"none", ImageAnimSettings::None},
                                                          {L"once", ImageAnimSettings::Once},
                                                          {L"loop", ImageAnimSettings::Loop},
                                                          {L"pingpong", ImageAnimSettings::PingPong}};
  for (const auto& [name, code] : kTypes)
    if (value == name) {
      type = code;
      return true;
    }
  return false;
}

}  // namespace

bool ResourceManager::ParseResourcesFile(const std::string& fileName) {
  mXMLParser = std::make_unique<XMLParser>();
  if (!mXMLParser->OpenFile(fileName)) {
    Fail("Resource file not found: " + fileName);
  } else {
    XMLElement element;
    bool started = false;
    while (!started && mXMLParser->NextElement(&element)) started = element.mType == XMLElement::TYPE_START;
    if (mXMLParser->HasFailed()) Fail(Narrow(mXMLParser->GetErrorText()));
    if (!started || element.mValue != L"ResourceManifest")
      Fail("Expecting ResourceManifest tag");
    else
      ParseManifestBody();
  }
  if (mXMLParser->HasFailed()) Fail(Narrow(mXMLParser->GetErrorText()));
  mXMLParser.reset();
  return !mHasFailed;
}

bool ResourceManager::ParseManifestBody() {
  XMLElement element;
  while (mXMLParser->NextElement(&element)) {
    if (element.mType == XMLElement::TYPE_START) {
      if (element.mValue != L"Resources") return FailUnexpected(element);
      mCurResGroup = NarrowAttribute(element, L"id");
      if (mCurResGroup.empty()) return Fail("No id specified.");
      mResGroupMap[mCurResGroup];
      if (!ParseResourcesSection()) return false;
    } else if (element.mType == XMLElement::TYPE_TEXT) {
      return FailUnexpected(element);
    }
  }
  return true;
}

bool ResourceManager::ParseResourcesSection() {
  XMLElement element;
  while (mXMLParser->NextElement(&element)) {
    switch (element.mType) {
      case XMLElement::TYPE_START:
        if (!ParseResourceElement(element) || !ExpectEndTag()) return false;
        break;
      case XMLElement::TYPE_END:
        return true;
      case XMLElement::TYPE_TEXT:
        return FailUnexpected(element);
      default:
        break;
    }
  }
  // The end of the input inside a section is not an error; a reader error is recorded by the caller.
  return false;
}

bool ResourceManager::ParseResourceElement(XMLElement& element) {
  if (element.mValue == L"Image") return ParseImageElement(element);
  if (element.mValue == L"Sound") return ParseSoundElement(element);
  if (element.mValue == L"Font") return ParseFontElement(element);
  if (element.mValue == L"SetDefaults") return ParseSetDefaults(element);
  return FailUnexpected(element);
}

bool ResourceManager::ExpectEndTag() {
  XMLElement element;
  if (!mXMLParser->NextElement(&element)) return false;
  if (element.mType != XMLElement::TYPE_END) return Fail("Unexpected element found.");
  return true;
}

bool ResourceManager::FailUnexpected(const XMLElement& element) {
  const char* kind = element.mType == XMLElement::TYPE_START ? "Invalid Section '" : "Element Not Expected '";
  return Fail(kind + Narrow(element.mValue) + "'");
}

bool ResourceManager::ParseSetDefaults(XMLElement& element) {
  if (HasAttribute(element, L"path")) {
    mDefaultPath = StripTrailingSlash(NarrowAttribute(element, L"path"));
    // An empty default path stays empty rather than turning every path into a root path.
    if (!mDefaultPath.empty()) mDefaultPath += '/';
  }
  if (HasAttribute(element, L"idprefix")) mDefaultIdPrefix = StripTrailingSlash(NarrowAttribute(element, L"idprefix"));
  return true;
}

bool ResourceManager::ParseCommonAttributes(XMLElement& element, BaseRes& res, ResMap& map) {
  res.mResGroup = mCurResGroup;
  res.mXMLAttributes = element.mAttributes;

  const std::string path = NarrowAttribute(element, L"path");
  if (path.empty()) return Fail("No path specified.");
  res.mFromProgram = path == "!program";
  res.mPath = path[0] == '!' ? path : mDefaultPath + path;

  if (HasAttribute(element, L"id"))
    res.mId = mDefaultIdPrefix + NarrowAttribute(element, L"id");
  else
    res.mId = mDefaultIdPrefix + PathFileName(res.mPath, true);
  if (map.count(res.mId)) return Fail("Resource already defined.");
  return true;
}

void ResourceManager::AddResource(std::unique_ptr<BaseRes> res, ResMap& map) {
  mResGroupMap[mCurResGroup].push_back(res.get());
  map[res->mId] = std::move(res);
}

bool ResourceManager::ParseImageElement(XMLElement& element) {
  auto res = std::make_unique<ImageRes>();
  if (!ParseCommonAttributes(element, *res, mImageMap)) return false;

  res->mPalletize = !HasAttribute(element, L"nopal");
  res->mA4R4G4B4 = HasAttribute(element, L"a4r4g4b4");
  res->mA8R8G8B8 = HasAttribute(element, L"a8r8g8b8");
  res->mMinimizeSubdivisions = HasAttribute(element, L"minsubdivide");
  res->mDDSurface = HasAttribute(element, L"ddsurface");
  res->mNoAlpha = HasAttribute(element, L"noalpha");
  res->mPurgeBits = HasAttribute(element, L"nobits");
  if (HasAttribute(element, L"nobits3d") || HasAttribute(element, L"nobits2d")) {
    const bool is3D = mHost && mHost->Is3DModeOn();
    if (HasAttribute(element, is3D ? L"nobits3d" : L"nobits2d")) res->mPurgeBits = true;
  }

  if (HasAttribute(element, L"alphaimage")) res->mAlphaImage = mDefaultPath + NarrowAttribute(element, L"alphaimage");
  if (HasAttribute(element, L"alphagrid")) res->mAlphaGridImage = mDefaultPath + NarrowAttribute(element, L"alphagrid");
  if (HasAttribute(element, L"alphacolor")) ReadHex(NarrowAttribute(element, L"alphacolor"), res->mAlphaColor);
  res->mVariant = NarrowAttribute(element, L"variant");

  // The cel grid is divided by later on, so fewer than one row or column counts as one.
  if (HasAttribute(element, L"rows")) res->mRows = std::max(1, IntAttribute(element, L"rows"));
  if (HasAttribute(element, L"cols")) res->mCols = std::max(1, IntAttribute(element, L"cols"));

  ImageAnimSettings& anim = res->mAnimInfo;
  if (const std::wstring* type = FindAttribute(element, L"anim")) {
    if (!ParseAnimType(*type, anim.mAnimType)) return Fail("Invalid animation type.");
  }
  if (anim.mAnimType != ImageAnimSettings::None) {
    if (HasAttribute(element, L"framedelay")) anim.mFrameDelay = IntAttribute(element, L"framedelay");
    if (HasAttribute(element, L"perframedelay")) anim.mPerFrameDelay = IntListAttribute(element, L"perframedelay");
    if (HasAttribute(element, L"framemap")) anim.mFrameMap = IntListAttribute(element, L"framemap");
    anim.SetUp(std::max(res->mRows, res->mCols), IntAttribute(element, L"begindelay"),
               IntAttribute(element, L"enddelay"));
  }

  AddResource(std::move(res), mImageMap);
  return true;
}

bool ResourceManager::ParseSoundElement(XMLElement& element) {
  auto res = std::make_unique<SoundRes>();
  if (!ParseCommonAttributes(element, *res, mSoundMap)) return false;
  if (HasAttribute(element, L"volume")) ReadDouble(NarrowAttribute(element, L"volume"), res->mVolume);
  if (HasAttribute(element, L"pan")) ReadInt(NarrowAttribute(element, L"pan"), res->mPan);
  AddResource(std::move(res), mSoundMap);
  return true;
}

bool ResourceManager::ParseFontElement(XMLElement& element) {
  auto res = std::make_unique<FontRes>();
  if (!ParseCommonAttributes(element, *res, mFontMap)) return false;
  res->mImagePath = NarrowAttribute(element, L"image");
  res->mTags = NarrowAttribute(element, L"tags");

  if (res->mPath.rfind("!sys:", 0) == 0) {
    res->mSysFont = true;
    res->mSize = IntAttribute(element, L"size");
    if (res->mSize <= 0) return Fail("SysFont needs point size");
    res->mBold = HasAttribute(element, L"bold");
    res->mItalic = HasAttribute(element, L"italic");
    res->mShadow = HasAttribute(element, L"shadow");
    res->mUnderline = HasAttribute(element, L"underline");
  }

  AddResource(std::move(res), mFontMap);
  return true;
}

}  // namespace Velk
