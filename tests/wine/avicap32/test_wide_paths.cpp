// File names through the wide requests: names outside the ANSI code page
// are used as given (tests/e2e/service_wide_names.sh reads the files back
// from Linux), and names too long fail with the reports of the ANSI forms.
#include "test_record_fixture.h"

namespace {

class WidePathTest : public RecordTest {
 protected:
  LRESULT SendW(UINT msg, const std::wstring& path) {
    return SendMessageW(cap_, msg, 0, reinterpret_cast<LPARAM>(path.c_str()));
  }
  std::wstring WideOut() {
    std::string out = OutFolder();
    return std::wstring(out.begin(), out.end());  // an ASCII folder
  }
};

TEST_F(WidePathTest, NamesOutsideTheCodePage) {
  const std::wstring avi = WideOut() + L"\\\u5f55\u50cf.avi";    // "recording"
  const std::wstring copy = WideOut() + L"\\\u526f\u672c.avi";   // "copy"
  const std::wstring bmp = WideOut() + L"\\\u56fe\u50cf.bmp";    // "picture"
  for (const std::wstring& name : {avi, copy, bmp}) DeleteFileW(name.c_str());
  Setup(1);
  ASSERT_TRUE(SendW(WM_CAP_FILE_SET_CAPTURE_FILEW, avi));
  WCHAR back[MAX_PATH];
  SendMessageW(cap_, WM_CAP_FILE_GET_CAPTURE_FILEW, MAX_PATH, reinterpret_cast<LPARAM>(back));
  EXPECT_EQ(avi, back);
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  EXPECT_TRUE(SendW(WM_CAP_FILE_SAVEASW, copy));
  EXPECT_TRUE(SendW(WM_CAP_FILE_SAVEDIBW, bmp));
  for (const std::wstring& name : {avi, copy, bmp})
    EXPECT_NE(GetFileAttributesW(name.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(ErrorReports().empty()) << ErrorReports()[0].text;

  // The ANSI requests keep the code page's meaning of their bytes.
  ASSERT_TRUE(SendPtr(WM_CAP_FILE_SET_CAPTURE_FILEA, 0, "C:\\caf\xE9.avi"));
  SendMessageW(cap_, WM_CAP_FILE_GET_CAPTURE_FILEW, MAX_PATH, reinterpret_cast<LPARAM>(back));
  WCHAR expected[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, "C:\\caf\xE9.avi", -1, expected, MAX_PATH);
  EXPECT_EQ(std::wstring(back), std::wstring(expected));
}

TEST_F(WidePathTest, TooLongNamesFailAsTheAnsiFormsDo) {
  Setup(1);
  UseFile("long_names.avi");
  ASSERT_TRUE(Send(WM_CAP_SEQUENCE));
  const std::wstring wide = WideOut() + L"\\" + std::wstring(MAX_PATH, L'\u5f55') + L".avi";
  const std::string ansi = OutFolder() + "\\" + std::string(MAX_PATH, 'a') + ".avi";
  struct Case {
    UINT wideMsg, ansiMsg;
    int id;
  } cases[] = {{WM_CAP_FILE_SAVEDIBW, WM_CAP_FILE_SAVEDIBA, IDS_CAP_ERRORDIBSAVE},
               {WM_CAP_FILE_SAVEASW, WM_CAP_FILE_SAVEASA, IDS_CAP_WRITEERROR},
               {WM_CAP_FILE_SET_CAPTURE_FILEW, WM_CAP_FILE_SET_CAPTURE_FILEA, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.wideMsg);
    ErrorReports().clear();
    EXPECT_FALSE(SendW(c.wideMsg, wide));
    EXPECT_FALSE(SendPtr(c.ansiMsg, 0, ansi.c_str()));
    std::vector<int> expected;
    if (c.id != 0) expected = {c.id, c.id};
    EXPECT_EQ(Ids(ErrorReports()), expected);
  }
}

}  // namespace
