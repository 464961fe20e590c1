#include "archiver/library_texts.h"

#include <cstdio>
#include <cstdlib>

#include "archiver/selvat_dll.h"

std::string libraryErrorText(int32_t bindingResult) {
  std::string text;
  if (bindingResult & kZip32jMissing) text += "Zip32j.dllがありません。\n";
  if (bindingResult & kZip32Missing) text += "zip32.dllがありません。\n";
  if (bindingResult & kEntryPointMissing) text += "Zip32j.dllの読み込みでエラーが発生しました。\n";
  return text + "アプリケーションを終了します。";
}

std::string formatHundredths(int value) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%d.%02d", value < 0 ? "-" : "", std::abs(value / 100),
                std::abs(value % 100));
  return text;
}

std::string libraryVersionText(unsigned zip32jVersion, int zip32Version) {
  return "Zip32j.dll  : " + formatHundredths(static_cast<int>(zip32jVersion)) + "\n" +
         "Zip32.dll   : " + formatHundredths(zip32Version);
}
