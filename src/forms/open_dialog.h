#pragma once
// The file-open dialog. A selection of several files comes back as full
// paths in the order the dialog lists them, in UTF-8, which spells every
// name.
#include <windows.h>

#include <string>
#include <vector>

#include "forms/object.h"

class TOpenDialog : public TObject {
 public:
  std::string Filter;  // "text|pattern|text|pattern"
  DWORD Options = 0;   // OFN_ flags

  enum class Result { Chosen, Cancelled, TooManyFiles };
  Result Execute(HWND owner);
  const std::vector<std::string>& Files() const { return files_; }

  // Splits the dialog's answer: one full path, or a folder and its names.
  static std::vector<std::string> SplitSelection(const std::vector<char>& buffer);

 private:
  std::vector<std::string> files_;
};
