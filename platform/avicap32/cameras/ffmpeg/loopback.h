// The loopback connection that carries ffmpeg's frames: a listener on
// 127.0.0.1 at a port the system picks, exactly one connection accepted
// (only from the loopback address, only within the start-up time) after
// which the listener is closed at once, and frames received whole within a
// time limit, so that neither a stalled ffmpeg nor one that trickles a byte
// at a time can hold a receive for long.
#ifndef MORVA_AVICAP32_FFMPEG_LOOPBACK_H
#define MORVA_AVICAP32_FFMPEG_LOOPBACK_H

#include <winsock2.h>

#include <cstddef>
#include <cstdint>
#include <functional>

class LoopbackListener {
 public:
  LoopbackListener() = default;
  ~LoopbackListener() { Close(); }
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  bool Open();
  int Port() const { return port_; }
  // Waits up to `timeoutMs` for the one connection, asking `goOn` every
  // tenth of a second whether waiting still makes sense; closes the
  // listener either way. INVALID_SOCKET when none came.
  SOCKET AcceptOne(DWORD timeoutMs, const std::function<bool()>& goOn);
  void Close();

 private:
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
};

enum class Received { Whole, Ended, Late };
// Receives exactly `size` bytes, all of them within `withinMs`: Late when
// they did not all come in time, Ended when the connection ended or failed.
Received ReceiveWithin(SOCKET s, uint8_t* buf, size_t size, DWORD withinMs);

#endif
