// Which names are one file to the file system: keys that compare
// characters, not bytes, without regard to letter case and with "\" and "/"
// alike, whatever encoding the writer of an entry chose.
#pragma once
#include <string>

#include "code_page.h"
#include "zip_format.h"

namespace zip32 {

// A name in the system code page.
std::string nameKey(const std::string& name, const CodePage& codePage);

// A name in UTF-8, as a new entry's real name is.
std::string nameKeyOfUtf8(const std::string& utf8);

// The name of an entry of any writer: UTF-8 where its language-encoding flag
// says so or where a Unicode Path field made from this very name gives it,
// else in the system code page.
std::string nameKey(const Entry& entry, const CodePage& codePage);

}  // namespace zip32
