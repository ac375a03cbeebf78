#include "app/HTTPResponseReader.h"

#include "common/Parse.h"
#include "common/StringUtil.h"

#include <algorithm>
#include <cstdlib>

namespace Velk {

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Only a coding list naming "chunked" frames the body in chunks; gzip and the like do not.
bool NamesChunked(const std::string& codings) {
  size_t start = 0;
  while (start <= codings.size()) {
    size_t comma = codings.find(',', start);
    if (comma == std::string::npos) comma = codings.size();
    if (ToUpper(TrimSpace(codings.substr(start, comma - start))) == "CHUNKED") return true;
    start = comma + 1;
  }
  return false;
}

// A chunk-size line: hexadecimal, an "0x" prefix tolerated, extensions after ';' ignored.
bool ParseChunkSize(std::string line, size_t& size) {
  line = TrimSpace(line.substr(0, line.find(';')));
  if (line.size() > 2 && line[0] == '0' && (line[1] == 'x' || line[1] == 'X')) line.erase(0, 2);
  uint32_t value = 0;
  if (line.empty() || !ParseHex(line, value)) return false;
  size = value;
  return true;
}

}  // namespace

HTTPResponseReader::State HTTPResponseReader::Feed(const char* data, int length) {
  mReceived.append(data, static_cast<size_t>(length));
  State state = kNeedMore;
  for (;;) {
    bool progressed = mInHeaders ? StepHeaders(state) : mChunked ? StepChunkedBody(state) : StepPlainBody(state);
    if (state != kNeedMore || !progressed) break;
  }
  mReceived.erase(0, mReadPos);
  mReadPos = 0;
  return state;
}

bool HTTPResponseReader::ReadLine(std::string& line) {
  size_t end = mReceived.find("\r\n", mReadPos);
  if (end == std::string::npos) return false;
  line = mReceived.substr(mReadPos, end - mReadPos);
  mReadPos = end + 2;
  return true;
}

bool HTTPResponseReader::StepHeaders(State& state) {
  std::string line;
  if (!ReadLine(line)) return false;
  if (line.empty()) {
    mInHeaders = false;
    return true;
  }
  ReadHeader(line);
  if (mStatusResult != 0) state = kBadStatus;
  return true;
}

void HTTPResponseReader::ReadHeader(const std::string& line) {
  if (StartsWith(line, "HTTP/1.")) {
    std::string status = line.size() > 9 ? line.substr(9, 3) : std::string();
    if (status == "404")
      mStatusResult = 3;
    else if (status != "200")
      mStatusResult = 4;
  } else if (StartsWith(line, "Transfer-Encoding: ")) {
    if (NamesChunked(line.substr(19))) mChunked = true;
  } else if (StartsWith(line, "Content-Length: ")) {
    mContentLength = std::max(0, std::atoi(line.c_str() + 16));
    mRemaining = mContentLength;
  }
}

void HTTPResponseReader::TakeBody(size_t count) {
  mContent.append(mReceived, mReadPos, count);
  mReadPos += count;
}

bool HTTPResponseReader::StepPlainBody(State& state) {
  size_t available = mReceived.size() - mReadPos;
  if (mContentLength <= 0) {
    // Without a length the body runs until the connection closes.
    TakeBody(available);
    return false;
  }
  size_t count = std::min(available, static_cast<size_t>(mRemaining));
  TakeBody(count);
  mRemaining -= static_cast<int>(count);
  if (mRemaining == 0) state = kComplete;
  return false;
}

bool HTTPResponseReader::StepChunkedBody(State& state) {
  if (mChunkTrailerPending) {
    if (mReceived.size() - mReadPos < 2) return false;
    mReadPos += 2;
    mChunkTrailerPending = false;
    return true;
  }
  if (mChunkRemaining == 0) {
    std::string line;
    if (!ReadLine(line)) return false;
    if (!ParseChunkSize(line, mChunkRemaining) || mChunkRemaining == 0) {
      state = kComplete;
      return false;
    }
    return true;
  }
  size_t count = std::min(mReceived.size() - mReadPos, mChunkRemaining);
  if (count == 0) return false;
  TakeBody(count);
  mChunkRemaining -= count;
  mChunkTrailerPending = mChunkRemaining == 0;
  return true;
}

}  // namespace Velk
