// The save dialog prompt. The dialog is Wine's real one, watched and answered
// by the test; a hook on GetSaveFileNameA records what the prompt hands it
// (before passing the call on) for the fields the dialog does not show.
#include "tests/wine/app/test_driver_fixture.h"

#include <commdlg.h>

#include <cstring>

#include "tests/wine/support/dialog_watcher.h"
#include "tests/wine/support/import_hook.h"
#include "ui/file_prompt.h"

namespace driver_test {
namespace {

// One call of GetSaveFileNameA as the prompt made it.
struct SaveCall {
  int calls = 0;
  OPENFILENAMEA fields{};
  bool hasInitialDir = false;
  std::string initialDir;
  std::string title;
  std::string defaultExtension;
  std::string file;  // the file buffer's text on the way in
};

SaveCall g_call;
ImportHook* g_hook = nullptr;

BOOL WINAPI RecordingGetSaveFileName(OPENFILENAMEA* dialog) {
  g_call.calls++;
  g_call.fields = *dialog;
  g_call.hasInitialDir = dialog->lpstrInitialDir != nullptr;
  g_call.initialDir = dialog->lpstrInitialDir ? dialog->lpstrInitialDir : "";
  g_call.title = dialog->lpstrTitle ? dialog->lpstrTitle : "";
  g_call.defaultExtension = dialog->lpstrDefExt ? dialog->lpstrDefExt : "";
  g_call.file = dialog->lpstrFile ? dialog->lpstrFile : "";
  auto real = reinterpret_cast<BOOL(WINAPI*)(OPENFILENAMEA*)>(g_hook->original());
  return real(dialog);
}

// What the save dialog showed.
struct SaveDialog {
  bool seen = false;
  std::string title;
  std::string folder;
  std::string name;
  HWND owner = nullptr;
};

class FilePromptTest : public ContextTest {
 protected:
  void SetUp() override {
    ContextTest::SetUp();
    CreateCaptureWindow();
    g_call = SaveCall{};
    hook_ = new ImportHook("comdlg32.dll", "GetSaveFileNameA",
                           reinterpret_cast<void*>(&RecordingGetSaveFileName));
    g_hook = hook_;
    ASSERT_TRUE(hook_->installed());
    lstrcpynA(result_, "untouched", sizeof result_);
    lstrcpynA(g_context.settings.LastDir, "D:\\earlier\\take1.avi", sizeof g_context.settings.LastDir);
  }

  void TearDown() override {
    g_hook = nullptr;
    delete hook_;
    ContextTest::TearDown();
  }

  // Runs the prompt; once the dialog shows, records it and then either
  // cancels (answer null) or types `answer` as the name and confirms.
  int Prompt(const char* filter, const char* answer, SaveDialog* shown) {
    DialogWatcher watcher;
    watcher.SetAction([&](HWND dialog, const SeenDialog& seen) {
      shown->seen = true;
      shown->title = seen.caption;
      shown->owner = seen.owner;
      char text[MAX_PATH] = "";
      SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text, reinterpret_cast<LPARAM>(text));
      shown->folder = text;
      text[0] = '\0';
      SendMessageA(dialog, CDM_GETSPEC, sizeof text, reinterpret_cast<LPARAM>(text));
      shown->name = text;
      if (!answer) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      SendMessageA(dialog, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(answer));
      SendMessageA(dialog, CDM_SETCONTROLTEXT, cmb13, reinterpret_cast<LPARAM>(answer));
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    return PromptForFileName(result_, filter);
  }

  // A fresh folder under C:\ for the names the tests confirm.
  static std::string Folder(const char* relative) {
    CreateDirectoryA("C:\\morva_prompt_test", nullptr);
    std::string path = std::string("C:\\morva_prompt_test\\") + relative;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }

  ImportHook* hook_ = nullptr;
  char result_[kTextSize];
};

TEST_F(FilePromptTest, RootCaptureFileOpensInTheRootProposingItsName) {
  SaveDialog shown;
  EXPECT_EQ(0, Prompt(kVideoFilter, nullptr, &shown));
  ASSERT_TRUE(shown.seen);
  EXPECT_EQ("C:\\", shown.folder);
  EXPECT_EQ("CAPTURE", shown.name);
  EXPECT_EQ("Save Video As...", shown.title);
  EXPECT_EQ(g_context.mainWindow, shown.owner);
  EXPECT_EQ((std::vector<std::string>{"GET_CAPTURE_FILE 200"}), Log());
}

TEST_F(FilePromptTest, CancelLeavesResultAndLastDirAlone) {
  SaveDialog shown;
  EXPECT_EQ(0, Prompt(kImageFilter, nullptr, &shown));
  EXPECT_TRUE(shown.seen);
  EXPECT_STREQ("untouched", result_);
  EXPECT_STREQ("D:\\earlier\\take1.avi", g_context.settings.LastDir);
}

TEST_F(FilePromptTest, DialogFieldsWithTheVideoFilter) {
  SaveDialog shown;
  Prompt(kVideoFilter, nullptr, &shown);
  ASSERT_EQ(1, g_call.calls);
  const OPENFILENAMEA& f = g_call.fields;
  EXPECT_EQ(g_context.mainWindow, f.hwndOwner);
  EXPECT_EQ(kVideoFilter, f.lpstrFilter);
  EXPECT_EQ(0, std::memcmp(kVideoFilter, "Microsoft AVI\0*.avi\0All Files\0*.*\0\0", 36));
  EXPECT_EQ(nullptr, f.lpstrCustomFilter);
  EXPECT_EQ(0u, f.nFilterIndex);
  EXPECT_EQ(200u, f.nMaxFile);
  EXPECT_EQ(nullptr, f.lpstrFileTitle);
  EXPECT_EQ("C:\\", g_call.initialDir);
  EXPECT_EQ("CAPTURE", g_call.file);
  EXPECT_EQ("Save Video As...", g_call.title);
  EXPECT_EQ(0x802u, f.Flags);
  EXPECT_EQ("AVI", g_call.defaultExtension);
  EXPECT_EQ(nullptr, f.lpfnHook);
  EXPECT_EQ(nullptr, f.lpTemplateName);
  EXPECT_EQ(0, f.lCustData);
}

TEST_F(FilePromptTest, ImageFilterDefaultsToBitmapsUnderTheSameTitle) {
  SaveDialog shown;
  Prompt(kImageFilter, nullptr, &shown);
  ASSERT_EQ(1, g_call.calls);
  EXPECT_EQ(kImageFilter, g_call.fields.lpstrFilter);
  EXPECT_EQ(0, std::memcmp(kImageFilter, "Microsoft Bitmap\0*.bmp\0All Files\0*.*\0\0", 39));
  EXPECT_EQ("BMP", g_call.defaultExtension);
  EXPECT_EQ("Save Video As...", g_call.title);
  EXPECT_EQ("Save Video As...", shown.title);
}

TEST_F(FilePromptTest, DotInAFolderNameStaysInThatFolder) {
  const std::string folder = Folder("My.Dir");
  FakeCapApi().SetCaptureFile((folder + "\\clip.avi").c_str());
  SaveDialog shown;
  EXPECT_EQ(1, Prompt(kVideoFilter, "take2", &shown));
  EXPECT_EQ(folder, shown.folder);
  EXPECT_EQ("clip", shown.name);
  EXPECT_EQ(folder + "\\take2.avi", result_);
  EXPECT_EQ(folder + "\\take2.avi", g_context.settings.LastDir);
}

TEST_F(FilePromptTest, ConfirmedBitmapNameLandsInResultAndLastDir) {
  const std::string folder = Folder("stills");
  FakeCapApi().SetCaptureFile((folder + "\\video.avi").c_str());
  SaveDialog shown;
  EXPECT_EQ(1, Prompt(kImageFilter, "frame", &shown));
  EXPECT_EQ(folder + "\\frame.bmp", result_);
  EXPECT_STREQ(result_, g_context.settings.LastDir);
}

TEST_F(FilePromptTest, CaptureFileWithoutAFolderProposesItsNameWithNoStartingFolder) {
  FakeCapApi().SetCaptureFile("clip.avi");
  SaveDialog shown;
  EXPECT_EQ(0, Prompt(kVideoFilter, nullptr, &shown));
  ASSERT_EQ(1, g_call.calls);
  EXPECT_FALSE(g_call.hasInitialDir) << g_call.initialDir;
  EXPECT_EQ("clip", shown.name);
}

TEST_F(FilePromptTest, NoCaptureWindowShowsNoDialog) {
  DestroyWindow(g_context.captureWindow);
  g_context.captureWindow = nullptr;
  SaveDialog shown;
  EXPECT_EQ(0, Prompt(kVideoFilter, "never", &shown));
  EXPECT_FALSE(shown.seen);
  EXPECT_EQ(0, g_call.calls);
  EXPECT_STREQ("untouched", result_);
  EXPECT_STREQ("D:\\earlier\\take1.avi", g_context.settings.LastDir);
}

TEST_F(FilePromptTest, CaptureFileNotReportedShowsNoDialog) {
  FakeCapApi().SetAnswer(WM_CAP_FILE_GET_CAPTURE_FILEA, 0);
  SaveDialog shown;
  EXPECT_EQ(0, Prompt(kVideoFilter, "never", &shown));
  EXPECT_FALSE(shown.seen);
  EXPECT_EQ(0, g_call.calls);
  EXPECT_STREQ("untouched", result_);
}

}  // namespace
}  // namespace driver_test
