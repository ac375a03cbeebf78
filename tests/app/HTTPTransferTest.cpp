#include "app/DemoStream.h"
#include "app/HTTPResponseReader.h"
#include "app/HTTPTransfer.h"
#include "platform/clock/Clock.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using Velk::HTTPTransfer;

// A one-connection server on 127.0.0.1 that answers the request with a fixed reply and then either
// closes or holds the connection until the test ends.
class LoopbackServer {
 public:
  LoopbackServer(std::string reply, bool holdOpen) : mReply(std::move(reply)), mHoldOpen(holdOpen) {
    mListener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(mListener, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(mListener, 1);
    ::getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &size);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    mStop = true;
    ::shutdown(mListener, SHUT_RDWR);
    mThread.join();
    ::close(mListener);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(mPort) + path; }
  std::string Request() const { return mRequest; }
  // Whether the line to the client has been let go.
  bool LetGo() const { return mLetGo; }

 private:
  void Serve() {
    int client = ::accept(mListener, nullptr, nullptr);
    if (client < 0) return;
    char chunk[512];
    while (mRequest.find("\r\n\r\n") == std::string::npos) {
      ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      mRequest.append(chunk, static_cast<size_t>(got));
    }
    if (!mReply.empty()) ::send(client, mReply.data(), mReply.size(), MSG_NOSIGNAL);
    for (int i = 0; mHoldOpen && !mStop && i < 500; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::close(client);
    mLetGo = true;
  }
  std::string mReply;
  bool mHoldOpen;
  int mListener = -1;
  int mPort = 0;
  std::string mRequest;
  std::atomic<bool> mStop{false};
  std::atomic<bool> mLetGo{false};
  std::thread mThread;
};

int RunToEnd(HTTPTransfer& transfer) {
  for (int i = 0; i < 250 && transfer.GetResult() == HTTPTransfer::kInProgress; ++i) Sleep(20);
  return transfer.GetResult();
}

const std::string kGet = "GET /x HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

TEST(HTTPTransferTest, SplitsTheUrl) {
  HTTPTransfer transfer;
  transfer.PrepareTransfer("http://example.org:8080/x");
  EXPECT_EQ(transfer.GetProtocol(), "http");
  EXPECT_EQ(transfer.GetHost(), "example.org");
  EXPECT_EQ(transfer.GetPort(), 8080);
  EXPECT_EQ(transfer.GetPath(), "/x");
  transfer.PrepareTransfer("example.org");
  EXPECT_EQ(transfer.GetHost(), "example.org");
  EXPECT_EQ(transfer.GetPort(), 80);
  EXPECT_EQ(transfer.GetPath(), "/");
}

TEST(HTTPTransferTest, BodiesByLengthChunksAndClose) {
  struct Case {
    std::string reply;
    bool holdOpen;
    std::string body;
  } cases[] = {
      // The length bounds the body even though the connection stays open.
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloEXTRA", true, "hello"},
      // The "0" chunk ends the body with the connection still open.
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nWiki\r\n0x5\r\npedia\r\n0\r\n\r\n", true,
       "Wikipedia"},
      // A length of 0 reads until the server closes.
      {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\nuntil close", false, "until close"},
  };
  for (const Case& c : cases) {
    LoopbackServer server(c.reply, c.holdOpen);
    HTTPTransfer transfer;
    transfer.SendRequest(server.Url("/x"), kGet);
    EXPECT_EQ(RunToEnd(transfer), HTTPTransfer::kCompleted) << c.reply;
    EXPECT_EQ(transfer.GetContent(), c.body);
    transfer.WaitFinished();
    EXPECT_EQ(server.Request(), kGet);
  }
}

TEST(HTTPTransferTest, StatusAndConnectionFailures) {
  {
    LoopbackServer server("HTTP/1.1 404 Not Found\r\n\r\n", false);
    HTTPTransfer transfer;
    transfer.SendRequest(server.Url("/"), kGet);
    EXPECT_EQ(RunToEnd(transfer), HTTPTransfer::kNotFound);
  }
  {
    LoopbackServer server("HTTP/1.1 500 Oops\r\n\r\n", false);
    HTTPTransfer transfer;
    transfer.SendRequest(server.Url("/"), kGet);
    EXPECT_EQ(RunToEnd(transfer), HTTPTransfer::kBadStatus);
  }
  std::string closedUrl;
  {
    LoopbackServer server("", false);
    closedUrl = server.Url("/");
    HTTPTransfer drain;  // let the server's accept finish before it goes
    drain.SendRequest(closedUrl, kGet);
    RunToEnd(drain);
  }
  HTTPTransfer refused;
  refused.SendRequest(closedUrl, kGet);
  EXPECT_EQ(RunToEnd(refused), HTTPTransfer::kConnectFailed);
  HTTPTransfer noHost;
  noHost.SendRequest("http:///x", kGet);
  EXPECT_EQ(RunToEnd(noHost), HTTPTransfer::kResolveFailed);
}

TEST(HTTPTransferTest, AbortEndsAWaitingWorkerQuickly) {
  LoopbackServer server("", true);  // accepts, never answers
  HTTPTransfer transfer;
  transfer.SendRequest(server.Url("/"), kGet);
  Sleep(50);
  EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kInProgress);
  transfer.Abort();
  transfer.WaitFinished();
  EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kAborted);
  // Ended by the abort, not by the server letting the line go five seconds on.
  EXPECT_FALSE(server.LetGo());
}

TEST(HTTPTransferTest, PlaybackTakesTheRecordedOutcomeAndNeverHangs) {
  Velk::DemoStream player;
  player.mPlaying = true;
  HTTPTransfer transfer;
  transfer.SetDemoStream(&player);
  transfer.SendRequest("http://127.0.0.1:9/", kGet);  // no worker while playing
  Velk::DemoStream recorder;
  recorder.mRecording = true;
  recorder.RecordHttpResult(transfer.GetTransferId(), HTTPTransfer::kNotFound, "missing");
  player.mBuffer.WriteBytes(recorder.mBuffer.Data(), recorder.mBuffer.ByteLength());
  player.StartPlayback();
  EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kNotFound);
  EXPECT_EQ(transfer.GetContent(), "missing");
  transfer.WaitFinished();
  // A request whose result was never recorded: waiting and resetting still return.
  transfer.SendRequest("http://127.0.0.1:9/", kGet);
  transfer.WaitFinished();
  transfer.Reset();
  EXPECT_EQ(transfer.GetResult(), HTTPTransfer::kIdle);
}

TEST(HTTPResponseReaderTest, OnlyAChunkedCodingIsDecodedAsChunks) {
  const std::string body = "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\nContent-Length: 3\r\n\r\nabc";
  Velk::HTTPResponseReader plain;
  EXPECT_EQ(plain.Feed(body.data(), static_cast<int>(body.size())), Velk::HTTPResponseReader::kComplete);
  EXPECT_EQ(plain.Content(), "abc");
  // Fed one byte at a time, a chunked body split anywhere decodes the same.
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n3\r\nabc\r\n2\r\nde\r\n0\r\n";
  Velk::HTTPResponseReader bytewise;
  Velk::HTTPResponseReader::State state = Velk::HTTPResponseReader::kNeedMore;
  for (char c : chunked) state = bytewise.Feed(&c, 1);
  EXPECT_EQ(state, Velk::HTTPResponseReader::kComplete);
  EXPECT_EQ(bytewise.Content(), "abcde");
}

// The fuzzer's seeds (a byte choosing the split, then a reply): fed a byte at a time, each reply
// decodes as it does in one piece.
TEST(HTTPResponseReaderTest, ReplayKeptFuzzInputs) {
  for (const auto& entry : std::filesystem::directory_iterator(TEST_DATA_DIR "/app/httpfuzz")) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string reply = std::string(std::istreambuf_iterator<char>(in), {}).substr(1);
    Velk::HTTPResponseReader whole;
    const Velk::HTTPResponseReader::State wholeState = whole.Feed(reply.data(), static_cast<int>(reply.size()));
    Velk::HTTPResponseReader bytewise;
    Velk::HTTPResponseReader::State state = Velk::HTTPResponseReader::kNeedMore;
    for (size_t i = 0; i < reply.size() && state == Velk::HTTPResponseReader::kNeedMore; ++i) {
      state = bytewise.Feed(&reply[i], 1);
    }
    EXPECT_EQ(state, wholeState) << entry.path();
    EXPECT_EQ(bytewise.Content(), whole.Content()) << entry.path();
    EXPECT_EQ(bytewise.StatusResult(), whole.StatusResult()) << entry.path();
  }
}

}  // namespace
