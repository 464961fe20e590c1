#include "archive/path_rules.h"

// The native build stands in for a Japanese system.
const LeadByteSet& systemLeadBytes() {
  static const LeadByteSet leads = LeadByteSet::codePage932();
  return leads;
}
