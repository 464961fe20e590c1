#include "forms/menu.h"

#include <algorithm>

namespace {
Exception menuError() {
  return systemError("メニューを作成できません", GetLastError());
}

void append(HMENU into, UINT flags, UINT_PTR id, const char* text) {
  if (!AppendMenuA(into, flags, id, text)) throw menuError();
}
}  // namespace

TMenuItem::TMenuItem(TMenuItem* parent, std::string caption)
    : parent_(parent), caption_(std::move(caption)) {
  if (parent_) parent_->items_.push_back(this);
}

TMenuItem::~TMenuItem() {
  if (parent_) {
    auto& siblings = parent_->items_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (checked && RadioItem && parent_) {
    for (TMenuItem* sibling : parent_->items_)
      if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex &&
          sibling->checked_) {
        sibling->checked_ = false;
        sibling->sync();
      }
  }
  sync();
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  sync();
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

HMENU TMenuItem::ParentMenu() const {
  if (!parent_) return nullptr;
  return parent_->parent_ ? parent_->subMenu_ : (menu_ ? menu_->bar_.get() : nullptr);
}

int TMenuItem::Position() const {
  const auto& siblings = parent_->items_;
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TMenuItem::build(HMENU into, TMainMenu& menu) {
  menu_ = &menu;
  if (IsSeparator()) {
    append(into, MF_SEPARATOR, 0, nullptr);
    return;
  }
  if (!items_.empty()) {
    OwnedMenu popup(CreatePopupMenu());
    if (!popup) throw menuError();
    subMenu_ = popup.get();
    for (TMenuItem* item : items_) item->build(subMenu_, menu);
    append(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(subMenu_), caption_.c_str());
    popup.release();  // the menu it joined destroys it
    menu.registerPopup(subMenu_, this);
  } else {
    command_ = menu.registerItem(this);
    append(into, MF_STRING, command_, caption_.c_str());
  }
  sync();
}

void TMenuItem::forgetBuild() {
  menu_ = nullptr;
  subMenu_ = nullptr;
  command_ = 0;
  for (TMenuItem* item : items_) item->forgetBuild();
}

void TMenuItem::sync() {
  HMENU owner = ParentMenu();
  if (!owner || IsSeparator()) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  info.fType = MFT_STRING | (RadioItem ? MFT_RADIOCHECK : 0);
  info.fState = (checked_ ? MFS_CHECKED : MFS_UNCHECKED) | (enabled_ ? MFS_ENABLED : MFS_GRAYED);
  SetMenuItemInfoA(owner, static_cast<UINT>(Position()), TRUE, &info);
  if (!parent_->parent_) menu_->redrawBar();
}

TMainMenu::TMainMenu() = default;

TMainMenu::~TMainMenu() {
  if (window_ && IsWindow(window_) && GetMenu(window_) == bar_.get()) SetMenu(window_, nullptr);
}

// A menu that cannot be built whole is not kept: the next use tries again.
HMENU TMainMenu::Handle() {
  if (!bar_) {
    bar_.reset(CreateMenu());
    if (!bar_) throw menuError();
    try {
      for (TMenuItem* item : Items.items_) item->build(bar_.get(), *this);
    } catch (...) {
      bar_.reset();
      Items.forgetBuild();
      commands_.clear();
      popups_.clear();
      throw;
    }
  }
  return bar_.get();
}

void TMainMenu::AttachTo(HWND window) {
  window_ = window;
  if (!SetMenu(window, Handle())) throw menuError();
}

UINT TMainMenu::registerItem(TMenuItem* item) {
  UINT command = nextCommand_++;
  commands_[command] = item;
  return command;
}

void TMainMenu::redrawBar() {
  if (window_) DrawMenuBar(window_);
}

bool TMainMenu::DispatchCommand(UINT command) {
  auto found = commands_.find(command);
  if (found == commands_.end()) return false;
  found->second->Click();
  return true;
}

bool TMainMenu::DispatchPopup(HMENU popup) {
  auto found = popups_.find(popup);
  if (found == popups_.end()) return false;
  found->second->Click();
  return true;
}
