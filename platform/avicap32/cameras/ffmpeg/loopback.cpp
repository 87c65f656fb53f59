// The loopback connection of an ffmpeg camera (see loopback.h).
#include "cameras/ffmpeg/loopback.h"

#include <ws2tcpip.h>

namespace {

enum { kSliceMs = 100 };

bool StartWinsock() {
  static bool started = false;
  if (started) return true;
  WSADATA data;
  started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  return started;
}

}  // namespace

bool LoopbackListener::Open() {
  if (!StartWinsock()) return false;
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;  // the system picks a free port
  int len = sizeof addr;
  if (bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener_, 1) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    Close();
    return false;
  }
  port_ = ntohs(addr.sin_port);
  return true;
}

SOCKET LoopbackListener::AcceptOne(DWORD timeoutMs, const std::function<bool()>& goOn) {
  SOCKET accepted = INVALID_SOCKET;
  DWORD start = GetTickCount();
  while (listener_ != INVALID_SOCKET && GetTickCount() - start < timeoutMs) {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(listener_, &ready);
    timeval slice = {0, kSliceMs * 1000};
    int n = select(0, &ready, nullptr, nullptr, &slice);
    if (n < 0) break;
    if (n == 0) {
      if (goOn && !goOn()) break;
      continue;
    }
    sockaddr_in peer{};
    int len = sizeof peer;
    accepted = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &len);
    if (accepted != INVALID_SOCKET && (peer.sin_family != AF_INET || peer.sin_addr.s_addr != htonl(INADDR_LOOPBACK))) {
      closesocket(accepted);
      accepted = INVALID_SOCKET;
    }
    break;
  }
  Close();  // only one connection, ever
  return accepted;
}

void LoopbackListener::Close() {
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  listener_ = INVALID_SOCKET;
}

Received ReceiveWithin(SOCKET s, uint8_t* buf, size_t size, DWORD withinMs) {
  DWORD start = GetTickCount();
  size_t done = 0;
  while (done < size) {
    DWORD spent = GetTickCount() - start;
    if (spent >= withinMs) return Received::Late;
    DWORD left = withinMs - spent;
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(s, &ready);
    timeval wait = {static_cast<long>(left / 1000), static_cast<long>(left % 1000 * 1000)};
    int n = select(0, &ready, nullptr, nullptr, &wait);
    if (n < 0) return Received::Ended;
    if (n == 0) return Received::Late;
    size_t want = size - done;
    int chunk = want > (1u << 20) ? (1 << 20) : static_cast<int>(want);
    int got = recv(s, reinterpret_cast<char*>(buf + done), chunk, 0);
    if (got <= 0) return Received::Ended;
    done += static_cast<size_t>(got);
  }
  return Received::Whole;
}
