#include "archive/batch_run.h"

#include <algorithm>
#include <array>

namespace {
const char idleCaption[] = "Selvat Archiver";
const char busyCaption[] = "Selvat Archiver [圧縮中]";
const char progressText[] = "ESC で中止します。 ";
const char declinedReason[] = "同名の書庫ファイルへの追加書き込みを取りやめました。";

const unsigned archiverOutputSize = 256;

// The archiver's message about a failed item, read no further than the
// buffer even where a library leaves it unterminated; a library that says
// nothing still has its result shown.
std::string failureReason(const char* output, int result) {
  std::string message(output, std::find(output, output + archiverOutputSize, '\0'));
  if (!message.empty()) return message;
  return "圧縮できませんでした (エラーコード " + std::to_string(result) + ")。";
}

// Clears a flag when the scope ends, however it ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};
}  // namespace

void BatchRun::start(BatchHost& host) {
  if (inProgress_) return;
  if (host.inputCount() == 0) {
    host.warnListEmpty();
    return;
  }
  FlagScope running(inProgress_);
  waitCursor_ = false;
  host_ = &host;
  try {
    runAll(host);
    host_ = nullptr;
  } catch (...) {
    host_ = nullptr;
    // Do not leave the window claiming to work.
    restoreCursor(host);
    host.setCaption(idleCaption);
    host.setStatusText("");
    throw;
  }
}

void BatchRun::runAll(BatchHost& host) {
  host.setCaption(busyCaption);
  host.clearErrors();
  total_ = std::to_string(host.inputCount());
  shownNumber_ = 0;
  listChanged_ = false;
  for (number_ = 1; host.inputCount() > 0; ++number_) {
    repaintWhenDue(host);
    if (host.escapeDown()) {
      prepareForBox(host);
      if (host.askToStop()) break;
    }
    if (archiveFirst(host) == Pass::Stop) break;
  }
  finish(host);
}

// One pass: the first item archived, skipped or failed, and then removed;
// or the run stopped with the item kept because the archiver is busy.
BatchRun::Pass BatchRun::archiveFirst(BatchHost& host) {
  showWaitCursor(host);
  const std::string item = host.firstInput();
  const TArchiveOptions options = host.readOptions();
  const std::string archivePath = MakeArchiveName(item, options);
  if (host.fileExists(archivePath)) {
    prepareForBox(host);
    if (!host.askToAddTo(archivePath)) {
      host.addError("[Cancel] " + item, declinedReason);
      host.deleteFirstInput();
      listChanged_ = true;
      return Pass::Next;
    }
    showWaitCursor(host);
  }
  const std::string commandLine = MakeCommandLine(item, archivePath, options);
  if (host.archiverRunning()) {
    prepareForBox(host);
    host.warnArchiverBusy();
    return Pass::Stop;
  }
  std::array<char, archiverOutputSize> output{};
  const int result = host.runArchiver(commandLine, output.data(), archiverOutputSize);
  if (result != 0) host.addError("[Error] " + item, failureReason(output.data(), result));
  host.deleteFirstInput();
  listChanged_ = true;
  return Pass::Next;
}

void BatchRun::finish(BatchHost& host) {
  restoreCursor(host);
  host.setCaption(idleCaption);
  host.setStatusText("");
  host.update();
  host.beep();
}

void BatchRun::showAsItIs() {
  if (host_) repaintIfChanged(*host_);
}

void BatchRun::repaintWhenDue(BatchHost& host) {
  if (shownNumber_ == 0 || host.milliseconds() - repaintedAt_ >= repaintEvery) repaint(host);
}

void BatchRun::repaintIfChanged(BatchHost& host) {
  if (shownNumber_ != number_ || listChanged_) repaint(host);
}

void BatchRun::repaint(BatchHost& host) {
  host.setStatusText(progressText + std::to_string(number_) + "/" + total_);
  host.update();
  shownNumber_ = number_;
  listChanged_ = false;
  repaintedAt_ = host.milliseconds();
}

// A box comes over the window as it is now, with the cursor the user had.
void BatchRun::prepareForBox(BatchHost& host) {
  restoreCursor(host);
  repaintIfChanged(host);
}

void BatchRun::showWaitCursor(BatchHost& host) {
  if (waitCursor_) return;
  host.showWaitCursor();
  waitCursor_ = true;
}

void BatchRun::restoreCursor(BatchHost& host) {
  if (!waitCursor_) return;
  host.restoreCursor();
  waitCursor_ = false;
}
