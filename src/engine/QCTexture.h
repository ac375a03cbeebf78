#pragma once
// The UI textures: cfg\ui.xml names every picture by a texture id and the file that holds it. The
// manager keeps one record per id; handles (QCTextureRef) point at the records, and a file is loaded
// only while at least one handle holds its record acquired, so the pictures of hidden screens are not
// kept in memory. A QCTexture is what a widget draws: one image or a numbered run of images played
// at a frame rate.
//
// The manager is filled on the start-up loading thread; afterwards every acquire, release and draw
// happens on the main thread.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "graphics/Rect.h"

namespace Velk {
class Graphics;
class Image;
class VelkAppBase;
}  // namespace Velk

class IXMLDOMNode;
class QCTextureManager;

struct TextureRecord {
  std::string fileName;
  std::unique_ptr<Velk::Image> image;  // only while the record is acquired
  uint32_t refCount = 0;
  QCTextureManager* manager = nullptr;

  // The first reference loads the file.
  void AddRef();
  // The last reference deletes the image.
  void Release();
};

// A handle onto a record. A copy points at the same record and starts not acquired; each acquired
// handle holds one count of its own. Destroying a handle releases nothing: owners release first.
class QCTextureRef {
 public:
  QCTextureRef() = default;
  explicit QCTextureRef(TextureRecord* record) : mRecord(record) {}
  QCTextureRef(const QCTextureRef& other) : mRecord(other.mRecord) {}
  // As Assign.
  QCTextureRef& operator=(const QCTextureRef& other);

  void Acquire();
  void Release();
  // Acquires first when needed; null when the file failed to load or the handle is empty.
  Velk::Image* GetImage();
  // Releases this handle, takes the other's record, and is acquired when the other is.
  void Assign(const QCTextureRef& other);
  // Releases and empties the handle.
  void Reset();
  // Empties the handle without releasing.
  void Clear() {
    mRecord = nullptr;
    mAcquired = false;
  }
  bool IsEmpty() const { return mRecord == nullptr; }
  bool IsAcquired() const { return mAcquired; }
  TextureRecord* GetRecord() const { return mRecord; }

 private:
  TextureRecord* mRecord = nullptr;
  bool mAcquired = false;
};

class QCTextureManager {
 public:
  // The manager of the process: the texture lookups without a manager argument use it.
  static QCTextureManager* Get();

  explicit QCTextureManager(Velk::VelkAppBase* app);
  virtual ~QCTextureManager();
  QCTextureManager(const QCTextureManager&) = delete;
  QCTextureManager& operator=(const QCTextureManager&) = delete;

  // Every `texture` child of the ui root whose file opens; the first record of an id stays.
  void ReadUiTextures(IXMLDOMNode* uiRoot);
  // A handle, not acquired; empty when the id is unknown.
  QCTextureRef Find(const std::string& id);
  size_t Count() const { return mRecords.size(); }
  // The image of a record's file, owned by the caller; null when it cannot be read.
  virtual Velk::Image* LoadImageFile(const std::string& fileName);

 private:
  Velk::VelkAppBase* mApp;
  std::map<std::string, TextureRecord> mRecords;  // records never move: handles point at them
};

class QCTexture {
 public:
  QCTexture() = default;
  // Copies everything but the matrix and the clip; the frames as new handles, not acquired.
  QCTexture(const QCTexture& other);
  QCTexture& operator=(const QCTexture&) = delete;
  virtual ~QCTexture() = default;

  // The handle (copied, not acquired) becomes the one still frame; earlier frames are released.
  void SetImage(const QCTextureRef& handle);
  // x, y, width, height.
  void SetSourceRect(const int rect[4]) { mSourceRect = Velk::Rect(rect[0], rect[1], rect[2], rect[3]); }
  void SetSourceRect(const Velk::Rect& rect) { mSourceRect = rect; }
  void SetMatrix(const Velk::Matrix3x3& matrix) { mMatrix = matrix; }
  void SetClipRect(const Velk::Rect& rect) { mClipRect = rect; }
  void AcquireFrames();
  void ReleaseFrames();
  // At most one frame step per call, whatever dt is.
  void Advance(float dt);
  // The current frame through the matrix, clipped to the texture's clip rectangle.
  void DrawTransformed(Velk::Graphics* g);
  // The current frame's source rectangle stretched into `dest`.
  void Draw(Velk::Graphics* g, const Velk::Rect& dest);

  // The frame handles of the ids read (for tests and the widgets that swap frames).
  std::vector<QCTextureRef>& Frames() { return mFrames; }
  const Velk::Rect& GetSourceRect() const { return mSourceRect; }
  const Velk::Matrix3x3& GetMatrix() const { return mMatrix; }
  const Velk::Rect& GetClipRect() const { return mClipRect; }
  bool IsAdditive() const { return mAdditive; }
  void SetAdditive(bool additive) { mAdditive = additive; }
  int GetFps() const { return mFps; }
  int GetCurrentFrame() const { return mCurrentFrame; }
  void SetCurrentFrame(int frame) { mCurrentFrame = frame; }
  int GetFrameCount() const { return mFrameCount; }
  bool IsOneshot() const { return mOneshot != 0; }
  bool IsVisible() const { return mVisible; }
  // No frame names an image record.
  bool IsEmpty() const {
    for (const QCTextureRef& frame : mFrames)
      if (!frame.IsEmpty()) return false;
    return true;
  }
  void SetVisible(bool visible) { mVisible = visible; }

 private:
  friend void ReadAnimatedTexture(QCTexture*, IXMLDOMNode*, int, int, QCTextureManager*);
  // The handle of the current frame, or null when there is nothing to draw.
  QCTextureRef* DrawableFrame();

  std::vector<QCTextureRef> mFrames;
  Velk::Rect mSourceRect;
  bool mAdditive = false;
  Velk::Matrix3x3 mMatrix;
  Velk::Rect mClipRect;
  int mFps = 0;
  int mCurrentFrame = 0;
  int mFrameCount = 0;
  int mOneshot = 1;
  float mTime = 0.0f;
  bool mVisible = true;
};

// More frames than this are refused: the texture then shows nothing.
constexpr int kMaxTextureFrames = 1000;

// Reads u, v, width, height, fps, count, oneshot, texture and mode of a texture element. With a frame
// rate the frames are the ids "<texture>00", "<texture>01", ...; without, the one id. Frames are
// looked up (in the process's manager when none is given), not acquired.
void ReadAnimatedTexture(QCTexture* texture, IXMLDOMNode* node, int defaultWidth, int defaultHeight,
                         QCTextureManager* manager = nullptr);
