#pragma once
// The archive path and the archiver command line of one input item. Pure
// text logic over byte strings of the system code page: no file, control or
// library is touched.
#include <string>

#include "archive/path_rules.h"

// How the archive is named from the item's file name; the values are those
// stored under ArcName in the settings file.
enum ArcNameMode : int {
  ArcNameFile = 1,      // "(FileName).zip": the extension is removed
  ArcNamePeriod = 2,    // "(FileName).(Ext).zip": kept with its period
  ArcNameUnderBar = 3,  // "(FileName)_(Ext).zip": its period becomes "_"
};

// The naming mode shown by the menu: only the File and UnderBar items are
// looked at; with neither checked the mode is Period.
int arcNameFromMenu(bool fileChecked, bool underBarChecked);

// The option state one item is archived with.
struct TArchiveOptions {
  bool OutDirCheck = false;   // the output folder is used
  std::string OutDirEdit;     // the output folder
  int ArcName = ArcNameFile;  // an ArcNameMode; any other value acts as Period
  int ArcRate = 6;            // the compression level
  bool NoDialog = false;      // the archiver runs quietly
};

// The archive path of item: in the output folder when one is set (with a
// "\" put between a folder that does not end in one and the file name),
// else beside the item; the extension edited as ArcName says; ".zip"
// appended.
std::string MakeArchiveName(const std::string& item, const TArchiveOptions& options,
                            const LeadByteSet& leads = systemLeadBytes());

// path with "[]" inserted after every "[" that is a character of its own
// (not the second byte of a double-byte character).
std::string EscapeBrackets(const std::string& path, const LeadByteSet& leads = systemLeadBytes());

// The line handed to the archiver, shaped
//   -6 -q -j "D:\Out\report.zip" "C:\Data\report.txt"
// ("-q " only with NoDialog); the item's brackets are escaped, the archive
// path is used as it stands.
std::string MakeCommandLine(const std::string& item, const std::string& archivePath,
                            const TArchiveOptions& options,
                            const LeadByteSet& leads = systemLeadBytes());
