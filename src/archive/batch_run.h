#pragma once
// The batch archiving run behind the Start button: every input item, first
// item first, becomes an archive of its own. The run reaches the main
// window, the keyboard, the file system and the archiver library only
// through BatchHost, so the whole sequence runs without a window.
#include <cstdint>
#include <string>

#include "archive/archive_name.h"

// What the run needs of the main window and the archiver library.
class BatchHost {
 public:
  virtual ~BatchHost() = default;

  // The input list.
  virtual int inputCount() = 0;
  virtual std::string firstInput() = 0;
  virtual void deleteFirstInput() = 0;
  // The error list: each line with the reason shown when it is selected.
  virtual void clearErrors() = 0;
  virtual void addError(const std::string& line, const std::string& reason) = 0;
  // The window: caption, status-bar text, and an immediate repaint.
  virtual void setCaption(const std::string& caption) = 0;
  virtual void setStatusText(const std::string& text) = 0;
  virtual void update() = 0;
  // A steady clock, in milliseconds.
  virtual std::uint64_t milliseconds() = 0;
  // True while the Escape key is held down at this moment.
  virtual bool escapeDown() = 0;
  // The run's boxes, each modal over the window. A question is true only
  // when the user answered Yes.
  virtual void warnListEmpty() = 0;
  virtual bool askToStop() = 0;
  virtual bool askToAddTo(const std::string& archivePath) = 0;
  virtual void warnArchiverBusy() = 0;
  // The wait cursor over every window of the program, and back to the
  // cursor shown before it; the run calls them in turn.
  virtual void showWaitCursor() = 0;
  virtual void restoreCursor() = 0;
  // True only when a file (not a folder) exists at path.
  virtual bool fileExists(const std::string& path) = 0;
  virtual void beep() = 0;  // MessageBeep(0)
  // The option values the controls show now.
  virtual TArchiveOptions readOptions() = 0;
  // The archiver library: busy or not, and one archive made from a command
  // line (0 for success); output receives the library's message, which
  // becomes the reason of a failed item.
  virtual bool archiverRunning() = 0;
  virtual int runArchiver(const std::string& commandLine, char* output, unsigned size) = 0;
};

#ifdef _WIN32
// The file-existence test the run needs, on the real file system.
bool fileExistsAt(const std::string& path);
#endif

// One batch run at a time. The form keeps one and lets its list handlers
// and Start do nothing while inProgress(): the archiver's window pumps
// messages during an archive, and the run counts on its first item.
//
// The window shows the run as far as it has come whenever the user can
// look at it: it is repainted at the first item, then at most every
// repaintEvery milliseconds (a run of small archives would otherwise spend
// more time repainting than archiving), before every message box, and
// after the last item, and when the archiver's own window comes up over it
// (showAsItIs). The wait cursor stays from the first item to the end
// of the run, put back only while a box is shown.
class BatchRun {
 public:
  static constexpr std::uint64_t repaintEvery = 100;

  // The whole run: the empty-list warning, or every item archived until
  // the list is empty, the user stops, or the archiver is busy. Does
  // nothing while a run is already under way. When something throws inside
  // the run, caption, status text and cursor are put back, the item of the
  // pass under way stays first, and the exception goes on to the caller.
  void start(BatchHost& host);
  bool inProgress() const { return inProgress_; }
  // While a run is under way: the window is about to be looked at (the
  // archiver shows a window of its own over it), so it is repainted as far
  // as the run has come.
  void showAsItIs();

 private:
  enum class Pass { Next, Stop };
  void runAll(BatchHost& host);
  Pass archiveFirst(BatchHost& host);
  void finish(BatchHost& host);
  // Repaints when due, or (at once) when anything changed since the last repaint.
  void repaintWhenDue(BatchHost& host);
  void repaintIfChanged(BatchHost& host);
  void repaint(BatchHost& host);
  void prepareForBox(BatchHost& host);
  void showWaitCursor(BatchHost& host);
  void restoreCursor(BatchHost& host);

  bool inProgress_ = false;
  BatchHost* host_ = nullptr;  // the host of the run under way
  bool waitCursor_ = false;
  std::string total_;
  int number_ = 0;            // the pass under way
  int shownNumber_ = 0;       // the pass the window showed at its last repaint
  bool listChanged_ = false;  // items removed or errors added since then
  std::uint64_t repaintedAt_ = 0;
};
