#pragma once
// The program's two everyday boxes, modal over all its windows.
#include <string>

// A warning: caption "警告", an OK button.
void showWarning(const std::string& text);

// A question: caption "確認", Yes and No with No the default. True only
// when the user answers Yes.
bool confirm(const std::string& text);
