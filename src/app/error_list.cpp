// The error list: one line per item that was refused, skipped or failed,
// and for each line the reason, which the status bar shows while the line
// is selected (the lines themselves keep their exact texts).
#include "app/selvat_main.h"

#include <algorithm>

void TSelvatForm::AddErrorLine(const std::string& Line, const std::string& Reason) {
  ErrorList.Add(Line);
  FErrorReasons.push_back(Reason);
}

void TSelvatForm::RefuseInput(const std::string& Item, const std::string& Reason) {
  AddErrorLine("[Error] " + Item, Reason);
  ++FFreshRefusals;
}

void TSelvatForm::ClearErrorLines() {
  ErrorList.Clear();
  FErrorReasons.clear();
  FFreshRefusals = 0;
  if (!RunInProgress()) StatusBar1.SetSimpleText("");
}

// Items refused since the last run never reached the input list; the run
// starting now would otherwise wipe the only trace of them.
void TSelvatForm::ClearErrorsForRun() {
  const int kept = std::min(static_cast<int>(FFreshRefusals), ErrorList.Count());
  std::vector<std::string> lines;
  for (int i = ErrorList.Count() - kept; i < ErrorList.Count(); ++i)
    lines.push_back(ErrorList.Item(i));
  std::vector<std::string> reasons(FErrorReasons.end() - kept, FErrorReasons.end());
  ClearErrorLines();
  for (size_t i = 0; i < lines.size(); ++i) AddErrorLine(lines[i], reasons[i]);
}

void TSelvatForm::ErrorListClick(TObject*) {
  if (RunInProgress()) return;
  const int index = ErrorList.ItemIndex();
  if (index >= 0 && static_cast<size_t>(index) < FErrorReasons.size())
    StatusBar1.SetSimpleText(FErrorReasons[static_cast<size_t>(index)]);
}
