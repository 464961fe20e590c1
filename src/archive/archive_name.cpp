#include "archive/archive_name.h"

int arcNameFromMenu(bool fileChecked, bool underBarChecked) {
  if (fileChecked) return ArcNameFile;
  if (underBarChecked) return ArcNameUnderBar;
  return ArcNamePeriod;
}

namespace {
// Where the archive goes before its extension is edited: the item itself,
// or the item's file name in the output folder.
std::string archiveBase(const std::string& item, const TArchiveOptions& options,
                        const LeadByteSet& leads) {
  if (!options.OutDirCheck || options.OutDirEdit.empty()) return item;
  // A folder typed by hand or read from the settings file may lack its
  // final "\"; without one the name would join onto the folder's last name.
  return withPathDelimiter(options.OutDirEdit, leads) + fileNamePart(item, leads);
}
}  // namespace

std::string MakeArchiveName(const std::string& item, const TArchiveOptions& options,
                            const LeadByteSet& leads) {
  std::string path = archiveBase(item, options, leads);
  const size_t extension = extensionOf(path, leads).size();
  if (extension > 0) {
    const size_t period = path.size() - extension;
    if (options.ArcName == ArcNameFile)
      path.erase(period);
    else if (options.ArcName == ArcNameUnderBar)
      path[period] = '_';
  }
  return path + ".zip";
}

std::string EscapeBrackets(const std::string& path, const LeadByteSet& leads) {
  std::string escaped;
  escaped.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    escaped += path[i];
    if (path[i] == '[' && !isTrailByte(path, i, leads)) escaped += "[]";
  }
  return escaped;
}

std::string MakeCommandLine(const std::string& item, const std::string& archivePath,
                            const TArchiveOptions& options, const LeadByteSet& leads) {
  std::string line = "-" + std::to_string(options.ArcRate) + " ";
  if (options.NoDialog) line += "-q ";
  line += "-j \"" + archivePath + "\" \"" + EscapeBrackets(item, leads) + "\"";
  return line;
}
