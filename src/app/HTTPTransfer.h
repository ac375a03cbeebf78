#pragma once
// One ready-made HTTP request sent on a worker thread; the owner polls a small result code. Results
// and bodies go into a recording demo and, while a demo plays, come from it instead of the network.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace Velk {

class DemoStream;

class HTTPTransfer {
 public:
  enum Result {
    kCompleted = 0,
    kIdle = 1,
    kInProgress = 2,
    kNotFound = 3,
    kBadStatus = 4,
    kAborted = 5,
    kSocketError = 6,
    kResolveFailed = 7,
    kConnectFailed = 8,
    kSendFailed = 9,
  };

  HTTPTransfer();
  virtual ~HTTPTransfer();
  HTTPTransfer(const HTTPTransfer&) = delete;
  HTTPTransfer& operator=(const HTTPTransfer&) = delete;

  // The demo the results are recorded into or played from; null for none.
  void SetDemoStream(DemoStream* demo) { mDemo = demo; }

  void SendRequest(const std::string& url, const std::string& request);
  int GetResult();
  void Abort();
  void Reset();
  void WaitFinished();

  // Valid once the result has left kInProgress.
  const std::string& GetContent() const { return mContent; }
  int32_t GetTransferId() const { return mTransferId; }
  const std::string& GetHost() const { return mHost; }
  int GetPort() const { return mPort; }
  const std::string& GetPath() const { return mPath; }
  const std::string& GetProtocol() const { return mProtocol; }

  // Splits [proto://]host[:port][/path] into the fields above without sending anything.
  void PrepareTransfer(const std::string& url);

 private:
  void StartTransfer();
  void UpdateDemoStatus();
  void Worker();
  bool Connect(intptr_t socket);
  void SendAll(intptr_t socket);
  void Receive(intptr_t socket);
  bool WaitForSocket(intptr_t socket, bool readable, bool writable);
  void Fail(int code);

  int32_t mTransferId;
  std::string mRequest;
  std::string mUrl;
  std::string mProtocol;
  std::string mHost;
  int mPort = 80;
  std::string mPath;
  std::string mContent;
  std::atomic<bool> mBusy{false};
  std::atomic<bool> mRunning{false};
  std::atomic<bool> mExit{false};
  std::atomic<bool> mAborted{false};
  std::atomic<int> mResult{kIdle};
  int mLastRecordedResult = kIdle;
  DemoStream* mDemo = nullptr;
  std::thread mWorker;
};

}  // namespace Velk
