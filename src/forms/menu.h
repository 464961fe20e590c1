#pragma once
// A main menu and its items. An item keeps its own state (caption, check,
// enabled, tag, radio group) and mirrors it into the system menu once that
// is built. Checking a radio item unchecks the other radio items of its
// group under the same parent; setting Checked never raises OnClick; a click
// raises OnClick only on an enabled item; an item with a drop-down raises
// OnClick each time the drop-down opens.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "forms/object.h"
#include "forms/owned.h"

class TMainMenu;

class TMenuItem : public TObject {
 public:
  TMenuItem(TMenuItem* parent, std::string caption);
  ~TMenuItem() override;
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;

  const std::string& Caption() const { return caption_; }
  TMenuItem* Parent() const { return parent_; }
  const std::vector<TMenuItem*>& Items() const { return items_; }
  bool IsSeparator() const { return caption_ == "-"; }

  int Tag = 0;
  int GroupIndex = 0;
  bool RadioItem = false;
  TNotifyEvent OnClick;

  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  void Click();  // a click by the user: OnClick, while enabled

  UINT Command() const { return command_; }
  HMENU SubMenu() const { return subMenu_; }
  HMENU ParentMenu() const;
  int Position() const;  // in the parent's drop-down

 private:
  friend class TMainMenu;
  void build(HMENU into, TMainMenu& menu);  // throws when the system cannot
  void forgetBuild();                       // of a menu that was not kept
  void sync();

  TMenuItem* parent_;
  std::string caption_;
  std::vector<TMenuItem*> items_;
  bool checked_ = false;
  bool enabled_ = true;
  UINT command_ = 0;
  HMENU subMenu_ = nullptr;
  TMainMenu* menu_ = nullptr;
};

class TMainMenu : public TObject {
 public:
  TMainMenu();
  ~TMainMenu() override;

  TMenuItem Items{nullptr, ""};  // the menu bar's items are its children

  HMENU Handle();  // builds the system menu on first use
  void AttachTo(HWND window);

  bool DispatchCommand(UINT command);  // WM_COMMAND from the menu
  bool DispatchPopup(HMENU popup);     // WM_INITMENUPOPUP

 private:
  friend class TMenuItem;
  UINT registerItem(TMenuItem* item);
  void registerPopup(HMENU popup, TMenuItem* item) { popups_[popup] = item; }
  void redrawBar();

  OwnedMenu bar_;
  HWND window_ = nullptr;
  UINT nextCommand_ = 1000;
  std::map<UINT, TMenuItem*> commands_;
  std::map<HMENU, TMenuItem*> popups_;
};
