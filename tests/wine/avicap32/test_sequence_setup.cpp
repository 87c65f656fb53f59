// The recording's settings requests: the capture parameters with their
// defaults and size check, the audio format, info chunks.
#include <cstring>

#include "test_record_fixture.h"

TEST_F(RecordTest, CaptureParametersStartAtTheDocumentedDefaults) {
  CAPTUREPARMS p{};
  ASSERT_EQ(96u, sizeof p);
  ASSERT_TRUE(SendPtr(WM_CAP_GET_SEQUENCE_SETUP, sizeof p, &p));
  CAPTUREPARMS d = Parms();  // as the fixture found them: nothing changed yet
  EXPECT_EQ(66667u, d.dwRequestMicroSecPerFrame);
  EXPECT_FALSE(d.fMakeUserHitOKToCapture);
  EXPECT_EQ(10u, d.wPercentDropForError);
  EXPECT_FALSE(d.fYield);
  EXPECT_EQ(34952u, d.dwIndexSize);
  EXPECT_EQ(0u, d.wChunkGranularity);
  EXPECT_TRUE(d.fCaptureAudio);  // the synthetic camera has its own sound
  EXPECT_EQ(static_cast<UINT>(VK_ESCAPE), d.vKeyAbort);
  EXPECT_TRUE(d.fAbortLeftMouse);
  EXPECT_TRUE(d.fAbortRightMouse);
  EXPECT_FALSE(d.fLimitEnabled);
  EXPECT_FALSE(d.fMCIControl);
  EXPECT_EQ(static_cast<UINT>(AVSTREAMMASTER_AUDIO), d.AVStreamMaster);
}

TEST_F(RecordTest, CaptureParametersRoundTripAndWrongSizesAreRefused) {
  CAPTUREPARMS p = Parms();
  p.dwRequestMicroSecPerFrame = 33333;
  p.fYield = TRUE;
  p.fLimitEnabled = TRUE;
  p.wTimeLimit = 7;
  p.fAbortLeftMouse = FALSE;
  p.wPercentDropForError = 3;
  ASSERT_TRUE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, sizeof p, &p));
  CAPTUREPARMS back = Parms();
  EXPECT_EQ(0, std::memcmp(&p, &back, sizeof p));

  CAPTUREPARMS other = p;
  other.wTimeLimit = 99;
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, 95, &other));
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, 97, &other));
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, 96, nullptr));
  EXPECT_EQ(7u, Parms().wTimeLimit);

  unsigned char guard[128];
  std::memset(guard, 0xAB, sizeof guard);
  EXPECT_FALSE(SendPtr(WM_CAP_GET_SEQUENCE_SETUP, 48, guard));
  EXPECT_EQ(0xAB, guard[0]);  // nothing written for a wrong size
  // No frame period, nothing to record at.
  other = p;
  other.dwRequestMicroSecPerFrame = 0;
  EXPECT_FALSE(SendPtr(WM_CAP_SET_SEQUENCE_SETUP, sizeof other, &other));
}

TEST_F(RecordTest, AudioFormatDefaultSizeAndBoundedCopy) {
  EXPECT_EQ(static_cast<LRESULT>(sizeof(WAVEFORMATEX)), Send(WM_CAP_GET_AUDIOFORMAT, 0, 0));
  WAVEFORMATEX w{};
  ASSERT_EQ(static_cast<LRESULT>(sizeof w), SendPtr(WM_CAP_GET_AUDIOFORMAT, sizeof w, &w));
  EXPECT_EQ(WAVE_FORMAT_PCM, w.wFormatTag);
  EXPECT_EQ(11025u, w.nSamplesPerSec);
  EXPECT_EQ(8, w.wBitsPerSample);
  EXPECT_EQ(1, w.nChannels);
  EXPECT_EQ(1, w.nBlockAlign);
  EXPECT_EQ(11025u, w.nAvgBytesPerSec);

  unsigned char small[32];
  std::memset(small, 0xCD, sizeof small);
  EXPECT_EQ(8, SendPtr(WM_CAP_GET_AUDIOFORMAT, 8, small));
  EXPECT_EQ(0xCD, small[8]);  // at most the given size
  EXPECT_EQ(WAVE_FORMAT_PCM, small[0]);
}

TEST_F(RecordTest, SetAudioFormatTakesConsistentPcmOnly) {
  WAVEFORMATEX w{WAVE_FORMAT_PCM, 2, 22050, 22050 * 4, 4, 16, 0};
  ASSERT_TRUE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof w, &w));
  WAVEFORMATEX back{};
  SendPtr(WM_CAP_GET_AUDIOFORMAT, sizeof back, &back);
  EXPECT_EQ(22050u, back.nSamplesPerSec);
  EXPECT_EQ(2, back.nChannels);
  EXPECT_EQ(16, back.wBitsPerSample);

  WAVEFORMATEX adpcm{2, 1, 11025, 5600, 256, 4, 0};
  EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof adpcm, &adpcm));
  WAVEFORMATEX wrongAlign{WAVE_FORMAT_PCM, 1, 11025, 11025, 2, 8, 0};
  EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, sizeof wrongAlign, &wrongAlign));
  EXPECT_FALSE(SendPtr(WM_CAP_SET_AUDIOFORMAT, 4, &w));  // too small to be a format
  SendPtr(WM_CAP_GET_AUDIOFORMAT, sizeof back, &back);
  EXPECT_EQ(22050u, back.nSamplesPerSec);  // unchanged by the refusals
}

TEST_F(RecordTest, CompressionDialogOpensOnTheParentAndCancelKeepsUncompressed) {
  LRESULT r = 1;
  DialogSeen seen = WithDialog([](HWND d) { PressButton(d, IDCANCEL); },
                               [&] { r = Send(WM_CAP_DLG_VIDEOCOMPRESSION); });
  ASSERT_TRUE(seen.appeared);
  EXPECT_FALSE(r);
  EXPECT_EQ(parent_, seen.owner);
  // Still uncompressed: a recording's frames are DIB chunks of the full size.
  std::string path = UseFile("rec_after_dialog.avi");
  Setup(1, [](CAPTUREPARMS& p) { p.fCaptureAudio = FALSE; });
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  std::string bytes = ReadWholeFile(path);
  size_t movi = bytes.find("movi");
  ASSERT_NE(std::string::npos, movi);
  EXPECT_EQ(0, bytes.compare(movi + 4, 4, "00db"));
}

TEST_F(RecordTest, WindowDestroyedWhileTheCompressionDialogIsUp) {
  HWND cap = cap_;
  LRESULT r = 1;
  DialogSeen seen = WithDialog(
      [&](HWND d) {
        DestroyWindow(cap);
        if (IsWindow(d)) PressButton(d, IDCANCEL);
      },
      [&] { r = SendMessageA(cap, WM_CAP_DLG_VIDEOCOMPRESSION, 0, 0); });
  cap_ = nullptr;
  ASSERT_TRUE(seen.appeared);
  EXPECT_FALSE(r);
  EXPECT_FALSE(IsWindow(cap));
  Recreate();
}
