// selvat-probe: answers questions about the windows on the desktop, one
// command a line on standard input, one JSON line each on standard output.
// Texts travel as UTF-8.
//   windows                 top-level windows
//   tree HWND               a window and all its children
//   items HWND [FIRST COUNT] the strings of a list box (all, or a range)
//   count HWND              the number of strings of a list box
//   menu HWND               the menu bar of a window, with states
//   status HWND             the simple text of a status bar
//   click HWND              BM_CLICK, posted
//   command HWND ID         WM_COMMAND with a menu command, posted
//   settext HWND TEXT       WM_SETTEXT
//   close HWND              WM_CLOSE, posted
//   shortname PATH          the path in its short (8.3) form
//   find PATTERN            the names a file search yields, in its order
//   launch SHOW DIR LINE    starts a program with that show command
//   exitcode PID            a launched program's exit code, or null while it runs
//   keydown VK              whether the key is down, as GetAsyncKeyState sees it
//   treeitems HWND          the shown items of a tree view, in order, with depth and state
//   lock PATH / unlock PATH holds a file open with no sharing, as another program may
//   quit
// A window that does not answer within a second (its program is busy)
// gives its stored caption, and a list box gives {"busy":true}.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
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
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
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

// How long a program may take to answer, in ms: longer by the stories'
// time scale, for a machine that emulates its processor.
UINT answerTimeout() {
  static const UINT timeout = [] {
    char scale[32] = "";
    GetEnvironmentVariableA("SELVAT_E2E_TIME_SCALE", scale, sizeof scale);
    double factor = std::atof(scale);
    return static_cast<UINT>(1000 * (factor > 1 ? factor : 1));
  }();
  return timeout;
}

bool ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, answerTimeout(),
                           &answer))
    return false;
  result = static_cast<LRESULT>(answer);
  return true;
}

// A top-level window's caption is read without asking its program, so a busy
// program does not hold up the list of windows; a control is asked (an edit
// box keeps its text itself).
std::wstring windowText(HWND window) {
  wchar_t buffer[4096];
  LRESULT length = 0;
  bool topLevel = GetAncestor(window, GA_PARENT) == GetDesktopWindow();
  if (topLevel || !ask(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer), length))
    length = InternalGetWindowText(window, buffer, 4096);
  return std::wstring(buffer, static_cast<size_t>(length > 0 ? length : 0));
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
  out << "{\"hwnd\":" << reinterpret_cast<uintptr_t>(window)
      << ",\"class\":" << quoted(className(window)) << ",\"text\":" << quoted(windowText(window))
      << ",\"rect\":[" << r.left << "," << r.top << "," << r.right - r.left << ","
      << r.bottom - r.top << "],\"client\":[" << c.right << "," << c.bottom
      << "],\"visible\":" << (IsWindowVisible(window) ? "true" : "false")
      << ",\"enabled\":" << (IsWindowEnabled(window) ? "true" : "false")
      << ",\"style\":" << GetWindowLongW(window, GWL_STYLE)
      << ",\"exstyle\":" << GetWindowLongW(window, GWL_EXSTYLE) << ",\"pid\":" << pid
      << ",\"focused\":" << (gui.hwndFocus == window ? "true" : "false");
  HWND owner = GetWindow(window, GW_OWNER);
  out << ",\"owner\":" << reinterpret_cast<uintptr_t>(owner);
  LRESULT checked = 0;
  if (className(window) == L"Button" && ask(window, BM_GETCHECK, 0, 0, checked))
    out << ",\"checked\":" << checked;
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

const char kBusy[] = "{\"busy\":true}";

std::string count(HWND list) {
  LRESULT count = 0;
  if (!ask(list, LB_GETCOUNT, 0, 0, count)) return kBusy;
  return "{\"count\":" + std::to_string(count) + "}";
}

std::string items(HWND list, LRESULT first, LRESULT wanted) {
  const std::string busy = kBusy;
  std::string out = "[";
  LRESULT count = 0;
  if (!ask(list, LB_GETCOUNT, 0, 0, count)) return busy;
  if (wanted >= 0 && first + wanted < count) count = first + wanted;
  for (LRESULT i = first; i < count; ++i) {
    LRESULT length = 0;
    if (!ask(list, LB_GETTEXTLEN, i, 0, length)) return busy;
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    if (!ask(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), length)) return busy;
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    if (i > first) out += ",";
    out += quoted(text);
  }
  out += "]";
  LRESULT selected = 0;
  if (!ask(list, LB_GETCURSEL, 0, 0, selected)) return busy;
  return "{\"items\":" + out + ",\"selected\":" + std::to_string(selected) + "}";
}

std::string shortName(const std::wstring& path) {
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return "null";
  std::wstring out(size, L'\0');
  size = GetShortPathNameW(path.c_str(), out.data(), size);
  out.resize(size);
  return quoted(out);
}

std::string find(const std::wstring& pattern) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return "[]";
  std::string out = "[";
  do {
    if (out.size() > 1) out += ",";
    out += "{\"name\":" + quoted(entry.cFileName) +
           ",\"attributes\":" + std::to_string(entry.dwFileAttributes) + "}";
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return out + "]";
}

std::map<DWORD, HANDLE> launched;

std::string launch(int show, const std::wstring& folder, std::wstring line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process))
    return "null";
  CloseHandle(process.hThread);
  launched[process.dwProcessId] = process.hProcess;
  return std::to_string(process.dwProcessId);
}

std::string exitCode(DWORD pid) {
  auto found = launched.find(pid);
  DWORD code = 0;
  if (found == launched.end() || !GetExitCodeProcess(found->second, &code)) return "null";
  return code == STILL_ACTIVE ? "null" : std::to_string(code);
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

// Memory in another process, for messages whose parameters point at data.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool put(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool get(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
};

// The text of a status bar in its one simple area, which the bar reads back
// as part 0. The bar writes the text into memory of its own program.
std::string status(HWND bar) {
  LRESULT length = 0;
  if (!ask(bar, SB_GETTEXTLENGTHW, 0, 0, length)) return kBusy;
  const size_t size = (LOWORD(length) + 1) * sizeof(wchar_t);
  RemoteBuffer remote(bar, size);
  std::wstring text(LOWORD(length) + 1, L'\0');
  LRESULT ignored = 0;
  if (!remote.ok() || !remote.put(0, text.data(), size) ||
      !ask(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(remote.at(0)), ignored) ||
      !remote.get(0, text.data(), size))
    return kBusy;
  text.resize(wcslen(text.c_str()));
  return "{\"text\":" + quoted(text) + "}";
}

// The items a user sees in a tree view (the children of expanded items),
// top to bottom: text, depth, and whether each is expanded or selected.
class TreeReader {
 public:
  explicit TreeReader(HWND tree)
      : tree_(tree), remote_(tree, sizeof(TVITEMW) + kText * sizeof(wchar_t)) {}

  std::string read() {
    if (!remote_.ok()) return "null";
    std::string out = "[";
    LRESULT root = 0;
    ask(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0, root);
    walk(reinterpret_cast<HTREEITEM>(root), 0, out);
    return out + "]";
  }

 private:
  static constexpr size_t kText = 1024;

  void walk(HTREEITEM item, int depth, std::string& out) {
    for (; item; item = next(item, TVGN_NEXT)) {
      TVITEMW info{};
      info.mask = TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
      info.hItem = item;
      info.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
      info.pszText = reinterpret_cast<wchar_t*>(remote_.at(sizeof info));
      info.cchTextMax = kText;
      wchar_t text[kText] = {};
      LRESULT ok = 0;
      if (!remote_.put(0, &info, sizeof info) ||
          !ask(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote_.at(0)), ok) || !ok ||
          !remote_.get(0, &info, sizeof info) ||
          !remote_.get(sizeof info, text, sizeof text - sizeof(wchar_t)))
        continue;
      bool expanded = info.state & TVIS_EXPANDED;
      if (out.size() > 1) out += ",";
      out += "{\"text\":" + quoted(text) + ",\"depth\":" + std::to_string(depth) +
             ",\"expanded\":" + (expanded ? "true" : "false") +
             ",\"selected\":" + ((info.state & TVIS_SELECTED) ? "true" : "false") + "}";
      if (expanded) walk(next(item, TVGN_CHILD), depth + 1, out);
    }
  }

  HTREEITEM next(HTREEITEM item, WPARAM which) {
    LRESULT found = 0;
    ask(tree_, TVM_GETNEXTITEM, which, reinterpret_cast<LPARAM>(item), found);
    return reinterpret_cast<HTREEITEM>(found);
  }

  HWND tree_;
  RemoteBuffer remote_;
};

std::map<std::wstring, HANDLE> locked;

std::string lock(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "false";
  locked[path] = file;
  return "true";
}

std::string unlock(const std::wstring& path) {
  auto found = locked.find(path);
  if (found == locked.end()) return "false";
  CloseHandle(found->second);
  locked.erase(found);
  return "true";
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
  if (command == "items") {
    HWND list = parseWindow(in);
    long long first = 0, wanted = -1;
    if (!(in >> first >> wanted)) first = 0, wanted = -1;  // no range: all of them
    return items(list, static_cast<LRESULT>(first), static_cast<LRESULT>(wanted));
  }
  if (command == "count") return count(parseWindow(in));
  if (command == "treeitems") return TreeReader(parseWindow(in)).read();
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
  std::string rest;
  std::getline(in >> std::ws, rest);
  if (command == "shortname") return shortName(wide(rest));
  if (command == "find") return find(wide(rest));
  if (command == "lock") return lock(wide(rest));
  if (command == "unlock") return unlock(wide(rest));
  if (command == "keydown") return GetAsyncKeyState(std::stoi(rest)) < 0 ? "true" : "false";
  if (command == "exitcode") return exitCode(static_cast<DWORD>(std::stoul(rest)));
  if (command == "launch") {
    // launch SHOW "DIR" LINE
    std::istringstream words(rest);
    int show = 0;
    words >> show >> std::ws;
    std::string folder;
    std::getline(words, folder, '"');
    std::getline(words, folder, '"');
    std::string line;
    std::getline(words >> std::ws, line);
    return launch(show, wide(folder), wide(line));
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
