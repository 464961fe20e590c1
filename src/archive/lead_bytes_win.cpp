#include <windows.h>

#include "archive/path_rules.h"

namespace {
// The ANSI code page's own lead-byte ranges; empty for a code page without
// double-byte characters.
LeadByteSet readSystemLeadBytes() {
  LeadByteSet leads;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) return leads;
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
    leads.add(info.LeadByte[i], info.LeadByte[i + 1]);
  return leads;
}
}  // namespace

const LeadByteSet& systemLeadBytes() {
  static const LeadByteSet leads = readSystemLeadBytes();
  return leads;
}
