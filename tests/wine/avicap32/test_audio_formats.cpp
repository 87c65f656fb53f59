// Recordings in the formats that the audio compression manager makes from
// PCM: each format set, one second recorded with the camera's tone, and the
// audio stream's header, format record and chunks read back (the files are
// decoded by record_audio_formats.sh); every format it lists either taken
// whole or refused with a report that names it, and records whose fields
// disagree with its own formats refused.
#include "test_record_fixture.h"

#include <mmreg.h>
#include <msacm.h>

#include <algorithm>
#include <cstring>

#include "tests/unit/test_avi_reader.h"

using avitest::Chunk;
using avitest::Le16;
using avitest::Le32;

namespace {

std::string TagName(WORD tag) {
  ACMFORMATTAGDETAILSA d{};
  d.cbStruct = sizeof d;
  d.dwFormatTag = tag;
  if (acmFormatTagDetailsA(nullptr, &d, ACM_FORMATTAGDETAILSF_FORMATTAG) != MMSYSERR_NOERROR) return "?";
  return d.szFormatTag;
}

// Keeps each format that the audio compression manager lists (its whole record).
BOOL CALLBACK CollectFormat(HACMDRIVERID, LPACMFORMATDETAILSA d, DWORD_PTR to, DWORD) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(d->pwfx);
  size_t size = sizeof(WAVEFORMATEX) + (d->pwfx->wFormatTag == WAVE_FORMAT_PCM ? 0 : d->pwfx->cbSize);
  reinterpret_cast<std::vector<std::vector<uint8_t>>*>(to)->emplace_back(p, p + size);
  return TRUE;
}

// The first format of `tag` at `rate` with `channels` that the audio
// compression manager lists (its whole record); empty when it lists none.
std::vector<uint8_t> AcmFormat(WORD tag, DWORD rate, WORD channels) {
  std::vector<std::vector<uint8_t>> listed;
  std::vector<uint8_t> buffer(256, 0);
  WAVEFORMATEX* w = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
  w->wFormatTag = tag;
  w->nSamplesPerSec = rate;
  w->nChannels = channels;
  ACMFORMATDETAILSA details{};
  details.cbStruct = sizeof details;
  details.dwFormatTag = tag;
  details.pwfx = w;
  details.cbwfx = static_cast<DWORD>(buffer.size());
  acmFormatEnumA(nullptr, &details, CollectFormat, reinterpret_cast<DWORD_PTR>(&listed),
                 ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NSAMPLESPERSEC | ACM_FORMATENUMF_NCHANNELS);
  return listed.empty() ? std::vector<uint8_t>() : listed[0];
}

// The record `own` of the audio compression manager with some fields changed.
struct Changes {
  WORD blockAlign;
  DWORD avgBytesPerSec;
  WORD cbSize;
};
std::vector<uint8_t> Changed(std::vector<uint8_t> own, Changes c) {
  WAVEFORMATEX w;
  std::memcpy(&w, own.data(), sizeof w);
  w.nBlockAlign = c.blockAlign;
  w.nAvgBytesPerSec = c.avgBytesPerSec;
  w.cbSize = c.cbSize;
  std::memcpy(own.data(), &w, sizeof w);
  own.resize(sizeof w + c.cbSize, 0);
  return own;
}

std::vector<uint8_t> BytesOf(const WAVEFORMATEX& w) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&w);
  return std::vector<uint8_t>(p, p + sizeof w);
}

struct FormatCase {
  WORD tag;
  DWORD rate;
  WORD channels;
  const char* file;
};

class AudioFormatRecordTest : public RecordTest, public ::testing::WithParamInterface<FormatCase> {};

}  // namespace

TEST_P(AudioFormatRecordTest, RecordsWholeBlocksOfTheFormat) {
  const FormatCase& c = GetParam();
  std::vector<uint8_t> format = AcmFormat(c.tag, c.rate, c.channels);
  ASSERT_FALSE(format.empty()) << TagName(c.tag);
  WAVEFORMATEX w;
  std::memcpy(&w, format.data(), sizeof w);
  ASSERT_TRUE(SendPtr(WM_CAP_SET_AUDIOFORMAT, format.size(), format.data()));
  std::vector<uint8_t> back(format.size() + 8, 0xCD);
  EXPECT_EQ(static_cast<LRESULT>(format.size()), Send(WM_CAP_GET_AUDIOFORMAT, 0, 0));
  EXPECT_EQ(static_cast<LRESULT>(format.size()), SendPtr(WM_CAP_GET_AUDIOFORMAT, back.size(), back.data()));
  EXPECT_TRUE(std::equal(format.begin(), format.end(), back.begin()));

  std::string path = UseFile(c.file);
  Setup(1);
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  ASSERT_TRUE(ErrorReports().empty()) << ErrorReports()[0].text;
  EXPECT_EQ(c.rate, Status().dwCurrentWaveSamples);  // one second captured

  std::string text = ReadWholeFile(path);
  std::vector<uint8_t> b(text.begin(), text.end());
  avitest::File file = avitest::Parse(b);
  ASSERT_TRUE(file.ok);
  const Chunk& riff = file.riffs.at(0);
  std::vector<const Chunk*> strls = riff.Find("LIST", "hdrl")->All("LIST");
  ASSERT_EQ(2u, strls.size());
  const Chunk* strh = strls[1]->Find("strh");
  const Chunk* strf = strls[1]->Find("strf");
  ASSERT_TRUE(strh && strf);
  EXPECT_EQ("auds", avitest::Code(Le32(b, strh->data())));
  EXPECT_EQ(w.nBlockAlign, Le32(b, strh->data() + 20));      // dwScale
  EXPECT_EQ(w.nAvgBytesPerSec, Le32(b, strh->data() + 24));  // dwRate
  EXPECT_EQ(w.nBlockAlign, Le32(b, strh->data() + 44));      // dwSampleSize
  ASSERT_EQ(format.size(), strf->size);
  EXPECT_TRUE(std::equal(format.begin(), format.end(), b.begin() + static_cast<std::ptrdiff_t>(strf->data())));

  // Every chunk and index entry holds whole blocks; together the second's
  // samples, the last block padded.
  uint64_t bytes = 0;
  uint32_t largest = 0;
  for (const Chunk* chunk : riff.Find("LIST", "movi")->All("01wb")) {
    EXPECT_EQ(0u, chunk->size % w.nBlockAlign);
    bytes += chunk->size;
    largest = std::max(largest, chunk->size);
  }
  const Chunk* idx1 = riff.Find("idx1");
  ASSERT_NE(nullptr, idx1);
  uint64_t indexed = 0;
  for (uint64_t at = idx1->data(); at + 16 <= idx1->data() + idx1->size; at += 16)
    if (avitest::Code(Le32(b, at)) == "01wb") indexed += Le32(b, at + 12);
  EXPECT_EQ(bytes, indexed);
  uint32_t samplesPerBlock = w.cbSize >= 2 ? Le16(format, sizeof(WAVEFORMATEX)) : 1;
  EXPECT_EQ((c.rate + samplesPerBlock - 1) / samplesPerBlock * w.nBlockAlign, bytes);
  EXPECT_EQ(bytes / w.nBlockAlign, Le32(b, strh->data() + 32));  // dwLength
  EXPECT_EQ(largest, Le32(b, strh->data() + 36));                // dwSuggestedBufferSize
}

INSTANTIATE_TEST_SUITE_P(AcmFormats, AudioFormatRecordTest,
                         ::testing::Values(FormatCase{WAVE_FORMAT_IMA_ADPCM, 11025, 1, "rec_audio_ima.avi"},
                                           FormatCase{WAVE_FORMAT_IMA_ADPCM, 22050, 2, "rec_audio_ima_stereo.avi"},
                                           FormatCase{WAVE_FORMAT_GSM610, 8000, 1, "rec_audio_gsm.avi"},
                                           FormatCase{WAVE_FORMAT_GSM610, 96000, 1, "rec_audio_gsm_96k.avi"},
                                           FormatCase{WAVE_FORMAT_ALAW, 8000, 1, "rec_audio_alaw.avi"},
                                           FormatCase{WAVE_FORMAT_MULAW, 44100, 2, "rec_audio_mulaw.avi"}));

TEST_F(RecordTest, EveryListedAudioFormatIsTakenWholeOrRefusedByName) {
  std::vector<std::vector<uint8_t>> listed;
  std::vector<uint8_t> buffer(256, 0);
  ACMFORMATDETAILSA details{};
  details.cbStruct = sizeof details;
  details.pwfx = reinterpret_cast<WAVEFORMATEX*>(buffer.data());
  details.cbwfx = static_cast<DWORD>(buffer.size());
  ASSERT_EQ(MMSYSERR_NOERROR,
            acmFormatEnumA(nullptr, &details, CollectFormat, reinterpret_cast<DWORD_PTR>(&listed), 0));
  ASSERT_FALSE(listed.empty());
  int taken = 0, refused = 0;
  for (const std::vector<uint8_t>& f : listed) {
    WAVEFORMATEX w;
    std::memcpy(&w, f.data(), sizeof w);
    std::string name = TagName(w.wFormatTag);
    SCOPED_TRACE(name + " " + std::to_string(w.nSamplesPerSec) + " Hz, " + std::to_string(w.wBitsPerSample) + " bits");
    ErrorReports().clear();
    if (SendPtr(WM_CAP_SET_AUDIOFORMAT, f.size(), f.data())) {
      ++taken;
      EXPECT_TRUE(ErrorReports().empty());
      std::vector<uint8_t> back(f.size(), 0);
      EXPECT_EQ(static_cast<LRESULT>(f.size()), SendPtr(WM_CAP_GET_AUDIOFORMAT, back.size(), back.data()));
      if (w.wFormatTag != WAVE_FORMAT_PCM) {
        EXPECT_EQ(f, back);
      }
    } else {
      ++refused;
      ASSERT_EQ(1u, ErrorReports().size());
      EXPECT_EQ(IDS_CAP_WAVE_OPEN_ERROR, ErrorReports()[0].id);
      EXPECT_NE(std::string::npos, ErrorReports()[0].text.find(name)) << ErrorReports()[0].text;
    }
  }
  EXPECT_GT(taken, 0);
  EXPECT_GT(refused, 0);  // 24-bit PCM, for one
}

TEST_F(RecordTest, AudioFormatsThatCannotBeRecordedAreRefusedByName) {
  std::vector<uint8_t> ima = AcmFormat(WAVE_FORMAT_IMA_ADPCM, 11025, 1);
  ASSERT_EQ(sizeof(WAVEFORMATEX) + 2, ima.size());
  WAVEFORMATEX unknown{0x1234, 1, 11025, 5000, 100, 4, 0};
  WAVEFORMATEX pcm24{WAVE_FORMAT_PCM, 2, 44100, 44100 * 6, 6, 24, 0};
  struct Case {
    const void* format;
    size_t size;
    const char* named;
  } cases[] = {
      {&unknown, sizeof unknown, "0x1234"},
      {&pcm24, sizeof pcm24, "PCM"},
      {ima.data(), sizeof(WAVEFORMATEX), "IMA ADPCM"},  // without its extra bytes
  };
  for (const Case& c : cases) {
    ErrorReports().clear();
    EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, c.size, c.format)) << c.named;
    ASSERT_EQ(1u, ErrorReports().size()) << c.named;
    EXPECT_EQ(IDS_CAP_WAVE_OPEN_ERROR, ErrorReports()[0].id);
    EXPECT_NE(std::string::npos, ErrorReports()[0].text.find(c.named)) << ErrorReports()[0].text;
  }
  WAVEFORMATEX kept{};
  SendPtr(WM_CAP_GET_AUDIOFORMAT, sizeof kept, &kept);
  EXPECT_EQ(WAVE_FORMAT_PCM, kept.wFormatTag);  // the default, untouched
  EXPECT_EQ(8, kept.wBitsPerSample);
}

// Records whose fields contradict each other or the codec: a codec handed
// one overruns its buffers (IMA ADPCM with 2-byte blocks of 505 samples) or
// writes a file whose audio plays at another speed or time (a byte rate of
// 0, 1 or 0xFFFFFFFF; no samples per block) or none at all (blocks of 0).
TEST_F(RecordTest, ContradictoryAudioFormatsAreRefusedByName) {
  std::vector<uint8_t> ima = AcmFormat(WAVE_FORMAT_IMA_ADPCM, 11025, 1);
  std::vector<uint8_t> alaw = AcmFormat(WAVE_FORMAT_ALAW, 8000, 1);
  std::vector<uint8_t> mulaw = AcmFormat(WAVE_FORMAT_MULAW, 8000, 1);
  ASSERT_EQ(sizeof(WAVEFORMATEX) + 2, ima.size());
  ASSERT_EQ(505, Le16(ima, sizeof(WAVEFORMATEX)));  // samples per 256-byte block
  ASSERT_FALSE(alaw.empty() || mulaw.empty());
  WAVEFORMATEX pcmRate{WAVE_FORMAT_PCM, 1, 11025, 11000, 1, 8, 0};
  WAVEFORMATEX pcmAlign{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 2, 16, 0};
  const DWORD all = 0xFFFFFFFF;
  const DWORD r = Le32(ima, 8);  // the IMA ADPCM format's own nAvgBytesPerSec
  std::vector<uint8_t> cases[] = {
      // blocks too small for 505 samples; 8-byte blocks at 11,025 bytes a second
      Changed(ima, {1, r, 2}), Changed(ima, {2, r, 2}), Changed(ima, {3, r, 2}), Changed(ima, {4, r, 2}),
      Changed(ima, {8, r, 2}), Changed(ima, {8, 11025, 2}),
      // byte rates that are no rate; no samples per block; blocks of 0
      Changed(ima, {256, 0, 2}), Changed(ima, {256, 1, 2}), Changed(ima, {256, all, 2}), Changed(ima, {256, r, 0}),
      Changed(ima, {0, r, 2}), Changed(alaw, {1, 0, 0}), Changed(alaw, {1, all, 0}), Changed(alaw, {0, 8000, 0}),
      Changed(mulaw, {1, 1, 0}),
      // PCM whose byte rate or block size is not its rate, channels and bits make
      BytesOf(pcmRate), BytesOf(pcmAlign),
  };
  ASSERT_TRUE(SendPtr(WM_CAP_SET_AUDIOFORMAT, ima.size(), ima.data()));
  for (const std::vector<uint8_t>& f : cases) {
    WAVEFORMATEX w;
    std::memcpy(&w, f.data(), sizeof w);
    std::string name = TagName(w.wFormatTag);
    SCOPED_TRACE(name + ", " + std::to_string(w.nBlockAlign) + "-byte blocks, " + std::to_string(w.nAvgBytesPerSec) +
                 " bytes a second, " + std::to_string(w.cbSize) + " extra bytes");
    ErrorReports().clear();
    EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, f.size(), f.data()));
    ASSERT_EQ(1u, ErrorReports().size());
    EXPECT_EQ(IDS_CAP_WAVE_OPEN_ERROR, ErrorReports()[0].id);
    EXPECT_NE(std::string::npos, ErrorReports()[0].text.find(name)) << ErrorReports()[0].text;
    EXPECT_NE(std::string::npos, ErrorReports()[0].text.find("disagree")) << ErrorReports()[0].text;
  }
  std::vector<uint8_t> kept(ima.size(), 0);
  SendPtr(WM_CAP_GET_AUDIOFORMAT, kept.size(), kept.data());
  EXPECT_EQ(ima, kept);  // the refusals leave the format set before
}
