// The batch run, as the main window drives it: the window gives the run its
// lists, caption, status bar, boxes, cursor and the archiver.
#include <chrono>

#include "app/boxes.h"
#include "app/selvat_main.h"
#include "archive/batch_run.h"
#include "forms/screen.h"

namespace {
// The Escape that makes the run ask must not also answer, nor must any key
// typed while the run took no messages: they wait in the queue, and the
// question box would take them (Wine closes a Yes/No box on Escape). So
// they go right before each box of the run.
void discardQueuedKeys() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

// Removing an item from a list box updates its scroll bar at once, which
// costs Wine several milliseconds each time: the input list stops drawing
// from the first item done with until the next repaint, and shows then
// what is left, in one go.
class WindowBatchHost : public BatchHost {
 public:
  explicit WindowBatchHost(TSelvatForm& form) : form_(form) {}
  ~WindowBatchHost() override { releaseList(); }
  WindowBatchHost(const WindowBatchHost&) = delete;
  WindowBatchHost& operator=(const WindowBatchHost&) = delete;

  int inputCount() override { return form_.InputList.Count(); }
  std::string firstInput() override { return form_.InputList.Item(0); }
  void deleteFirstInput() override {
    if (!listHeld_) {
      form_.InputList.BeginUpdate();
      listHeld_ = true;
    }
    form_.DeleteInput(0);
  }
  void clearErrors() override { form_.ClearErrorsForRun(); }
  void addError(const std::string& line, const std::string& reason) override {
    form_.AddErrorLine(line, reason);
  }
  void setCaption(const std::string& caption) override { form_.SetCaption(caption); }
  void setStatusText(const std::string& text) override { form_.StatusBar1.SetSimpleText(text); }
  void update() override {
    releaseList();
    form_.Update();
  }
  std::uint64_t milliseconds() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  bool escapeDown() override {
    if (GetAsyncKeyState(VK_ESCAPE) >= 0) return false;
    discardQueuedKeys();
    return true;
  }
  void warnListEmpty() override {
    beforeBox();
    showWarning("ファイルリストが空です。");
  }
  bool askToStop() override {
    beforeBox();
    return confirm("処理を中止しますか？");
  }
  bool askToAddTo(const std::string& archivePath) override {
    beforeBox();
    return confirm(archivePath + "\nと同名の書庫ファイルがあります。\n追加書き込みしますか？");
  }
  void warnArchiverBusy() override {
    beforeBox();
    showWarning(
        "他のアプリケーションで、ZIP32J.DLLが使用中です。\n"
        "該当するアプリケーションを終了してから再実行して下さい。");
  }
  void showWaitCursor() override {
    cursorBefore_ = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
  }
  void restoreCursor() override { Screen->SetCursor(cursorBefore_); }
  bool fileExists(const std::string& path) override { return fileExistsAt(path); }
  void beep() override { MessageBeep(0); }
  TArchiveOptions readOptions() override { return form_.ReadArchiveOptions(); }
  bool archiverRunning() override { return form_.Dll.IsRunning(); }
  int runArchiver(const std::string& commandLine, char* output, unsigned size) override {
    return form_.Dll.Execute(form_.Handle(), commandLine.c_str(), output, size);
  }

 private:
  void beforeBox() {
    releaseList();
    discardQueuedKeys();
  }
  void releaseList() {
    if (!listHeld_) return;
    listHeld_ = false;
    form_.InputList.EndUpdate();
  }

  TSelvatForm& form_;
  bool listHeld_ = false;
  int cursorBefore_ = crDefault;
};
}  // namespace

void TSelvatForm::ArcStartButtonClick(TObject*) {
  WindowBatchHost host(*this);
  Batch.start(host);
}

TArchiveOptions TSelvatForm::ReadArchiveOptions() {
  TArchiveOptions options;
  options.OutDirCheck = OutDirCheck.Checked();
  options.OutDirEdit = OutDirEdit.Text();
  options.ArcName = arcNameFromMenu(ArcName_File.Checked(), ArcName_UnderBar.Checked());
  options.ArcRate = FArcRate;
  options.NoDialog = NoDialog.Checked();
  return options;
}
