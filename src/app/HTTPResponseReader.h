#pragma once
// Decodes an HTTP response as its bytes arrive: the status line and the headers, then a body that
// is chunked, bounded by its Content-Length, or runs until the connection closes.
#include <string>

namespace Velk {

class HTTPResponseReader {
 public:
  enum State { kNeedMore, kComplete, kBadStatus };

  // Appends received bytes and decodes as far as they go.
  State Feed(const char* data, int length);
  // The transfer result a bad status gives: 3 for "404", 4 for any other status but "200".
  int StatusResult() const { return mStatusResult; }
  const std::string& Content() const { return mContent; }
  std::string TakeContent() { return std::move(mContent); }

 private:
  // Each returns true when it consumed something and decoding may go on.
  bool ReadLine(std::string& line);
  bool StepHeaders(State& state);
  bool StepPlainBody(State& state);
  bool StepChunkedBody(State& state);
  void ReadHeader(const std::string& line);
  void TakeBody(size_t count);

  std::string mReceived;
  size_t mReadPos = 0;
  bool mInHeaders = true;
  bool mChunked = false;
  int mContentLength = 0;
  int mRemaining = 0;
  size_t mChunkRemaining = 0;
  bool mChunkTrailerPending = false;
  int mStatusResult = 0;
  std::string mContent;
};

}  // namespace Velk
