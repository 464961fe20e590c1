#include <windows.h>

#include <gtest/gtest.h>

#include "input/folder_walk.h"
#include "os/file_system.h"
#include "os/key_state.h"

namespace {

void sendEscape(DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = VK_ESCAPE;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// A reading is reused for a few milliseconds; a key press lasts far longer.
constexpr DWORD kLongerThanAReadingLasts = 30;

TEST(Win32KeyState, SeesEscapeWhileItIsDown) {
  EXPECT_FALSE(systemKeyState().escapeDown());
  sendEscape(0);
  Sleep(kLongerThanAReadingLasts);
  EXPECT_TRUE(systemKeyState().escapeDown());
  sendEscape(KEYEVENTF_KEYUP);
  Sleep(kLongerThanAReadingLasts);
  EXPECT_FALSE(systemKeyState().escapeDown());
}

// Escape held before a listing starts: the poll before the first entry
// stops it, and the listing runs again once the key is up.
TEST(Win32KeyState, EscapeDownStopsAListingOfARealFolder) {
  std::string folder(MAX_PATH + 1, '\0');
  folder.resize(GetTempPathA(static_cast<DWORD>(folder.size()), folder.data()));
  folder += "selvat-escape-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\a.txt";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

  std::vector<std::string> admitted;
  auto admit = [&](const std::string& path) { admitted.push_back(path); };
  sendEscape(0);
  Sleep(kLongerThanAReadingLasts);
  listFolder(folder, true, systemFileSystem(), systemKeyState(), admit, {});
  EXPECT_TRUE(admitted.empty());
  sendEscape(KEYEVENTF_KEYUP);
  Sleep(kLongerThanAReadingLasts);
  listFolder(folder, true, systemFileSystem(), systemKeyState(), admit, {});
  EXPECT_EQ(admitted, std::vector<std::string>{file});

  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
