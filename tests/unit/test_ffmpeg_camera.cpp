// The portable parts of the cameras read through ffmpeg: splitting the
// cameras file's Input, the stream's command line, the scripts' quoting,
// reading ffmpeg's log, choosing V4L2 nodes and importing packed frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/camera/camera_config.h"
#include "core/ffmpeg/ffmpeg_command.h"
#include "core/ffmpeg/ffmpeg_log.h"
#include "core/ffmpeg/video_devices.h"
#include "core/image/packed_bgr.h"

using capcore::Arguments;

namespace {

TEST(FfmpegCommand, SplitsInputsLikeAShell) {
  struct Case {
    const char* text;
    bool ok;
    Arguments args;
  } cases[] = {
      {"-f lavfi -i testsrc2=size=640x480:rate=30", true, {"-f", "lavfi", "-i", "testsrc2=size=640x480:rate=30"}},
      {"  -i \"/home/me/My Videos/a b.mkv\"\t", true, {"-i", "/home/me/My Videos/a b.mkv"}},
      {"-i \"say \\\"hi\\\"\"x", true, {"-i", "say \"hi\"x"}},
      {"-i \"unclosed", false, {}},
      {"   ", false, {}},
  };
  for (const Case& c : cases) {
    Arguments got;
    EXPECT_EQ(capcore::SplitArguments(c.text, &got), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(got, c.args) << c.text;
    }
  }
}

TEST(FfmpegCommand, OnlyRecordedSourcesAreReadAtTheirOwnRate) {
  struct Case {
    Arguments input;
    bool live;
  } cases[] = {
      {{"-f", "v4l2", "-i", "/dev/video0"}, true},
      {{"-i", "/dev/video2"}, true},
      {{"-i", "rtsp://cam.local/stream"}, true},
      {{"-f", "lavfi", "-i", "testsrc2"}, false},
      {{"-i", "/home/me/clip.mkv"}, false},
      {{"-i", "file:///home/me/clip.mkv"}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(capcore::IsLiveInput(c.input), c.live) << c.input.back();
    capcore::StreamRequest r;
    r.input = c.input;
    Arguments a = capcore::StreamArguments(r);
    bool re = false;
    for (const std::string& s : a) re = re || s == "-re";
    EXPECT_EQ(re, !c.live) << c.input.back();
  }
}

TEST(FfmpegCommand, StreamsRawBgrToTheLoopbackPortScalingOnlyWhenAsked) {
  capcore::StreamRequest r;
  r.input = {"-re", "-f", "lavfi", "-i", "testsrc2"};
  r.width = 320;
  r.height = 240;
  r.fps = 30;
  r.port = 40123;
  Arguments a = capcore::StreamArguments(r);
  Arguments tail(a.end() - 9, a.end());
  EXPECT_EQ(tail, (Arguments{"-f", "rawvideo", "-pix_fmt", "bgr24", "-s", "320x240", "-r", "30",
                             "tcp://127.0.0.1:40123"}));
  int re = 0;
  for (const std::string& s : a) re += s == "-re";
  EXPECT_EQ(re, 1);  // the input's own, not a second one
  EXPECT_EQ(std::find(a.begin(), a.end(), "-vf"), a.end());
  r.scale = true;
  a = capcore::StreamArguments(r);
  auto vf = std::find(a.begin(), a.end(), "-vf");
  ASSERT_NE(vf, a.end());
  EXPECT_EQ(*(vf + 1), "scale=320:240");
}

TEST(FfmpegCommand, QuotesForTheShellAndForAWindowsCommandLine) {
  struct Case {
    const char* arg;
    const char* shell;
    const char* windows;
  } cases[] = {
      {"plain", "'plain'", "plain"},
      {"it's", "'it'\\''s'", "it's"},
      {"a b", "'a b'", "\"a b\""},
      {"say \"x\"", "'say \"x\"'", "\"say \\\"x\\\"\""},
      {"C:\\dir\\ x\\", "'C:\\dir\\ x\\'", "\"C:\\dir\\ x\\\\\""},
      {"", "''", "\"\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(capcore::ShellQuote(c.arg), c.shell) << c.arg;
    EXPECT_EQ(capcore::WindowsQuote(c.arg), c.windows) << c.arg;
  }
}

TEST(FfmpegCommand, StreamScriptWritesItsPidWatchesAndBecomesFfmpeg) {
  capcore::ScriptFiles f{"/tmp/m", "/tmp/m/pid", "/tmp/m/stop", "/tmp/m/log"};
  std::string s = capcore::StreamScript("/usr/bin/ffmpeg", {"-i", "it's"}, f, 4242);
  EXPECT_EQ(s.find(capcore::AliveFunction() + "echo $$ > '/tmp/m/pid'; "), 0u);
  EXPECT_NE(s.find("[ ! -e '/tmp/m/stop' ]"), std::string::npos);
  EXPECT_NE(s.find("alive 4242"), std::string::npos);
  EXPECT_EQ(s.find("kill -0"), std::string::npos);  // a zombie would pass it
  EXPECT_NE(s.find("kill -9 -$$"), std::string::npos);  // the whole process group
  EXPECT_NE(s.find("exec '/usr/bin/ffmpeg' '-i' 'it'\\''s' </dev/null >/dev/null 2>'/tmp/m/log'"), std::string::npos);
  std::string p = capcore::ProbeScript("/usr/bin/ffmpeg", {"-i", "x"}, f, 8);
  EXPECT_EQ(p.find("timeout --foreground -s KILL 8 "), 0u);
  EXPECT_NE(p.find("mv -f '/tmp/m/log.part' '/tmp/m/log'"), std::string::npos);
}

TEST(FfmpegLog, FindsTheSourceSizeTheDeviceSizesAndTheLastWord) {
  const char* probe =
      "Input #0, lavfi, from 'testsrc2=size=320x200:rate=30':\n"
      "  Duration: N/A, start: 0.000000, bitrate: N/A\n"
      "  Stream #0:0: Video: rawvideo (I420 / 0x30323449), yuv420p, 320x200 [SAR 1:1 DAR 8:5], 30 tbr\n"
      "Output #0, null, to 'pipe:':\n"
      "  Stream #0:0: Video: wrapped_avframe, yuv420p, 640x480, q=2-31\n";
  capcore::PictureSize size{0, 0};
  ASSERT_TRUE(capcore::ParseSourceSize(probe, &size));
  EXPECT_EQ(size.width, 320);
  EXPECT_EQ(size.height, 200);
  EXPECT_FALSE(capcore::ParseSourceSize("Output #0, null:\n  Stream #0:0: Video: x, 640x480\n", &size));

  const char* formats =
      "[video4linux2,v4l2 @ 0x55] Raw       :     yuyv422 :           YUYV 4:2:2 : 640x480 160x120 1280x720\n"
      "[video4linux2,v4l2 @ 0x55] Compressed:       mjpeg :          Motion-JPEG : 1280x720 1920x1080\n"
      "[video4linux2,v4l2 @ 0x55] Raw       :     yuyv422 :           YUYV 4:2:2 : {32-4096, 2}x{32-4096, 2}\n"
      "/dev/video0: Immediate exit requested\n";
  std::vector<capcore::PictureSize> sizes = capcore::ParseDeviceSizes(formats);
  ASSERT_EQ(sizes.size(), 4u);
  EXPECT_EQ(sizes[0].width, 640);
  EXPECT_EQ(sizes[2].height, 720);
  EXPECT_EQ(sizes[3].width, 1920);

  EXPECT_EQ(capcore::LastLogLine("[v4l2 @ 0x1] Cannot open video device /dev/video9: No such file\n\n  \n", 200),
            "Cannot open video device /dev/video9: No such file");
  EXPECT_EQ(capcore::LastLogLine("abcdef", 3), "abc");
  EXPECT_EQ(capcore::LastLogLine("", 10), "");
}

TEST(VideoDevices, OffersCaptureNodesWithADeviceInNumberOrder) {
  std::vector<capcore::VideoNode> nodes = {
      {"video10", "Second cam\n", "0\n", true},
      {"video1", "HD Webcam\n", "1\n", true},  // the webcam's metadata node
      {"video0", "HD Webcam\n", "0\n", true},
      {"video3", "Gone\n", "0\n", false},       // no /dev node
      {"video2", "\n", "", true},              // no name, no index file
      {"vbi0", "Teletext\n", "0\n", true},
  };
  std::vector<capcore::VideoCamera> got = capcore::SelectVideoCameras(nodes);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].device, "/dev/video0");
  EXPECT_EQ(got[0].name, "HD Webcam");
  EXPECT_EQ(got[1].device, "/dev/video2");
  EXPECT_EQ(got[1].name, "video2");
  EXPECT_EQ(got[2].device, "/dev/video10");
}

TEST(PackedBgr, ImportsTopDownRowsIntoEachDepthBottomUp) {
  capcore::FrameFormat f;
  f.width = 3;
  f.height = 2;
  // Top row: pure blue, green, red; bottom row: white, grey, black.
  const uint8_t packed[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 128, 128, 128, 0, 0, 0};
  struct Case {
    int bits;
    std::vector<uint8_t> firstStoredRow;  // the bottom row, padded to 4 bytes
  } cases[] = {
      {24, {255, 255, 255, 128, 128, 128, 0, 0, 0, 0, 0, 0}},
      {32, {255, 255, 255, 0, 128, 128, 128, 0, 0, 0, 0, 0}},
      {16, {0xFF, 0x7F, 0x10, 0x42, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    f.bitCount = c.bits;
    std::vector<uint8_t> out(capcore::FrameBytes(f), 0xAA);
    ASSERT_TRUE(capcore::ImportPackedBgr(f, packed, sizeof packed, out.data(), out.size())) << c.bits;
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + c.firstStoredRow.size()), c.firstStoredRow) << c.bits;
    EXPECT_FALSE(capcore::ImportPackedBgr(f, packed, sizeof packed - 1, out.data(), out.size())) << c.bits;
  }
  f.bitCount = 24;
  std::vector<uint8_t> out(capcore::FrameBytes(f));
  ASSERT_TRUE(capcore::ImportPackedBgr(f, packed, sizeof packed, out.data(), out.size()));
  EXPECT_EQ(out[12], 255);  // the top row comes last: blue first
  EXPECT_EQ(out[20], 255);  // red's R
}

TEST(CameraConfig, InputMakesAnFfmpegCameraWithItsOwnDefaults) {
  capcore::ConfigParse r = capcore::ParseCameraConfig(
      "[Driver2]\nDescription=Test source\nInput=-f lavfi -i testsrc2=size=640x480:rate=30\n"
      "[Driver3]\nInput=-f v4l2 -i /dev/video0\nSizes=1280x720\nSourceDialog=1\n"
      "[Driver4]\nInput=\n");
  EXPECT_FALSE(r.ok);  // an empty Input is a bad value
  r = capcore::ParseCameraConfig(
      "[Driver2]\nDescription=Test source\nInput=-f lavfi -i testsrc2=size=640x480:rate=30\n"
      "[Driver3]\nInput=-f v4l2 -i /dev/video0\nSizes=1280x720\nSourceDialog=1\n");
  ASSERT_TRUE(r.ok) << r.error;
  const capcore::DriverConfig& a = r.list.drivers[2];
  EXPECT_TRUE(a.IsFfmpeg());
  EXPECT_FALSE(a.sizesGiven);
  ASSERT_FALSE(a.sizes.empty());
  EXPECT_EQ(a.sizes[0].width, 640);
  EXPECT_FALSE(a.hasSourceDialog);
  const capcore::DriverConfig& b = r.list.drivers[3];
  EXPECT_TRUE(b.sizesGiven);
  ASSERT_EQ(b.sizes.size(), 1u);
  EXPECT_FALSE(b.hasSourceDialog);  // no source dialog for a real camera
  EXPECT_FALSE(r.list.drivers[0].IsFfmpeg());
}

}  // namespace
