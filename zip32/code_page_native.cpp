#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <memory>
#include <optional>

#include "code_page.h"

namespace zip32 {

namespace {

using Converter = std::unique_ptr<void, int (*)(iconv_t)>;

Converter converterTo(const char* to, const char* from) {
  iconv_t handle = iconv_open(to, from);
  return Converter(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle, iconv_close);
}

// The whole text converted, or nullopt when any of it cannot be.
std::optional<std::string> convert(const Converter& converter, const std::string& text) {
  if (!converter) return std::nullopt;
  std::string input = text;
  std::string output(text.size() * 3 + 4, '\0');
  char* in = input.data();
  char* out = output.data();
  std::size_t inLeft = input.size(), outLeft = output.size();
  if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
    return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

// Code points of UTF-8 text; false for bytes that are not UTF-8.
bool decodeUtf8(const std::string& text, std::u32string& out) {
  for (std::size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80    ? 1
                         : lead >= 0xF0 ? 4
                         : lead >= 0xE0 ? 3
                         : lead >= 0xC2 ? 2
                                        : 0;
    if (length == 0 || lead > 0xF4 || length > text.size() - i) return false;
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    out += code;
    i += length;
  }
  return true;
}

void encodeUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
    return;
  }
  std::size_t length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  const unsigned char marks[] = {0, 0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(marks[length] | (code >> (6 * (length - 1))));
  for (std::size_t k = length - 1; k-- > 0;)
    out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
}

}  // namespace

std::string ShiftJis::toUtf8(const std::string& text) const {
  return convert(converterTo("UTF-8", "CP932"), text).value_or("");
}

// Character by character: iconv knows no best fit, so here a character
// outside the code page is "_".
std::string ShiftJis::fromUtf8(const std::string& utf8) const {
  std::u32string codes;
  if (!decodeUtf8(utf8, codes)) return {};
  Converter converter = converterTo("CP932", "UTF-8");
  std::string text;
  for (char32_t code : codes) {
    std::string character;
    encodeUtf8(code, character);
    text += convert(converter, character).value_or("_");
  }
  return text;
}

std::string upperCaseUtf8(const std::string& utf8) {
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  std::u32string codes;
  if (!decodeUtf8(utf8, codes)) return {};
  std::string upper;
  for (char32_t code : codes) {
    if (unicode) {
      code = static_cast<char32_t>(towupper_l(static_cast<wint_t>(code), unicode));
    } else if (code >= 'a' && code <= 'z') {
      code -= 'a' - 'A';
    }
    encodeUtf8(code, upper);
  }
  return upper;
}

const CodePage& systemCodePage() {
  static const ShiftJis codePage;
  return codePage;
}

}  // namespace zip32
