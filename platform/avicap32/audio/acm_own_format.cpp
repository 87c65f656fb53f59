// The audio compression manager's own formats of a kind (see
// acm_own_format.h): what it suggests for PCM and what it lists.
#include "audio/acm_own_format.h"

#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/audio_formats.h"
#include "core/camera/audio_pcm.h"

namespace {

using Record = std::vector<uint8_t>;

const uint16_t kSuggestedFromBits[] = {16, 8};  // the PCM asked for a suggestion

size_t RecordSize(const WAVEFORMATEX& w) { return sizeof(WAVEFORMATEX) + w.cbSize; }

Record RecordOf(const WAVEFORMATEX& w) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&w);
  return Record(p, p + RecordSize(w));
}

// Room for any format the manager knows.
size_t FormatBufferSize() {
  DWORD largest = 0;
  if (acmMetrics(nullptr, ACM_METRIC_MAX_SIZE_FORMAT, &largest) != MMSYSERR_NOERROR) largest = 0;
  return largest > sizeof(WAVEFORMATEX) ? largest : sizeof(WAVEFORMATEX);
}

bool SameKind(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
  return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec;
}

struct Listing {
  const WAVEFORMATEX* kind;
  size_t room;
  std::vector<Record>* formats;
};

BOOL CALLBACK KeepListed(HACMDRIVERID, LPACMFORMATDETAILSA d, DWORD_PTR to, DWORD) {
  Listing* l = reinterpret_cast<Listing*>(to);
  try {
    if (d->pwfx && RecordSize(*d->pwfx) <= l->room && SameKind(*d->pwfx, *l->kind))
      l->formats->push_back(RecordOf(*d->pwfx));
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

// The format that the manager suggests for PCM of the rate and channels of
// `format` (16 bits, else 8); empty when it suggests none of its tag.
std::vector<Record> Suggested(const WAVEFORMATEX& format) {
  size_t room = FormatBufferSize();
  std::vector<uint8_t> buffer(room, 0);
  WAVEFORMATEX* w = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
  for (uint16_t bits : kSuggestedFromBits) {
    audio::PcmFormat source = audio::MakePcm(format.nSamplesPerSec, bits, format.nChannels);
    if (!audio::IsSupported(source)) continue;  // PCM that no recording captures
    WAVEFORMATEX pcm = WaveFromPcm(source);
    std::fill(buffer.begin(), buffer.end(), 0);
    w->wFormatTag = format.wFormatTag;
    if (acmFormatSuggest(nullptr, &pcm, w, static_cast<DWORD>(room), ACM_FORMATSUGGESTF_WFORMATTAG) ==
            MMSYSERR_NOERROR &&
        RecordSize(*w) <= room && SameKind(*w, format))
      return {RecordOf(*w)};
  }
  return {};
}

// The formats that the manager lists with the tag, rate and channels of `format`.
std::vector<Record> Listed(const WAVEFORMATEX& format) {
  std::vector<Record> listed;
  size_t room = FormatBufferSize();
  std::vector<uint8_t> buffer(room, 0);
  WAVEFORMATEX* w = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
  w->wFormatTag = format.wFormatTag;
  w->nChannels = format.nChannels;
  w->nSamplesPerSec = format.nSamplesPerSec;
  ACMFORMATDETAILSA details{};
  details.cbStruct = sizeof details;
  details.dwFormatTag = format.wFormatTag;
  details.pwfx = w;
  details.cbwfx = static_cast<DWORD>(room);
  Listing listing{&format, room, &listed};
  acmFormatEnumA(nullptr, &details, KeepListed, reinterpret_cast<DWORD_PTR>(&listing),
                 ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_NSAMPLESPERSEC);
  return listed;
}

bool Holds(const std::vector<Record>& formats, const Record& r) {
  return std::find(formats.begin(), formats.end(), r) != formats.end();
}

const WAVEFORMATEX& Fields(const Record& r) { return *reinterpret_cast<const WAVEFORMATEX*>(r.data()); }

}  // namespace

bool IsAcmOwnFormat(const WAVEFORMATEX& format) {
  if (format.wFormatTag == WAVE_FORMAT_PCM) return false;
  Record given = RecordOf(format);
  return Holds(Suggested(format), given) || Holds(Listed(format), given);  // asking for a list takes longer
}

bool DescribeAcmDisagreement(const WAVEFORMATEX& format, char* why, size_t size) {
  if (format.wFormatTag == WAVE_FORMAT_PCM) return false;
  std::vector<Record> own = Suggested(format);
  std::vector<Record> listed = Listed(format);
  own.insert(own.end(), listed.begin(), listed.end());
  Record given = RecordOf(format);
  if (own.empty() || Holds(own, given)) return false;
  const Record* like = &own[0];
  for (const Record& r : own) {
    if (Fields(r).nBlockAlign == format.nBlockAlign) {
      like = &r;
      break;
    }
  }
  const WAVEFORMATEX& m = Fields(*like);
  if (m.nBlockAlign == format.nBlockAlign && m.nAvgBytesPerSec == format.nAvgBytesPerSec && m.cbSize == format.cbSize) {
    snprintf(why, size, "its extra bytes disagree with the audio compression manager's own format of it");
    return true;
  }
  snprintf(why, size,
           "its fields disagree with the audio compression manager's own format of it (%u-byte blocks, "
           "%lu bytes a second, %u extra bytes; this one: %u, %lu and %u)",
           static_cast<unsigned>(m.nBlockAlign), static_cast<unsigned long>(m.nAvgBytesPerSec),
           static_cast<unsigned>(m.cbSize), static_cast<unsigned>(format.nBlockAlign),
           static_cast<unsigned long>(format.nAvgBytesPerSec), static_cast<unsigned>(format.cbSize));
  return true;
}
