// The audio formats the service takes and the synthetic beeps locked to the
// video frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "core/camera/audio_pcm.h"
#include "core/camera/audio_tone.h"

TEST(AudioPcm, DefaultIsEightBitMonoAt11025) {
  audio::PcmFormat f = audio::DefaultFormat();
  EXPECT_EQ(1, f.formatTag);
  EXPECT_EQ(11025u, f.samplesPerSec);
  EXPECT_EQ(8, f.bitsPerSample);
  EXPECT_EQ(1, f.channels);
  EXPECT_EQ(1, f.blockAlign);
  EXPECT_EQ(11025u, f.avgBytesPerSec);
  EXPECT_TRUE(audio::IsSupported(f));
}

TEST(AudioPcm, SupportedFormatsAreConsistentPcm) {
  EXPECT_TRUE(audio::IsSupported(audio::MakePcm(44100, 16, 2)));
  EXPECT_TRUE(audio::IsSupported(audio::MakePcm(8000, 8, 1)));
  audio::PcmFormat f = audio::MakePcm(22050, 16, 1);
  f.blockAlign = 1;  // disagrees with 16 bits
  EXPECT_FALSE(audio::IsSupported(f));
  f = audio::MakePcm(22050, 16, 1);
  f.avgBytesPerSec = 22050;
  EXPECT_FALSE(audio::IsSupported(f));
  f = audio::MakePcm(22050, 16, 1);
  f.formatTag = 2;  // ADPCM
  EXPECT_FALSE(audio::IsSupported(f));
  EXPECT_TRUE(audio::IsSupported(audio::MakePcm(96000, 16, 2)));
  EXPECT_FALSE(audio::IsSupported(audio::MakePcm(192000, 16, 2)));
  EXPECT_FALSE(audio::IsSupported(audio::MakePcm(7999, 8, 1)));
  EXPECT_FALSE(audio::IsSupported(audio::MakePcm(11025, 12, 1)));
  EXPECT_FALSE(audio::IsSupported(audio::MakePcm(11025, 8, 3)));
}

TEST(AudioPcm, SamplesBeforeFrameIsExactAndDoesNotDrift) {
  EXPECT_EQ(0u, audio::SamplesBeforeFrame(0, 66667, 11025));
  // 15 frames of 66667 us are 1.000005 s.
  EXPECT_EQ(11025u, audio::SamplesBeforeFrame(15, 66667, 11025));
  // One hour at 30 fps (33333 us): 107999.892 s worth of frames at 44100 Hz.
  uint64_t n = 30ull * 3600 * 30;
  EXPECT_EQ(n * 33333ull * 44100 / 1000000, audio::SamplesBeforeFrame(n, 33333, 44100));
}

TEST(AudioTone, BeepsStartAtTheirFramesAndSilenceElsewhere) {
  audio::PcmFormat f = audio::DefaultFormat();
  audio::ToneSource tone(f, 66667);  // 15 frames per beep
  EXPECT_EQ(15u, tone.framesPerBeep());
  std::vector<uint8_t> all, part;
  for (uint64_t n = 0; n < 31; ++n) {
    tone.RenderFrame(n, part);
    EXPECT_EQ(audio::SamplesBeforeFrame(n + 1, 66667, 11025) - audio::SamplesBeforeFrame(n, 66667, 11025),
              part.size());
    all.insert(all.end(), part.begin(), part.end());
  }
  ASSERT_EQ(audio::SamplesBeforeFrame(31, 66667, 11025), all.size());
  // Where sound is: 50 ms (551 samples) from each beep frame's first sample.
  for (uint64_t beepFrame : {0u, 15u, 30u}) {
    uint64_t at = audio::SamplesBeforeFrame(beepFrame, 66667, 11025);
    EXPECT_EQ(128, all[at]) << beepFrame;  // sine starts at zero
    int loud = 0;
    for (uint64_t i = at; i < at + 551; ++i) loud += (all[i] > 180 || all[i] < 76);
    EXPECT_GT(loud, 100) << beepFrame;
  }
  const uint64_t starts[3] = {0, audio::SamplesBeforeFrame(15, 66667, 11025),
                              audio::SamplesBeforeFrame(30, 66667, 11025)};
  for (uint64_t i = 0; i < all.size(); ++i) {
    uint64_t start = i >= starts[2] ? starts[2] : i >= starts[1] ? starts[1] : 0;
    if (i - start >= 551) {
      ASSERT_EQ(128, all[i]) << i;
    }
  }
}

TEST(AudioTone, SixteenBitStereoFillsBothChannels) {
  audio::ToneSource tone(audio::MakePcm(22050, 16, 2), 40000);  // 25 frames per beep
  std::vector<uint8_t> part;
  tone.RenderFrame(25, part);
  ASSERT_EQ(882u * 4, part.size());  // 40 ms of 22050 Hz
  int16_t l = int16_t(part[8] | part[9] << 8), r = int16_t(part[10] | part[11] << 8);
  EXPECT_NE(0, l);
  EXPECT_EQ(l, r);
  tone.RenderFrame(27, part);  // past the 50 ms beep
  for (uint8_t v : part) ASSERT_EQ(0, v);
}

TEST(AudioTone, TheSamplesAreTheSameHoweverTheRecordingIsCutUp) {
  // format, frame period, samples per piece
  for (auto row : {std::make_tuple(audio::DefaultFormat(), 66667u, 1000u),
                   std::make_tuple(audio::MakePcm(48000, 16, 2), 10000u, 997u),
                   std::make_tuple(audio::DefaultFormat(), 0xFFFFFFFFu, 4097u)}) {
    audio::ToneSource tone(std::get<0>(row), std::get<1>(row));
    uint64_t total = audio::SamplesIn(2500000, std::get<0>(row).samplesPerSec);  // 2.5 s
    std::vector<uint8_t> whole, cut, part;
    tone.Render(0, total, whole);
    for (uint64_t at = 0; at < total; at += std::get<2>(row)) {
      tone.Render(at, std::min<uint64_t>(std::get<2>(row), total - at), part);
      cut.insert(cut.end(), part.begin(), part.end());
    }
    EXPECT_EQ(total * std::get<0>(row).blockAlign, whole.size());
    EXPECT_EQ(whole, cut) << std::get<1>(row);
  }
}
