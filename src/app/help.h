#pragma once
// Help as the user can have it. The old help viewer (WinHelp) on
// selvat.hlp is asked only where both are there: the file ships nowhere,
// and current Windows has no working viewer. Otherwise the readme beside
// the program opens in the system's viewer for text files; where that
// fails too, a box says so.
#include <windows.h>

#include <functional>
#include <string>

// True when the help request was answered here, so the help viewer is not
// to be asked: the readme opened, or the box shown.
bool answerHelpRequest();

// Test seam: opens the readme in place of the system while set (true when
// it could be opened).
void setDocumentOpenerStandIn(std::function<bool(const std::wstring& path)> standIn);
