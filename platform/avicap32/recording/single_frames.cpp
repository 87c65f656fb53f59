// Single frames into the capture file, one per request: SINGLE_FRAME_OPEN
// starts an AVI of video only at the recording setup's frame rate,
// SINGLE_FRAME appends a new camera frame (after the caller's frame
// procedure saw it), SINGLE_FRAME_CLOSE finishes the file. The recording's
// file and AVI writer do the writing; the headers are brought up to date
// after every frame, and a file that got no frame is not kept.
#include <memory>

#include <string>

#include "common/file_io.h"
#include "common/path_names.h"
#include "core/riff/avi_writer.h"
#include "recording/recording_file.h"
#include "recording/recording_state.h"
#include "window/capture_window.h"

struct SingleFrameFile {
  WCHAR path[MAX_PATH] = L"";
  std::string pathText;  // the path as the reports show it (the code page)
  BITMAPINFOHEADER format{};  // of every frame in the file
  RecordingFile file;
  avi::Writer writer{&file};
  bool failed = false;  // a write failed (reported): no more frames go in
};

namespace {

enum class Closed { Kept, Empty, Failed };

// Closes the file over what was written; one without frames is deleted.
Closed Finish(SingleFrameFile& f) {
  bool clean = f.writer.Finish();
  f.file.Close();
  if (f.writer.frames() == 0) {
    DeleteFileW(f.path);
    return Closed::Empty;
  }
  return clean || f.failed ? Closed::Kept : Closed::Failed;
}

LRESULT WriteFailed(CaptureWindowState* s, const SingleFrameFile& f) {
  DWORD code = f.file.lastError();
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
    Report(s, ReportKind::Error, IDS_CAP_NODISKSPACE, "The disk is full: %s keeps the frames captured before.",
           f.pathText.c_str());
    return FALSE;
  }
  char why[256];
  SystemErrorText(code ? code : ERROR_WRITE_FAULT, why, sizeof why);
  Report(s, ReportKind::Error, IDS_CAP_FILE_WRITE_ERROR, "Writing %s failed (%s). It keeps the frames captured before.",
         f.pathText.c_str(), why);
  return FALSE;
}

// The picture format may have changed since the file was opened.
bool FitsFile(const CaptureWindowState* s, const SingleFrameFile& f) {
  const BITMAPINFOHEADER& h = s->videoFormat;
  return s->connected && h.biWidth == f.format.biWidth && h.biHeight == f.format.biHeight &&
         h.biBitCount == f.format.biBitCount && s->frame.size() == f.format.biSizeImage;
}

LRESULT FormatChanged(CaptureWindowState* s, const SingleFrameFile& f) {
  Report(s, ReportKind::Error, IDS_CAP_VIDEO_SIZE_ERROR,
         "The picture format changed after %s was opened for single frames: close it first.",
         f.pathText.c_str());
  return FALSE;
}

}  // namespace

LRESULT OpenSingleFrames(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !s->connected || rec->capturing || rec->singleFrames) return FALSE;
  std::shared_ptr<SingleFrameFile> f = std::make_shared<SingleFrameFile>();
  lstrcpynW(f->path, s->captureFile, MAX_PATH);
  f->pathText = ShownName(f->path);
  f->format = s->videoFormat;
  ServiceKnobs knobs = ReadKnobs();
  if (!f->file.Open(f->path, knobs.writeLimit)) {
    char why[256];
    SystemErrorText(f->file.lastError(), why, sizeof why);
    Report(s, ReportKind::Error, IDS_CAP_FILE_OPEN_ERROR, "Cannot open the capture file %s for writing: %s.",
           f->pathText.c_str(), why);
    return FALSE;
  }
  avi::Options o;
  o.microSecPerFrame = rec->parms.dwRequestMicroSecPerFrame;
  o.partLimit = knobs.partLimit;
  o.info = rec->info;
  o.video.width = f->format.biWidth;
  o.video.height = f->format.biHeight;
  o.video.bitCount = f->format.biBitCount;
  o.video.sizeImage = f->format.biSizeImage;
  if (!f->writer.Begin(o)) {
    f->file.Close();
    if (f->file.initialSize() == 0) DeleteFileW(f->path);
    return WriteFailed(s, *f);
  }
  rec->singleFrames = f;
  return TRUE;
}

LRESULT TakeSingleFrame(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !rec->singleFrames || rec->capturing || !s->connected) return FALSE;
  std::shared_ptr<RecordingState> holdRec = rec->shared_from_this();
  std::shared_ptr<SingleFrameFile> f = rec->singleFrames;
  if (f->failed) return FALSE;
  if (!FitsFile(s, *f)) return FormatChanged(s, *f);
  if (!MakeFrame(s) || !CallFrameCallback(s)) return FALSE;  // the procedure may have destroyed the window
  if (rec->singleFrames != f) return FALSE;                   // or closed the file
  if (!FitsFile(s, *f)) return FormatChanged(s, *f);
  if (f->writer.AddVideoFrame(s->frame.data(), f->format.biSizeImage, true) && f->writer.Refresh()) return TRUE;
  f->failed = true;
  return WriteFailed(s, *f);
}

LRESULT CloseSingleFrames(CaptureWindowState* s) {
  RecordingState* rec = RecordingOf(s);
  if (!rec || !rec->singleFrames) return FALSE;
  std::shared_ptr<SingleFrameFile> f = std::move(rec->singleFrames);
  switch (Finish(*f)) {
    case Closed::Kept:
      return TRUE;
    case Closed::Empty:
      Report(s, ReportKind::Error, IDS_CAP_NO_FRAME_CAP_ERROR, "No single frame was captured, so no capture file was kept.");
      return FALSE;
    case Closed::Failed:
      break;
  }
  return WriteFailed(s, *f);
}

void EndSingleFrames(RecordingState* rec) {
  std::shared_ptr<SingleFrameFile> f = std::move(rec->singleFrames);
  if (f) Finish(*f);
}
