#include "engine/QCTexture.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "app/VelkAppBase.h"
#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"
#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "resources/PakInterface.h"

namespace {

std::atomic<QCTextureManager*> gManager{nullptr};

}  // namespace

void TextureRecord::AddRef() {
  if (refCount++ == 0 && manager) image.reset(manager->LoadImageFile(fileName));
}

void TextureRecord::Release() {
  if (refCount == 0) return;
  if (--refCount == 0) image.reset();
}

QCTextureRef& QCTextureRef::operator=(const QCTextureRef& other) {
  if (this != &other) Assign(other);
  return *this;
}

void QCTextureRef::Acquire() {
  if (mAcquired) return;
  mAcquired = true;
  if (mRecord) mRecord->AddRef();
}

void QCTextureRef::Release() {
  if (!mAcquired) return;
  mAcquired = false;
  if (mRecord) mRecord->Release();
}

Velk::Image* QCTextureRef::GetImage() {
  Acquire();
  return mRecord ? mRecord->image.get() : nullptr;
}

void QCTextureRef::Assign(const QCTextureRef& other) {
  TextureRecord* record = other.mRecord;
  bool acquire = other.mAcquired;
  Release();
  mRecord = record;
  if (acquire) Acquire();
}

void QCTextureRef::Reset() {
  Release();
  mRecord = nullptr;
}

QCTextureManager* QCTextureManager::Get() { return gManager.load(std::memory_order_acquire); }

QCTextureManager::QCTextureManager(Velk::VelkAppBase* app) : mApp(app) {
  QCTextureManager* none = nullptr;
  gManager.compare_exchange_strong(none, this, std::memory_order_acq_rel);
}

QCTextureManager::~QCTextureManager() {
  QCTextureManager* self = this;
  gManager.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

void QCTextureManager::ReadUiTextures(IXMLDOMNode* uiRoot) {
  XmlForEach(uiRoot, L"texture", [this](IXMLDOMNode* item) {
    char id[260] = {};
    char file[260] = {};
    XmlGetAttrString(item, L"id", id, sizeof id);
    XmlGetAttrString(item, L"file", file, sizeof file);
    // Only a file that exists gets a record; its picture loads when something shows it.
    PakFile* probe = PakFileOpen(file, "r");
    if (!probe) return;
    PakFileClose(probe);
    TextureRecord record;
    record.fileName = file;
    record.manager = this;
    mRecords.emplace(id, std::move(record));
  });
}

QCTextureRef QCTextureManager::Find(const std::string& id) {
  auto it = mRecords.find(id);
  return QCTextureRef(it == mRecords.end() ? nullptr : &it->second);
}

Velk::Image* QCTextureManager::LoadImageFile(const std::string& fileName) {
  if (!mApp) return nullptr;
  Velk::Image* image = mApp->LoadImage(fileName);
  DropPixelsAfterUpload(mApp, image);
  return image;
}

QCTexture::QCTexture(const QCTexture& other)
    : mFrames(other.mFrames.size()),
      mSourceRect(other.mSourceRect),
      mAdditive(other.mAdditive),
      mFps(other.mFps),
      mCurrentFrame(other.mCurrentFrame),
      mFrameCount(other.mFrameCount),
      mOneshot(other.mOneshot),
      mTime(other.mTime),
      mVisible(other.mVisible) {
  for (size_t i = 0; i < mFrames.size(); ++i) mFrames[i] = QCTextureRef(other.mFrames[i].GetRecord());
}

void QCTexture::SetImage(const QCTextureRef& handle) {
  mTime = 0.0f;
  mFps = 0;
  mCurrentFrame = 0;
  mFrameCount = 1;
  mOneshot = 1;
  QCTextureRef frame(handle.GetRecord());
  ReleaseFrames();
  mFrames.clear();
  mFrames.push_back(frame);
}

void QCTexture::AcquireFrames() {
  for (QCTextureRef& frame : mFrames) frame.Acquire();
}

void QCTexture::ReleaseFrames() {
  for (QCTextureRef& frame : mFrames) frame.Release();
}

void QCTexture::Advance(float dt) {
  if (mFps == 0) return;
  mTime += dt;
  float period = 1.0f / static_cast<float>(mFps);
  if (mTime >= period) {
    ++mCurrentFrame;
    mTime -= period;
  }
  // A run without frames has nothing to hold.
  if (mCurrentFrame >= mFrameCount) mCurrentFrame = mOneshot && mFrameCount > 0 ? mFrameCount - 1 : 0;
}

QCTextureRef* QCTexture::DrawableFrame() {
  if (!mVisible || mCurrentFrame < 0 || static_cast<size_t>(mCurrentFrame) >= mFrames.size()) return nullptr;
  QCTextureRef& frame = mFrames[static_cast<size_t>(mCurrentFrame)];
  return frame.IsEmpty() ? nullptr : &frame;
}

void QCTexture::DrawTransformed(Velk::Graphics* g) {
  QCTextureRef* frame = DrawableFrame();
  if (!g || !frame) return;
  if (mAdditive) g->SetDrawMode(1);
  g->mClipRect = mClipRect;
  g->DrawImageTransformed(frame->GetImage(), mMatrix, mSourceRect, 0.0f, 0.0f);
  if (mAdditive) g->SetDrawMode(0);
}

void QCTexture::Draw(Velk::Graphics* g, const Velk::Rect& dest) {
  QCTextureRef* frame = DrawableFrame();
  if (!g || !frame) return;
  if (mAdditive) g->SetDrawMode(1);
  g->DrawImage(frame->GetImage(), dest, mSourceRect);
  if (mAdditive) g->SetDrawMode(0);
}

void ReadAnimatedTexture(QCTexture* texture, IXMLDOMNode* node, int defaultWidth, int defaultHeight,
                         QCTextureManager* manager) {
  if (!texture) return;
  if (!manager) manager = QCTextureManager::Get();
  int u = 0, v = 0, width = defaultWidth, height = defaultHeight, fps = 0, count = 1, oneshot = 1;
  XmlGetAttrPixels(node, L"u", u);
  XmlGetAttrPixels(node, L"v", v);
  XmlGetAttrPixels(node, L"width", width);
  XmlGetAttrPixels(node, L"height", height);
  XmlGetAttrInt(node, L"fps", fps);
  XmlGetAttrInt(node, L"count", count);
  XmlGetAttrInt(node, L"oneshot", oneshot);
  char id[128] = {};
  XmlGetAttrString(node, L"texture", id, sizeof id);
  char mode[128] = {};
  XmlGetAttrString(node, L"mode", mode, sizeof mode);

  if (count > kMaxTextureFrames) {
    std::fprintf(stderr, "texture %s: %d frames refused (at most %d); it shows nothing\n", id, count,
                 kMaxTextureFrames);
    count = 0;
  }
  texture->mSourceRect = Velk::Rect(u, v, width, height);
  texture->mFps = fps;
  texture->mFrameCount = count;
  texture->mOneshot = oneshot;
  texture->mCurrentFrame = 0;
  texture->mTime = 0.0f;
  texture->ReleaseFrames();
  texture->mFrames.clear();
  auto find = [&](const std::string& name) { return manager ? manager->Find(name) : QCTextureRef(); };
  if (fps != 0) {
    for (int i = 0; i < count; ++i) {
      char frameId[160];
      std::snprintf(frameId, sizeof frameId, "%s%02d", id, i);
      texture->mFrames.push_back(find(frameId));
    }
  } else {
    texture->mFrames.push_back(find(id));
  }
  texture->mAdditive = std::strcmp(mode, "additive") == 0;
}
