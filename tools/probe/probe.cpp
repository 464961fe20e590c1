// selvat-probe: answers questions about the windows on the desktop, one
// command a line on standard input, one JSON line each on standard output.
// Texts travel as UTF-8.
//   windows                 top-level windows
//   tree HWND               a window and all its children
//   items HWND              the strings of a list box
//   menu HWND               the menu bar of a window, with states
//   status HWND             the simple text of a status bar
//   click HWND              BM_CLICK, posted
//   command HWND ID         WM_COMMAND with a menu command, posted
//   settext HWND TEXT       WM_SETTEXT
//   close HWND              WM_CLOSE, posted
//   quit
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

namespace {
std::string utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::wstring wide(const std::string& text) {
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string quoted(const std::wstring& text) {
  std::string out = "\"";
  for (unsigned char c : utf8(text)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::wstring windowText(HWND window) {
  wchar_t buffer[4096];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &length))
    return L"";
  return std::wstring(buffer, length);
}

std::wstring className(HWND window) {
  wchar_t buffer[256];
  int length = GetClassNameW(window, buffer, 256);
  return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
}

std::string describe(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  RECT c;
  GetClientRect(window, &c);
  DWORD pid = 0;
  DWORD thread = GetWindowThreadProcessId(window, &pid);
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  GetGUIThreadInfo(thread, &gui);
  std::ostringstream out;
  out << "{\"hwnd\":" << reinterpret_cast<uintptr_t>(window) << ",\"class\":" << quoted(className(window))
      << ",\"text\":" << quoted(windowText(window)) << ",\"rect\":[" << r.left << "," << r.top
      << "," << r.right - r.left << "," << r.bottom - r.top << "],\"client\":[" << c.right << ","
      << c.bottom << "],\"visible\":" << (IsWindowVisible(window) ? "true" : "false")
      << ",\"enabled\":" << (IsWindowEnabled(window) ? "true" : "false")
      << ",\"style\":" << GetWindowLongW(window, GWL_STYLE)
      << ",\"exstyle\":" << GetWindowLongW(window, GWL_EXSTYLE) << ",\"pid\":" << pid
      << ",\"focused\":" << (gui.hwndFocus == window ? "true" : "false");
  HWND owner = GetWindow(window, GW_OWNER);
  out << ",\"owner\":" << reinterpret_cast<uintptr_t>(owner);
  if (className(window) == L"Button")
    out << ",\"checked\":" << SendMessageW(window, BM_GETCHECK, 0, 0);
  return out.str();
}

BOOL CALLBACK collectTopLevel(HWND window, LPARAM out) {
  auto& text = *reinterpret_cast<std::string*>(out);
  if (!text.empty()) text += ",";
  text += describe(window) + "}";
  return TRUE;
}

void tree(HWND window, std::string& out) {
  out += describe(window) + ",\"children\":[";
  bool first = true;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!first) out += ",";
    first = false;
    tree(child, out);
  }
  out += "]}";
}

std::string items(HWND list) {
  std::string out = "[";
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    length = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    if (i) out += ",";
    out += quoted(text);
  }
  out += "]";
  LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return "{\"items\":" + out + ",\"selected\":" + std::to_string(selected) + "}";
}

void menu(HMENU handle, std::string& out) {
  out += "[";
  int count = GetMenuItemCount(handle);
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 511;
    GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info);
    if (i) out += ",";
    out += "{\"text\":" + quoted(text) + ",\"id\":" + std::to_string(info.wID) +
           ",\"separator\":" + ((info.fType & MFT_SEPARATOR) ? "true" : "false") +
           ",\"radio\":" + ((info.fType & MFT_RADIOCHECK) ? "true" : "false") +
           ",\"checked\":" + ((info.fState & MFS_CHECKED) ? "true" : "false") +
           ",\"grayed\":" + ((info.fState & MFS_GRAYED) ? "true" : "false");
    if (info.hSubMenu) {
      out += ",\"items\":";
      menu(info.hSubMenu, out);
    }
    out += "}";
  }
  out += "]";
}

std::string status(HWND bar) {
  wchar_t text[4096] = {};
  SendMessageW(bar, SB_GETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
  return "{\"text\":" + quoted(text) + "}";
}

HWND parseWindow(std::istream& in) {
  unsigned long long value = 0;
  in >> value;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
}

std::string run(const std::string& line) {
  std::istringstream in(line);
  std::string command;
  in >> command;
  if (command == "windows") {
    std::string list;
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&list));
    return "[" + list + "]";
  }
  if (command == "tree") {
    std::string out;
    tree(parseWindow(in), out);
    return out;
  }
  if (command == "items") return items(parseWindow(in));
  if (command == "status") return status(parseWindow(in));
  if (command == "menu") {
    std::string out;
    HMENU bar = GetMenu(parseWindow(in));
    if (!bar) return "null";
    menu(bar, out);
    return out;
  }
  if (command == "click") return PostMessageW(parseWindow(in), BM_CLICK, 0, 0) ? "true" : "false";
  if (command == "close") return PostMessageW(parseWindow(in), WM_CLOSE, 0, 0) ? "true" : "false";
  if (command == "command") {
    HWND window = parseWindow(in);
    unsigned id = 0;
    in >> id;
    return PostMessageW(window, WM_COMMAND, id, 0) ? "true" : "false";
  }
  if (command == "settext") {
    HWND window = parseWindow(in);
    std::string text;
    std::getline(in >> std::ws, text);
    std::wstring value = wide(text);
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str())) ? "true"
                                                                                       : "false";
  }
  return "{\"error\":" + quoted(wide("unknown command: " + command)) + "}";
}
}  // namespace

int wmain() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "quit") break;
    if (line.empty()) continue;
    std::cout << run(line) << std::endl;
  }
  return 0;
}
