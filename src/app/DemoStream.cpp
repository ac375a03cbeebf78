#include "app/DemoStream.h"

#include <algorithm>
#include <cstdlib>

namespace Velk {

namespace {

constexpr int kMaxGap = 15;
constexpr int kRelativeLimit = 32;  // a step must be below this in both axes to go relative
constexpr int kCoordBits = 12;
constexpr int kStepBits = 6;
// Every event takes at least this many bits, while a saved stream ends with up to 7 padding bits.
constexpr int kMinEventBits = 10;

bool IsExchange(int command) {
  return command == kDemoRegistryRead || command == kDemoRegistryWrite || command == kDemoFileRead ||
         command == kDemoHttpResult || command == kDemoBufferExchange;
}

}  // namespace

int DemoStream::ClampCoord(int value) { return std::clamp(value, kMinCoord, kMaxCoord); }

void DemoStream::WriteEventHeader(bool mouse, int command) {
  DWORD counter = Counter();
  while (counter - mLastEventUpdate > kMaxGap) {
    mBuffer.WriteBits(kMaxGap, 4);
    mBuffer.WriteBits(0, 1);
    mBuffer.WriteBits(kDemoFiller, 5);
    mLastEventUpdate += kMaxGap;
    ++mEventCount;
  }
  mBuffer.WriteBits(counter - mLastEventUpdate, 4);
  mLastEventUpdate = counter;
  mBuffer.WriteBits(mouse ? 1 : 0, 1);
  mBuffer.WriteBits(static_cast<uint32_t>(command), mouse ? 1 : 5);
  ++mEventCount;
}

void DemoStream::RecordMousePosition(int x, int y) {
  if (!mRecording) return;
  x = ClampCoord(x);
  y = ClampCoord(y);
  int dx = x - mMouseX;
  int dy = y - mMouseY;
  if (dx == 0 && dy == 0) return;
  if (std::abs(dx) < kRelativeLimit && std::abs(dy) < kRelativeLimit) {
    WriteEventHeader(true, kDemoMouseMove);
    mBuffer.WriteBits(static_cast<uint32_t>(dx), kStepBits);
    mBuffer.WriteBits(static_cast<uint32_t>(dy), kStepBits);
  } else {
    WriteEventHeader(false, kDemoMouseMove);
    mBuffer.WriteBits(static_cast<uint32_t>(x), kCoordBits);
    mBuffer.WriteBits(static_cast<uint32_t>(y), kCoordBits);
  }
  mMouseX = x;
  mMouseY = y;
}

void DemoStream::RecordMouseButton(int button, bool down) {
  if (!mRecording) return;
  WriteEventHeader(true, kDemoMouseButton);
  mBuffer.WriteBits(down ? 1 : 0, 1);
  mBuffer.WriteBits(static_cast<uint32_t>(button), 3);
}

void DemoStream::RecordEvent(int command) {
  if (mRecording) WriteEventHeader(false, command);
}

void DemoStream::RecordBits(int command, uint32_t value, int bits) {
  if (!mRecording) return;
  WriteEventHeader(false, command);
  mBuffer.WriteBits(value, bits);
}

void DemoStream::RecordChar(uint16_t character) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoChar);
  mBuffer.WriteBits(1, 1);
  mBuffer.WriteBits(character, 16);
}

void DemoStream::RecordMinimised(bool minimised) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoMinimised);
  mBuffer.WriteBool(minimised);
}

void DemoStream::RecordDisplaySettings(bool windowed, uint8_t refreshRate) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoDisplaySettings);
  mBuffer.WriteBool(windowed);
  mBuffer.WriteByte(refreshRate);
}

bool DemoStream::ReadEventHeader() {
  if (mHeaderNeeded) {
    mHeaderReadPos = mBuffer.ReadBitPos();
    mLastEventUpdate += mBuffer.ReadBits(4);
    mMouseEvent = mBuffer.ReadBits(1) != 0;
    mCommand = static_cast<int>(mBuffer.ReadBits(mMouseEvent ? 1 : 5));
    ++mEventCount;
    mHeaderNeeded = false;
  }
  return Counter() == mLastEventUpdate;
}

bool DemoStream::AtStreamEnd() const {
  // A header already read may belong to a payload-less event at the very end of the stream.
  return mHeaderNeeded && mBuffer.BitsLeft() < kMinEventBits;
}

bool DemoStream::NextInputEvent(DemoEvent& event) {
  if (!mPlaying || Counter() != mLastEventUpdate || AtStreamEnd()) return false;
  if (!ReadEventHeader()) return false;
  if (!mMouseEvent && IsExchange(mCommand)) return false;
  mHeaderNeeded = true;
  event = DemoEvent{};
  event.mouse = mMouseEvent;
  event.command = mCommand;
  if (mMouseEvent)
    ReadMouseEvent(event);
  else
    ReadOtherEvent(event);
  event.x = mMouseX;
  event.y = mMouseY;
  return true;
}

void DemoStream::ReadMouseEvent(DemoEvent& event) {
  if (mCommand == kDemoMouseMove) {
    mMouseX = ClampCoord(mMouseX + static_cast<int32_t>(mBuffer.ReadBits(kStepBits, true)));
    mMouseY = ClampCoord(mMouseY + static_cast<int32_t>(mBuffer.ReadBits(kStepBits, true)));
  } else {
    event.flag = mBuffer.ReadBits(1) != 0;
    event.button = static_cast<int32_t>(mBuffer.ReadBits(3, true));
  }
}

void DemoStream::ReadOtherEvent(DemoEvent& event) {
  switch (mCommand) {
    case kDemoMouseMove:
      mMouseX = static_cast<int32_t>(mBuffer.ReadBits(kCoordBits, true));
      mMouseY = static_cast<int32_t>(mBuffer.ReadBits(kCoordBits, true));
      break;
    case kDemoActivate:
      event.flag = mBuffer.ReadBits(1) != 0;
      break;
    case kDemoMinimised:
      event.flag = mBuffer.ReadBool();
      break;
    case kDemoKeyDown:
    case kDemoKeyUp:
      event.value = static_cast<int>(mBuffer.ReadBits(8));
      break;
    case kDemoChar:
      event.value = static_cast<int>(mBuffer.ReadBits(mBuffer.ReadBits(1) ? 16 : 8));
      break;
    case kDemoWheel:
      event.value = static_cast<int32_t>(mBuffer.ReadBits(8, true));
      break;
    case kDemoDisplaySettings:
      event.flag = mBuffer.ReadBool();
      event.value = mBuffer.ReadByte();
      break;
    default:
      break;
  }
  if (mCommand == kDemoClose) mClosing = true;
}

void DemoStream::ReadDisplaySettings(bool& windowed, uint8_t& refreshRate) {
  ReadEventHeader();
  mHeaderNeeded = true;
  windowed = mBuffer.ReadBool();
  refreshRate = mBuffer.ReadByte();
}

bool DemoStream::ReadLength(uint32_t& length) {
  length = mBuffer.ReadU32();
  return length <= static_cast<uint32_t>(mBuffer.BitsLeft() / 8);
}

void DemoStream::ExchangeBuffer(Buffer& data) {
  if (mRecording) {
    WriteEventHeader(false, kDemoBufferExchange);
    mBuffer.WriteU32(static_cast<uint32_t>(data.ByteLength()));
    mBuffer.WriteBytes(data.Data(), data.ByteLength());
  } else if (mPlaying && !mClosing) {
    ReadEventHeader();
    mHeaderNeeded = true;
    uint32_t length = 0;
    data.Clear();
    if (!ReadLength(length)) return;
    for (uint32_t i = 0; i < length; ++i) data.WriteByte(mBuffer.ReadByte());
  }
}

void DemoStream::ExchangeBool(bool& value) {
  Buffer data;
  data.WriteBool(value);
  ExchangeBuffer(data);
  value = data.ReadBool();
}

void DemoStream::ExchangeString(std::string& value) {
  Buffer data;
  data.WriteString(value);
  ExchangeBuffer(data);
  value = data.ReadString();
}

bool DemoStream::PlayFileRead(Buffer& data) {
  if (mClosing) return false;
  ReadEventHeader();
  mHeaderNeeded = true;
  if (!mBuffer.ReadBits(1)) return false;
  uint32_t length = 0;
  if (!ReadLength(length)) return false;
  data.Clear();
  for (uint32_t i = 0; i < length; ++i) data.WriteByte(mBuffer.ReadByte());
  return true;
}

void DemoStream::RecordFileRead(bool ok, const Buffer& data) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoFileRead);
  mBuffer.WriteBits(ok ? 1 : 0, 1);
  if (!ok) return;
  mBuffer.WriteU32(static_cast<uint32_t>(data.ByteLength()));
  mBuffer.WriteBytes(data.Data(), data.ByteLength());
}

bool DemoStream::PlayRegistryRead(DWORD* type, BYTE* data, DWORD* size) {
  if (mClosing) return false;
  ReadEventHeader();
  mHeaderNeeded = true;
  if (!mBuffer.ReadBits(1)) return false;
  DWORD recordedType = mBuffer.ReadU32();
  uint32_t length = 0;
  if (!ReadLength(length)) return false;
  DWORD capacity = data && size ? *size : 0;
  for (uint32_t i = 0; i < length; ++i) {
    uint8_t byte = mBuffer.ReadByte();
    if (i < capacity) data[i] = byte;
  }
  if (type) *type = recordedType;
  if (size) *size = data ? std::min<DWORD>(length, capacity) : length;
  return true;
}

void DemoStream::RecordRegistryRead(bool ok, DWORD type, const BYTE* data, DWORD size) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoRegistryRead);
  mBuffer.WriteBits(ok ? 1 : 0, 1);
  if (!ok) return;
  mBuffer.WriteU32(type);
  if (!data) size = 0;
  mBuffer.WriteU32(size);
  mBuffer.WriteBytes(data, static_cast<int>(size));
}

bool DemoStream::PlayRegistryWrite() {
  if (mClosing) return true;
  ReadEventHeader();
  mHeaderNeeded = true;
  return mBuffer.ReadBits(1) != 0;
}

void DemoStream::RecordRegistryWrite(bool ok) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoRegistryWrite);
  mBuffer.WriteBits(ok ? 1 : 0, 1);
}

bool DemoStream::PlayHttpResult(int32_t transferId, int& result, std::string& content) {
  if (!mPlaying || AtStreamEnd()) return false;
  if (!ReadEventHeader() || mMouseEvent || mCommand != kDemoHttpResult) return false;
  int32_t idPos = mBuffer.ReadBitPos();
  if (static_cast<int32_t>(mBuffer.ReadU32()) != transferId) {
    mBuffer.SetReadBitPos(idPos);
    return false;
  }
  result = mBuffer.ReadByte();
  content = mBuffer.ReadString();
  mHeaderNeeded = true;
  return true;
}

void DemoStream::RecordHttpResult(int32_t transferId, int result, const std::string& content) {
  if (!mRecording) return;
  WriteEventHeader(false, kDemoHttpResult);
  mBuffer.WriteU32(static_cast<uint32_t>(transferId));
  mBuffer.WriteByte(static_cast<uint8_t>(result));
  mBuffer.WriteString(result == 2 ? std::string() : content);
}

void DemoStream::StartPlayback() {
  mBuffer.RewindRead();
  mLastEventUpdate = 0;
  mHeaderNeeded = true;
  mEventCount = -1;
  mMouseX = 0;
  mMouseY = 0;
}

}  // namespace Velk
