// The window's thread waiting for the recording's worker (see the rule in
// recording_state.h): until its thread ends, or until it is out of the
// caller's procedure it is in. The requests sent to the window's thread are
// answered meanwhile, so a procedure that sends one does not wait for ever;
// posted messages stay queued for the caller's own message loop.
#include "recording/recording_state.h"

namespace {

// Until `h` is signalled, answering sent messages only; false when the wait
// fails (then nothing is waited for).
bool WaitAnswering(HANDLE h) {
  HANDLE dup = nullptr;  // a request answered here may close the original
  HANDLE self = GetCurrentProcess();
  if (!DuplicateHandle(self, h, self, &dup, 0, FALSE, DUPLICATE_SAME_ACCESS)) return false;
  bool ok = false;
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &dup, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) {
      ok = true;
      break;
    }
    if (r != WAIT_OBJECT_0 + 1) break;
    MSG m;  // delivers the sent messages; removes nothing from the queue
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(dup);
  return ok;
}

}  // namespace

bool InRequestFromProcedure(const RecordingState* rec) { return rec->workerInCallout && InSendMessage(); }

bool WaitForWorkerEnd(RecordingState* rec) {
  if (!rec->worker) return true;
  {
    CalloutLock lock(rec);
    if (InRequestFromProcedure(rec)) return false;
  }
  return WaitAnswering(rec->worker);
}

// The worker counts every call it comes back from and sets the event after
// counting; the event is reset here, under the lock, only after the count
// was seen unchanged, so no return is missed.
bool WaitOutOfCallout(RecordingState* rec) {
  unsigned seen;
  {
    CalloutLock lock(rec);
    if (!rec->workerInCallout) return true;
    if (InRequestFromProcedure(rec)) return false;
    seen = rec->calloutsLeft;
  }
  for (;;) {
    {
      CalloutLock lock(rec);
      if (rec->calloutsLeft != seen) return true;
      ResetEvent(rec->calloutLeft);
    }
    if (!WaitAnswering(rec->calloutLeft)) return false;
  }
}
