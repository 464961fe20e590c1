#include "archive/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <new>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "os/file_system.h"

namespace {

using Lines = std::vector<std::string>;

const std::uint32_t fileAttr = 32, folderAttr = 16, missing = 0xFFFFFFFF;
const bool yes = true, no = false;

// A box of the run: which one, and whether the wait cursor was up while it
// was shown. (Their texts are the window's: tests/win/form.)
struct Box {
  std::string what;
  bool waitCursor = false;
  bool operator==(const Box& other) const {
    return what == other.what && waitCursor == other.waitCursor;
  }
};
using Boxes = std::vector<Box>;

void PrintTo(const Box& box, std::ostream* out) {
  *out << "{" << box.what << (box.waitCursor ? ", wait cursor" : "") << "}";
}

const Box emptyListBox{"list empty"};
const Box stopBox{"stop?"};
const Box busyBox{"archiver busy"};
Box existingBox(const std::string& archivePath) {
  return {"add to " + archivePath + "?"};
}

// The main window and the archiver library as a script: the lists and
// texts are plain members, questions take their answers in turn, and the
// archiver answers through a function.
class ScriptedHost : public BatchHost {
 public:
  std::deque<std::string> inputs;
  Lines errors{"[Error] from the last run"};
  std::string caption = "Selvat Archiver", status;
  bool waitCursor = false;
  int beeps = 0;
  TArchiveOptions options;
  std::map<std::string, std::uint32_t> entries;  // what is on disk

  std::set<int> escapeAtPass;  // pass numbers with Escape held down
  int escapePolls = 0;         // one at each pass
  std::deque<bool> answers;    // answers to the questions, in turn
  int busyAtArchive = 0;       // the archive number (1, 2, ...) found busy
  std::function<int(const std::string& line)> archiver = [](const std::string&) { return 0; };
  std::string archiverOutput;  // what the archiver writes into its buffer, all of it
  // The clock: an archive and an answer each take this long.
  std::uint64_t clock = 0;
  std::uint64_t msPerArchive = 1000;

  // What the run did.
  Lines repainted;     // the status text at each repaint
  Lines shownAtBoxes;  // the status text the window showed when each box came
  std::vector<Box> boxes;
  Lines commandLines;
  std::vector<bool> waitCursorWhileArchiving;
  Lines reasons;  // of each error line

  int inputCount() override { return static_cast<int>(inputs.size()); }
  std::string firstInput() override {
    if (!inputs.empty()) return inputs.front();
    ADD_FAILURE() << "first item of an empty list";
    return {};
  }
  void deleteFirstInput() override {
    if (!inputs.empty())
      inputs.pop_front();
    else
      ADD_FAILURE() << "deleting from an empty list";
  }
  void clearErrors() override { errors.clear(); }
  void addError(const std::string& line, const std::string& reason) override {
    errors.push_back(line);
    reasons.push_back(reason);
  }
  void setCaption(const std::string& text) override { caption = text; }
  void setStatusText(const std::string& text) override { status = text; }
  void update() override { repainted.push_back(status); }
  std::uint64_t milliseconds() override { return clock; }
  bool escapeDown() override { return escapeAtPass.count(++escapePolls) > 0; }
  void warnListEmpty() override { show(emptyListBox.what); }
  bool askToStop() override { return ask(stopBox.what); }
  bool askToAddTo(const std::string& archivePath) override {
    return ask(existingBox(archivePath).what);
  }
  void warnArchiverBusy() override { show(busyBox.what); }
  void showWaitCursor() override {
    EXPECT_FALSE(waitCursor) << "the wait cursor shown over itself";
    waitCursor = true;
  }
  void restoreCursor() override {
    EXPECT_TRUE(waitCursor) << "a cursor put back that was not replaced";
    waitCursor = false;
  }
  bool fileExists(const std::string& path) override {
    auto entry = entries.find(path);
    return existsAsFile(entry == entries.end() ? missing : entry->second);
  }
  void beep() override { ++beeps; }
  TArchiveOptions readOptions() override { return options; }
  bool archiverRunning() override {
    return static_cast<int>(commandLines.size()) + 1 == busyAtArchive;
  }
  int runArchiver(const std::string& line, char* output, unsigned size) override {
    EXPECT_NE(output, nullptr);
    EXPECT_EQ(size, 256u);
    commandLines.push_back(line);
    waitCursorWhileArchiving.push_back(waitCursor);
    std::copy_n(archiverOutput.begin(), std::min<size_t>(archiverOutput.size(), size), output);
    clock += msPerArchive;
    return archiver(line);
  }

 private:
  void show(const std::string& what) {
    boxes.push_back({what, waitCursor});
    shownAtBoxes.push_back(repainted.empty() ? "" : repainted.back());
    clock += 1000;
  }
  bool ask(const std::string& question) {
    show(question);
    EXPECT_FALSE(answers.empty()) << "unexpected question: " << question;
    if (answers.empty()) return no;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

std::string progressAt(int n, int total) {
  return "ESC で中止します。 " + std::to_string(n) + "/" + std::to_string(total);
}

// The status at the repaint of each pass, and the empty one after the last item.
Lines progress(int from, int to, int total) {
  Lines texts;
  for (int n = from; n <= to; ++n) texts.push_back(progressAt(n, total));
  texts.push_back("");
  return texts;
}

std::string line(const std::string& archive, const std::string& item) {
  return "-6 -j \"" + archive + "\" \"" + item + "\"";
}

class BatchRunTest : public testing::Test {
 protected:
  void SetUp() override {
    host.options.ArcName = ArcNameFile;
    host.inputs = {R"(C:\Data\a.txt)", R"(C:\Data\b.txt)", R"(C:\Data\c.txt)"};
  }
  // Caption, status text and cursor as before the run, and one beep.
  void expectEndedNormally() {
    EXPECT_EQ(host.caption, "Selvat Archiver");
    EXPECT_EQ(host.status, "");
    EXPECT_FALSE(host.waitCursor);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_FALSE(batch.inProgress());
  }

  // Items f1.txt to fN.txt, each archived in a millisecond.
  void quickItems(int count) {
    host.inputs.clear();
    for (int n = 1; n <= count; ++n)
      host.inputs.push_back("C:\\Data\\f" + std::to_string(n) + ".txt");
    host.msPerArchive = 1;
  }

  ScriptedHost host;
  BatchRun batch;
};

TEST_F(BatchRunTest, EmptyListOnlyWarns) {
  host.inputs.clear();
  host.caption = "anything";
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{emptyListBox});
  EXPECT_EQ(host.errors, Lines{"[Error] from the last run"});
  EXPECT_EQ(host.caption, "anything");
  EXPECT_TRUE(host.repainted.empty());
  EXPECT_EQ(host.beeps, 0);
}

TEST_F(BatchRunTest, WorksThroughTheList) {
  std::vector<std::string> captionsWhileArchiving;
  host.archiver = [&](const std::string&) {
    captionsWhileArchiving.push_back(host.caption);
    return 0;
  };
  batch.start(host);
  EXPECT_EQ(host.repainted, progress(1, 3, 3));
  EXPECT_EQ(host.commandLines, (Lines{line(R"(C:\Data\a.zip)", R"(C:\Data\a.txt)"),
                                      line(R"(C:\Data\b.zip)", R"(C:\Data\b.txt)"),
                                      line(R"(C:\Data\c.zip)", R"(C:\Data\c.txt)")}));
  EXPECT_EQ(host.waitCursorWhileArchiving, std::vector<bool>(3, true));
  EXPECT_EQ(captionsWhileArchiving, Lines(3, "Selvat Archiver [圧縮中]"));
  EXPECT_TRUE(host.inputs.empty());
  EXPECT_TRUE(host.errors.empty());
  EXPECT_TRUE(host.boxes.empty());
  expectEndedNormally();
}

// Items done in a millisecond each: the window is repainted at the first,
// then once repaintEvery has passed, and after the last.
TEST_F(BatchRunTest, QuickItemsRepaintAtMostEveryFewTensOfMilliseconds) {
  quickItems(250);
  batch.start(host);
  static_assert(BatchRun::repaintEvery == 100);
  EXPECT_EQ(host.repainted,
            (Lines{progressAt(1, 250), progressAt(101, 250), progressAt(201, 250), ""}));
  EXPECT_EQ(host.commandLines.size(), 250u);
  EXPECT_EQ(host.waitCursorWhileArchiving, std::vector<bool>(250, true));
  EXPECT_TRUE(host.inputs.empty());
  expectEndedNormally();
}

// Between repaints a box still comes over the window as the run has got:
// the item it asks about counted, the arrow cursor back.
TEST_F(BatchRunTest, ABoxShowsTheWindowAsTheRunHasGot) {
  quickItems(250);
  host.entries["C:\\Data\\f60.zip"] = fileAttr;
  host.escapeAtPass = {150};
  host.answers = {yes, no};
  batch.start(host);
  EXPECT_EQ(host.shownAtBoxes, (Lines{progressAt(60, 250), progressAt(150, 250)}));
  EXPECT_EQ(host.boxes, (Boxes{existingBox("C:\\Data\\f60.zip"), stopBox}));
  EXPECT_EQ(host.waitCursorWhileArchiving, std::vector<bool>(250, true));
  EXPECT_EQ(host.repainted.back(), "");
  expectEndedNormally();
}

// An archive that takes long: the archiver's window comes up over the main
// window, which then shows how far the run has come, however quick the
// items before were.
TEST_F(BatchRunTest, TheArchiversWindowComesOverTheWindowAsTheRunHasGot) {
  quickItems(250);
  Lines shown;
  std::size_t repaints = 0;
  host.archiver = [&](const std::string& line) {
    if (line.find("f150.txt") != std::string::npos) {
      batch.showAsItIs();
      shown.push_back(host.repainted.back());
      repaints = host.repainted.size();
      batch.showAsItIs();  // nothing changed since
      EXPECT_EQ(host.repainted.size(), repaints);
    }
    return 0;
  };
  batch.start(host);
  EXPECT_EQ(shown, Lines{progressAt(150, 250)});
  batch.showAsItIs();  // no run: nothing to show
  EXPECT_EQ(host.repainted.back(), "");
  expectEndedNormally();
}

TEST_F(BatchRunTest, OptionsAreReadAnewForEveryItem) {
  host.options.NoDialog = true;
  host.archiver = [&](const std::string&) {
    host.options.ArcName = ArcNameUnderBar;
    host.options.ArcRate = 9;
    host.options.NoDialog = false;
    host.options.OutDirCheck = true;
    host.options.OutDirEdit = R"(D:\[Out]\)";
    return 0;
  };
  host.inputs = {R"(C:\Data\[1].txt)", R"(C:\Data\[2].txt)"};
  batch.start(host);
  EXPECT_EQ(host.commandLines, (Lines{R"(-6 -q -j "C:\Data\[1].zip" "C:\Data\[[]1].txt")",
                                      R"(-9 -j "D:\[Out]\[2]_txt.zip" "C:\Data\[[]2].txt")"}));
}

TEST_F(BatchRunTest, EscapeAnsweredYesStopsBeforeTheItem) {
  host.escapeAtPass = {1};
  host.answers = {yes};
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{stopBox});
  EXPECT_TRUE(host.commandLines.empty());
  EXPECT_EQ(host.inputs.size(), 3u);
  EXPECT_TRUE(host.errors.empty());  // the last run's lines are gone
  expectEndedNormally();
}

TEST_F(BatchRunTest, EscapeAnsweredNoGoesOnWithTheItem) {
  host.escapeAtPass = {2};
  host.answers = {no};
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{stopBox});
  EXPECT_EQ(host.commandLines.size(), 3u);
  EXPECT_TRUE(host.inputs.empty());
  expectEndedNormally();
}

TEST_F(BatchRunTest, EscapeAtTheSecondPassKeepsTheRest) {
  host.escapeAtPass = {2};
  host.answers = {yes};
  batch.start(host);
  EXPECT_EQ(host.commandLines.size(), 1u);
  EXPECT_EQ(host.inputs, (std::deque<std::string>{R"(C:\Data\b.txt)", R"(C:\Data\c.txt)"}));
  expectEndedNormally();
}

TEST_F(BatchRunTest, BusyAtTheSecondOfFiveStopsWithTheItemKept) {
  host.inputs.push_back(R"(C:\Data\d.txt)");
  host.inputs.push_back(R"(C:\Data\e.txt)");
  host.busyAtArchive = 2;
  batch.start(host);
  EXPECT_EQ(host.commandLines, Lines{line(R"(C:\Data\a.zip)", R"(C:\Data\a.txt)")});
  EXPECT_EQ(host.repainted, progress(1, 2, 5));
  EXPECT_EQ(host.boxes, Boxes{busyBox});
  EXPECT_EQ(host.inputs.size(), 4u);
  EXPECT_EQ(host.inputs.front(), R"(C:\Data\b.txt)");
  EXPECT_TRUE(host.errors.empty());
  expectEndedNormally();
}

TEST_F(BatchRunTest, FailingItemIsListedAndTheRunGoesOn) {
  host.archiver = [](const std::string& line) {
    return line.find("b.txt") != std::string::npos ? 3 : 0;
  };
  batch.start(host);
  EXPECT_EQ(host.commandLines.size(), 3u);
  EXPECT_EQ(host.errors, Lines{R"([Error] C:\Data\b.txt)"});
  EXPECT_TRUE(host.inputs.empty());
  expectEndedNormally();
}

// What the status bar shows for a line: the archiver's message, read no
// further than the buffer; its result where it wrote nothing; for a skip,
// why it was skipped.
TEST_F(BatchRunTest, EachLineKeepsItsReason) {
  const std::string missing = "ファイルが見つかりません: C:\\Data\\b.txt";
  struct {
    std::string output;
    int result;
    std::string reason;
  } cases[] = {
      {missing, 3, missing},
      {"", 4, "圧縮できませんでした (エラーコード 4)。"},
      {std::string(300, 'x'), 5, std::string(256, 'x')},
  };
  for (const auto& c : cases) {
    host.inputs = {R"(C:\Data\a.txt)", R"(C:\Data\b.txt)"};
    host.entries = {{R"(C:\Data\a.zip)", fileAttr}};
    host.answers = {no};
    host.archiverOutput = c.output;
    host.archiver = [&](const std::string&) { return c.result; };
    host.reasons.clear();
    batch.start(host);
    EXPECT_EQ(host.errors, (Lines{R"([Cancel] C:\Data\a.txt)", R"([Error] C:\Data\b.txt)"}));
    EXPECT_EQ(host.reasons,
              (Lines{"同名の書庫ファイルへの追加書き込みを取りやめました。", c.reason}))
        << c.result;
  }
}

TEST_F(BatchRunTest, ExistingArchiveAnsweredNoIsCancelledAndCounted) {
  host.entries[R"(C:\Data\a.zip)"] = fileAttr;
  host.answers = {no};
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{existingBox(R"(C:\Data\a.zip)")});
  EXPECT_EQ(host.errors, Lines{R"([Cancel] C:\Data\a.txt)"});
  EXPECT_EQ(host.repainted, progress(1, 3, 3));  // the skipped item counts
  EXPECT_EQ(host.commandLines.size(), 2u);
  EXPECT_TRUE(host.inputs.empty());
  expectEndedNormally();
}

TEST_F(BatchRunTest, ExistingArchiveAnsweredYesIsArchivedAsUsual) {
  host.entries[R"(C:\Data\b.zip)"] = fileAttr;
  host.answers = {yes};
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{existingBox(R"(C:\Data\b.zip)")});
  EXPECT_EQ(host.commandLines[1], line(R"(C:\Data\b.zip)", R"(C:\Data\b.txt)"));
  EXPECT_TRUE(host.waitCursorWhileArchiving[1]);
  EXPECT_TRUE(host.errors.empty());
  expectEndedNormally();
}

TEST_F(BatchRunTest, ArchiveThatIsTheItemItselfIsAskedAbout) {
  host.inputs = {R"(C:\Data\a.zip)"};
  host.entries[R"(C:\Data\a.zip)"] = fileAttr;
  host.answers = {yes};
  batch.start(host);
  EXPECT_EQ(host.boxes, Boxes{existingBox(R"(C:\Data\a.zip)")});
  EXPECT_EQ(host.commandLines, Lines{line(R"(C:\Data\a.zip)", R"(C:\Data\a.zip)")});
}

TEST_F(BatchRunTest, FolderBearingTheArchiveNameIsNoArchive) {
  host.entries[R"(C:\Data\a.zip)"] = folderAttr;
  host.entries[R"(C:\Data\b.zip)"] = folderAttr | fileAttr;
  batch.start(host);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(host.commandLines.size(), 3u);
}

TEST_F(BatchRunTest, ExistenceIsAskedBeforeTheBusyCheck) {
  host.entries[R"(C:\Data\a.zip)"] = fileAttr;
  host.answers = {yes};
  host.busyAtArchive = 1;
  batch.start(host);
  EXPECT_EQ(host.boxes, (Boxes{existingBox(R"(C:\Data\a.zip)"), busyBox}));
  EXPECT_TRUE(host.commandLines.empty());
  EXPECT_EQ(host.inputs.size(), 3u);
  expectEndedNormally();
}

// The archiver's window lets messages through during an archive: a second
// Start there must not begin a run over the same first item.
TEST_F(BatchRunTest, StartDuringARunIsIgnored) {
  std::vector<bool> inProgress;
  host.archiver = [&](const std::string&) {
    inProgress.push_back(batch.inProgress());
    if (inProgress.size() == 1) batch.start(host);
    return 0;
  };
  batch.start(host);
  EXPECT_EQ(inProgress, std::vector<bool>(3, true));
  EXPECT_EQ(host.commandLines.size(), 3u);
  EXPECT_EQ(host.repainted, progress(1, 3, 3));
  expectEndedNormally();
}

TEST_F(BatchRunTest, FailureInsideTheRunPutsTheWindowBackAndKeepsTheItem) {
  host.archiver = [](const std::string& line) -> int {
    if (line.find("b.txt") != std::string::npos) throw std::bad_alloc();
    return 1;
  };
  EXPECT_THROW(batch.start(host), std::bad_alloc);
  EXPECT_EQ(host.inputs, (std::deque<std::string>{R"(C:\Data\b.txt)", R"(C:\Data\c.txt)"}));
  EXPECT_EQ(host.errors, Lines{R"([Error] C:\Data\a.txt)"});
  EXPECT_EQ(host.caption, "Selvat Archiver");
  EXPECT_EQ(host.status, "");
  EXPECT_FALSE(host.waitCursor);
  EXPECT_EQ(host.beeps, 0);
  EXPECT_FALSE(batch.inProgress());

  // The next run starts with the kept item.
  host.archiver = [](const std::string&) { return 0; };
  batch.start(host);
  EXPECT_EQ(host.commandLines.back(), line(R"(C:\Data\c.zip)", R"(C:\Data\c.txt)"));
  EXPECT_TRUE(host.inputs.empty());
}

TEST(ExistsAsFile, OnlyAnExistingPathThatIsNoFolder) {
  struct Case {
    std::uint32_t attributes;
    bool file;
  } cases[] = {{32, true},  {1, true},   {128, true}, {0, true},
               {16, false}, {48, false}, {17, false}, {missing, false}};
  for (const Case& c : cases) EXPECT_EQ(existsAsFile(c.attributes), c.file) << c.attributes;
}

}  // namespace
