#include "app/HTTPTransfer.h"

#include "app/DemoStream.h"
#include "app/HTTPResponseReader.h"
#include "platform/clock/Clock.h"
#include "platform/sockets/Sockets.h"

#include <cstdlib>

namespace Velk {

namespace {

constexpr int kWaitMs = 100;
constexpr DWORD kPollMs = 20;
constexpr int kReceiveChunk = 256;

std::atomic<int32_t> gNextTransferId{1};

int32_t NewTransferId() { return gNextTransferId.fetch_add(1); }

}  // namespace

HTTPTransfer::HTTPTransfer() : mTransferId(NewTransferId()) {}

HTTPTransfer::~HTTPTransfer() {
  Abort();
  if (mWorker.joinable()) mWorker.join();
}

void HTTPTransfer::SendRequest(const std::string& url, const std::string& request) {
  PrepareTransfer(url);
  mRequest = request;
  StartTransfer();
}

int HTTPTransfer::GetResult() {
  UpdateDemoStatus();
  return mResult.load(std::memory_order_acquire);
}

void HTTPTransfer::Abort() {
  mAborted = true;
  mExit = true;
}

void HTTPTransfer::Reset() {
  Abort();
  WaitFinished();
  if (mWorker.joinable()) mWorker.join();
  mTransferId = NewTransferId();
  mResult = kIdle;
  mLastRecordedResult = kIdle;
  mContent.clear();
  mExit = false;
  mAborted = false;
  mUrl.clear();
  mRequest.clear();
  mPath.clear();
}

void HTTPTransfer::WaitFinished() {
  while (mBusy) {
    UpdateDemoStatus();
    // A playing demo only advances between updates, so nothing more can arrive while waiting here.
    if (mDemo && mDemo->mPlaying) {
      mBusy = false;
      break;
    }
    Sleep(kPollMs);
  }
}

void HTTPTransfer::PrepareTransfer(const std::string& url) {
  Reset();
  mTransferId = NewTransferId();
  mUrl = url;
  mExit = false;
  mAborted = false;
  mResult = kInProgress;
  mContent.clear();
  mPort = 80;
  mProtocol.clear();
  size_t hostStart = 0;
  size_t slashes = url.find("//");
  if (slashes != std::string::npos) {
    mProtocol = url.substr(0, slashes > 0 ? slashes - 1 : 0);
    hostStart = slashes + 2;
  }
  size_t pathStart = url.find('/', hostStart);
  if (pathStart == std::string::npos) {
    mHost = url.substr(hostStart);
    mPath.assign(1, '/');
  } else {
    mHost = url.substr(hostStart, pathStart - hostStart);
    mPath = url.substr(pathStart);
  }
  size_t colon = mHost.find(':');
  if (colon != std::string::npos) {
    mPort = std::atoi(mHost.c_str() + colon + 1);
    mHost.erase(colon);
  }
}

void HTTPTransfer::StartTransfer() {
  mBusy = true;
  if (mDemo && mDemo->mPlaying) return;  // the outcome comes from the recording
  if (mWorker.joinable()) mWorker.join();
  mRunning = true;
  mWorker = std::thread(&HTTPTransfer::Worker, this);
}

void HTTPTransfer::UpdateDemoStatus() {
  if (!mDemo) return;
  if (mDemo->mPlaying) {
    int result = 0;
    std::string content;
    if (!mDemo->PlayHttpResult(mTransferId, result, content)) return;
    mContent = content;
    mResult.store(result, std::memory_order_release);
    mLastRecordedResult = result;
    if (result != kInProgress) mBusy = false;
  } else if (mDemo->mRecording) {
    int result = mResult.load(std::memory_order_acquire);
    if (result == mLastRecordedResult) return;
    mDemo->RecordHttpResult(mTransferId, result, mContent);
    mLastRecordedResult = result;
  }
}

void HTTPTransfer::Fail(int code) {
  mResult.store(code, std::memory_order_release);
  mExit = true;
}

bool HTTPTransfer::WaitForSocket(intptr_t socket, bool readable, bool writable) {
  while (!mExit) {
    int ready = WaitSocket(socket, readable, writable, kWaitMs);
    if (ready & kSocketFailed) {
      Fail(kSocketError);
      return false;
    }
    if (ready != 0) return true;
  }
  return true;
}

bool HTTPTransfer::Connect(intptr_t socket) {
  uint32_t address = 0;
  if (!ResolveHostAddress(mHost, address)) {
    Fail(kResolveFailed);
    return false;
  }
  int connected = ConnectSocket(socket, address, mPort);
  if (connected == SOCKET_ERROR) {
    Fail(kConnectFailed);
    return false;
  }
  if (connected == WSAEWOULDBLOCK && !WaitForSocket(socket, false, true)) {
    mResult.store(kConnectFailed, std::memory_order_release);
    return false;
  }
  return true;
}

void HTTPTransfer::SendAll(intptr_t socket) {
  while (!mRequest.empty() && !mExit) {
    if (!WaitForSocket(socket, false, true) || mExit) return;
    int sent = SendSocket(socket, mRequest.data(), static_cast<int>(mRequest.size()));
    if (sent < 0) {
      Fail(kSendFailed);
      return;
    }
    mRequest.erase(0, static_cast<size_t>(sent));
  }
}

void HTTPTransfer::Receive(intptr_t socket) {
  HTTPResponseReader reader;
  char chunk[kReceiveChunk];
  HTTPResponseReader::State state = HTTPResponseReader::kNeedMore;
  while (!mExit && state == HTTPResponseReader::kNeedMore) {
    if (!WaitForSocket(socket, true, false) || mExit) break;
    int got = ReceiveSocket(socket, chunk, kReceiveChunk);
    if (got < 1) break;
    state = reader.Feed(chunk, got);
  }
  // The content is complete before a final result makes it visible.
  mContent = reader.TakeContent();
  if (state == HTTPResponseReader::kBadStatus) Fail(reader.StatusResult());
}

void HTTPTransfer::Worker() {
  intptr_t socket = OpenTcpSocket();
  if (socket == INVALID_SOCKET) {
    Fail(kSocketError);
  } else if (!mExit && Connect(socket)) {
    SendAll(socket);
    if (!mExit) Receive(socket);
  }
  CloseSocket(socket);
  if (mAborted)
    mResult.store(kAborted, std::memory_order_release);
  else if (mResult.load() == kInProgress)
    mResult.store(kCompleted, std::memory_order_release);
  mRunning = false;
  mBusy = false;
}

}  // namespace Velk
