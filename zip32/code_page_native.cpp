#include <iconv.h>

#include <memory>

#include "code_page.h"

namespace zip32 {

std::string ShiftJis::toUtf8(const std::string& text) const {
  iconv_t handle = iconv_open("UTF-8", "CP932");
  if (handle == reinterpret_cast<iconv_t>(-1)) return {};
  std::unique_ptr<void, int (*)(iconv_t)> owner(handle, iconv_close);
  std::string input = text;
  std::string output(text.size() * 3 + 4, '\0');
  char* in = input.data();
  char* out = output.data();
  std::size_t inLeft = input.size(), outLeft = output.size();
  if (iconv(handle, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) return {};
  output.resize(output.size() - outLeft);
  return output;
}

const CodePage& systemCodePage() {
  static const ShiftJis codePage;
  return codePage;
}

}  // namespace zip32
