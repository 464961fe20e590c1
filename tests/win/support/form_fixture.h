#pragma once
// The main form made for real, with its message boxes and help requests
// answered by a script instead of a user.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/selvat_main.h"
#include "forms/application.h"
#include "tests/win/support/exe_folder.h"

// A drop of these paths, as the shell hands it to the list.
inline HDROP makeDrop(const std::vector<std::string>& paths) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const auto& path : paths) size += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
  for (const auto& path : paths) {
    std::memcpy(at, path.c_str(), path.size() + 1);
    at += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The same in UTF-16, as a file manager drops names of any script.
inline HDROP makeWideDrop(const std::vector<std::wstring>& paths) {
  size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
  for (const auto& path : paths) size += (path.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* at = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
  for (const auto& path : paths) {
    std::memcpy(at, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    at += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The background an edit box is drawn with, as its parent answers the
// edit box's own question (an enabled edit box asks for an edit's colour,
// a disabled one for a static's).
inline COLORREF editBackground(TEdit& edit) {
  HWND window = edit.Handle();
  HDC dc = GetDC(window);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(GetParent(window), IsWindowEnabled(window) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                   reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
  const COLORREF background = GetBkColor(dc);
  ReleaseDC(window, dc);
  LOGBRUSH fill{};
  EXPECT_TRUE(GetObjectA(brush, sizeof fill, &fill));
  EXPECT_EQ(fill.lbColor, background);
  return fill.lbColor;
}

struct ShownBox {
  std::string text, caption;
  UINT flags;
};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->SetMessageBoxStandIn(
        [this](const std::string& text, const std::string& caption, UINT flags) {
          boxes.push_back({text, caption, flags});
          int answer = IDOK;
          if (!answers.empty()) {
            answer = answers.front();
            answers.erase(answers.begin());
          }
          if (onBox && !inOnBox) {
            struct Running {  // cleared however the action ends
              bool& flag;
              ~Running() { flag = false; }
            } running{inOnBox = true};
            onBox(boxes.back());
          }
          return answer;
        });
    makeForm();
  }
  // A new form in place of the old one; its FormCreate reads the settings
  // file as it is now.
  void makeForm() {
    form.reset();
    form.reset(new TSelvatForm());
    SelvatForm = form.get();
    form->AfterConstruction();
  }
  void TearDown() override {
    form.reset();
    SelvatForm = nullptr;
    Application->SetMessageBoxStandIn(nullptr);
  }

  // What a click on a menu item sends the window.
  void choose(TMenuItem& item) {
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(item.Command(), 0), 0);
  }
  // A mouse click on a speed button.
  void clickSpeedButton(TSpeedButton& button) {
    SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  // What opening an item's drop-down sends the window.
  void open(TMenuItem& item) {
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(item.SubMenu()),
                 MAKELPARAM(item.Position(), FALSE));
  }

  std::unique_ptr<TSelvatForm> form;
  std::vector<ShownBox> boxes;
  std::vector<int> answers;
  // Runs while a box is up, before it is answered: what the user could do
  // then. A box shown from inside it is answered without running it again.
  std::function<void(const ShownBox&)> onBox;
  bool inOnBox = false;
};
