// The service's environment knobs, every one of them, read in knobs.cpp and
// nowhere else. ReadKnobs() reads them all in one go; each piece of work
// that uses them (a connection, a recording) reads them once as it starts,
// so that a test may change them between cases.
//
//   MORVA_CAMERAS=<path>               the cameras file (else cameras.ini beside
//                                      avicap32.dll, else the built-in cameras); read
//                                      only when a regular file of up to 64 KB
//   MORVA_CAPTURE_SETTINGS=<path>      the remembered camera settings (MorvaCap.ini)
//   MORVA_AVICAP_AUDIO_SOURCE=auto|tone|none
//                                      recording audio: the wave input device, else
//                                      the camera's tone (auto); the tone; none
//   MORVA_AVICAP_WRITE_LIMIT=<bytes>   the capture file acts as if the disk were full
//                                      past this size (a full disk for tests)
//   MORVA_AVICAP_SPACE_WATCH=0         no free-space watch, so that a test reaches the
//                                      write failure itself
//   MORVA_AVICAP_PART_LIMIT=<bytes>    size of one RIFF part of the AVI (1 GiB)
//   MORVA_AVICAP_CACHE_TRIM=0          under Wine, no page-cache trimmer beside a
//                                      recording (unix/page_cache_trim.h)
//   MORVA_AVICAP_CLOCK=virtual         recordings run on a clock that jumps to each
//                                      frame's time instead of waiting for it
//   MORVA_FFMPEG=<unix path>           the ffmpeg program of the cameras read through
//                                      ffmpeg (/usr/bin/ffmpeg)
//   MORVA_VIDEO4LINUX_ROOT=<unix path> a stand-in tree with sys/ and dev/ in place of /
//                                      where the machine's cameras are looked for
//   TMPDIR=<unix path>                 the Unix temporary folder of ffmpeg's private
//                                      folders (/tmp)
#ifndef MORVA_AVICAP32_COMMON_KNOBS_H
#define MORVA_AVICAP32_COMMON_KNOBS_H

#include <cstdint>
#include <string>

enum class AudioSourceChoice { Automatic, ToneOnly, None };

struct ServiceKnobs {
  std::wstring camerasFile;  // empty: not set (wide: any name the file system takes)
  std::string settingsFile;  // MorvaCap.ini when not set
  AudioSourceChoice audioSource = AudioSourceChoice::Automatic;
  uint64_t writeLimit = UINT64_MAX;
  bool spaceWatch = true;
  uint64_t partLimit = 1ull << 30;
  bool virtualClock = false;
  bool pageCacheTrim = true;
  std::string ffmpegProgram = "/usr/bin/ffmpeg";
  std::string video4linuxRoot;  // "" for /; never ends in '/'
  std::string unixTempFolder = "/tmp";
};

ServiceKnobs ReadKnobs();

#endif
