#pragma once
// The demo: every non-deterministic input and outside result of a run as one bit stream. While
// recording, events are appended, each stamped with the update counter; while playing, they are read
// back at the same update numbers and the outside world is not consulted.
//
// Event header: gap (4 bits) since the last event's update, kind (1 bit, 1 = mouse), command (1 bit
// for mouse events, else 5). Gaps above 15 are chained through filler events.
#include "common/Buffer.h"
#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string>

namespace Velk {

enum DemoCommand {
  kDemoMouseMove = 0,    // mouse kind: relative move; other kind: absolute move
  kDemoMouseButton = 1,  // mouse kind
  kDemoActivate = 1,
  kDemoMinimised = 2,
  kDemoKeyDown = 3,
  kDemoKeyUp = 4,
  kDemoChar = 5,
  kDemoClose = 6,
  kDemoMouseEnter = 7,
  kDemoMouseLeave = 8,
  kDemoLoadingFinished = 9,
  kDemoRegistryRead = 11,
  kDemoRegistryWrite = 12,
  kDemoFileRead = 15,
  kDemoHttpResult = 17,
  kDemoBufferExchange = 18,
  kDemoWheel = 21,
  kDemoDisplaySettings = 23,
  kDemoFiller = 31,
};

// One input event read back for the injector. The mouse position is the player's after the event.
struct DemoEvent {
  bool mouse = false;
  int command = 0;
  int x = 0;
  int y = 0;
  int button = 0;     // 1 left, 2 left double, -1 right, -2 right double, 3 middle
  bool flag = false;  // button down, activation, minimised, windowed
  int value = 0;      // key, character, wheel steps, refresh rate
};

class DemoStream {
 public:
  // Positions are kept in this range, live and played back alike, so both sides agree.
  static constexpr int kMinCoord = -2048;
  static constexpr int kMaxCoord = 2047;

  bool mRecording = false;
  bool mPlaying = false;
  bool mClosing = false;  // a close was played: exchanges no longer read the stream
  Buffer mBuffer;

  // The update counter every event is stamped with; the owner points this at its own.
  void AttachCounter(const DWORD* counter) { mCounter = counter; }
  DWORD Counter() const { return *mCounter; }
  DWORD LastEventUpdate() const { return mLastEventUpdate; }
  int EventCount() const { return mEventCount; }
  int PlaybackX() const { return mMouseX; }
  int PlaybackY() const { return mMouseY; }

  static int ClampCoord(int value);

  // Recording. Each writes nothing unless recording.
  void WriteEventHeader(bool mouse, int command);
  // Records a move to (x, y) unless it is the last recorded position; relative when both steps
  // fit 6 signed bits.
  void RecordMousePosition(int x, int y);
  void RecordMouseButton(int button, bool down);
  void RecordEvent(int command);                           // no payload
  void RecordBits(int command, uint32_t value, int bits);  // activation, keys, wheel
  void RecordChar(uint16_t character);
  void RecordMinimised(bool minimised);
  void RecordDisplaySettings(bool windowed, uint8_t refreshRate);

  // Playback. True when the pending event's header is due at the current update.
  bool ReadEventHeader();
  // Reads the next due input event. False when none is due, the stream is at its end, or the due
  // event is an exchange that only its own operation may consume.
  bool NextInputEvent(DemoEvent& event);
  // The first event of a playback: the display settings the recording started with.
  void ReadDisplaySettings(bool& windowed, uint8_t& refreshRate);

  // Exchanges: recording writes the live value, playing replaces it with the recorded one.
  void ExchangeBuffer(Buffer& data);
  void ExchangeBool(bool& value);
  void ExchangeString(std::string& value);

  // File reads: the recorded outcome; a recorded length beyond the stream's end fails.
  bool PlayFileRead(Buffer& data);
  void RecordFileRead(bool ok, const Buffer& data);

  // Registry values. The recorded bytes are copied up to the caller's capacity (*size on entry);
  // the rest is skipped so that the stream stays in step.
  bool PlayRegistryRead(DWORD* type, BYTE* data, DWORD* size);
  void RecordRegistryRead(bool ok, DWORD type, const BYTE* data, DWORD size);
  bool PlayRegistryWrite();
  void RecordRegistryWrite(bool ok);

  // HTTP results. Play returns false, leaving the event pending, when the due event is not this
  // transfer's result.
  bool PlayHttpResult(int32_t transferId, int& result, std::string& content);
  void RecordHttpResult(int32_t transferId, int result, const std::string& content);

  // Makes the stream ready for playback of loaded event bytes.
  void StartPlayback();
  // No event is left: only the padding of the last byte may remain.
  bool AtStreamEnd() const;

 private:
  bool ReadLength(uint32_t& length);
  void ReadMouseEvent(DemoEvent& event);
  void ReadOtherEvent(DemoEvent& event);

  DWORD mNoCounter = 0;
  const DWORD* mCounter = &mNoCounter;
  DWORD mLastEventUpdate = 0;
  bool mHeaderNeeded = true;
  bool mMouseEvent = false;
  int mCommand = 0;
  int mEventCount = -1;
  int32_t mHeaderReadPos = 0;
  int mMouseX = 0;
  int mMouseY = 0;
};

}  // namespace Velk
