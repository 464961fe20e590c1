// The behaviours of our components that the handlers rely on.
#include <gtest/gtest.h>

#include "app/glyphs.h"
#include "forms/application.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/menu.h"
#include "tests/win/support/form_fixture.h"

namespace {
class Host : public TForm {
 public:
  Host() { SetBounds(0, 0, 300, 200); }
};

TEST(CheckBox, RaisesOnClickOnlyWhenItsValueChanges) {
  Host host;
  TCheckBox box(&host, "box");
  int clicks = 0;
  box.OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, &box);
    ++clicks;
  };
  host.Handle();
  box.SetChecked(false);
  EXPECT_EQ(clicks, 0);
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // The user's click arrives as BN_CLICKED through the parent.
  SendMessageA(host.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(box.Handle()));
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST(MenuItem, RadioGroupsAndClicks) {
  TMainMenu menu;
  TMenuItem top(&menu.Items, "top");
  TMenuItem a(&top, "a"), b(&top, "b"), c(&top, "c"), other(&top, "other");
  for (TMenuItem* item : {&a, &b, &c}) {
    item->RadioItem = true;
    item->GroupIndex = 1;
  }
  other.RadioItem = true;
  other.GroupIndex = 2;
  menu.Handle();
  int clicks = 0;
  for (TMenuItem* item : {&a, &b, &c}) item->OnClick = [&](TObject*) { ++clicks; };
  other.SetChecked(true);
  a.SetChecked(true);
  b.SetChecked(true);
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_TRUE(other.Checked()) << "another group is left alone";
  EXPECT_EQ(clicks, 0) << "setting Checked raises nothing";
  c.SetEnabled(false);
  c.Click();
  EXPECT_EQ(clicks, 0) << "a disabled item raises nothing";
  a.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(a.Checked()) << "a click does not check by itself";
  EXPECT_EQ(GetMenuState(top.SubMenu(), 1, MF_BYPOSITION) & MF_CHECKED,
            static_cast<UINT>(MF_CHECKED));
  EXPECT_EQ(GetMenuState(top.SubMenu(), 2, MF_BYPOSITION) & MF_GRAYED,
            static_cast<UINT>(MF_GRAYED));
}

TEST(ListBox, AddsReadsAndDeletes) {
  Host host;
  TListBox list(&host, false);
  host.Handle();
  list.Add("C:\\表\\a.txt");
  list.Add(std::string(5000, 'x'));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(0), "C:\\表\\a.txt");
  EXPECT_EQ(list.Item(1).size(), 5000u);
  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(Edit, TextAndColour) {
  Host host;
  TEdit edit(&host);
  edit.SetText("C:\\出力\\");
  host.Handle();
  EXPECT_EQ(edit.Text(), "C:\\出力\\");
  SetWindowTextA(edit.Handle(), "D:\\typed");
  EXPECT_EQ(edit.Text(), "D:\\typed");
  EXPECT_EQ(editBackground(edit), GetSysColor(COLOR_WINDOW));
  edit.SetColor(clBtnFace);
  EXPECT_EQ(editBackground(edit), GetSysColor(COLOR_BTNFACE));
}

TEST(Label, IsWideEnoughForItsText) {
  Host host;
  TLabel label(&host, "圧縮対象ファイル");
  label.SetBounds(5, 14, 10, 13);
  host.Handle();
  RECT bounds;
  GetClientRect(label.Handle(), &bounds);
  EXPECT_GT(bounds.right, 10);
}

// A canvas of a colour no glyph uses, for drawing a glyph on as a button does.
class Canvas {
 public:
  static constexpr int kSize = 32;
  static constexpr COLORREF kBackground = RGB(10, 20, 30);

  Canvas() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = -kSize;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                               nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
    for (int i = 0; i < kSize * kSize; ++i) bits_[i] = 0x0A141E;  // kBackground as the DIB holds it
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  COLORREF pixel(int x, int y) const {
    GdiFlush();
    const DWORD value = bits_[y * kSize + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  }

 private:
  HBITMAP bitmap_;
  DWORD* bits_ = nullptr;
  HDC dc_;
  HGDIOBJ old_;
};

struct GlyphCase {
  const char* name;
  TGlyph (*make)();
  int width, height;
  COLORREF transparent;  // the picture's own colour that is left undrawn
};

// Drawn enabled: the picture, its transparent colour left undrawn, nothing
// outside its size. Drawn disabled: only the grey outline and its white
// highlight.
TEST(Glyphs, DrawTheirPictureOrItsGreyCopy) {
  const COLORREF olive = RGB(128, 128, 0), magenta = RGB(255, 0, 255);
  const COLORREF grey = RGB(128, 128, 128), white = RGB(255, 255, 255);
  const GlyphCase cases[] = {
      {"add", glyphs::addFile, 17, 15, olive},
      {"remove", glyphs::removeFile, 17, 15, olive},
      {"folder", glyphs::openFolder, 17, 17, magenta},
      {"blank", glyphs::blankPage, 16, 16, olive},
      {"output", glyphs::outputFolder, 18, 17, magenta},
  };
  for (const GlyphCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TGlyph glyph = c.make();
    EXPECT_EQ(glyph.ImageWidth(), c.width);
    EXPECT_EQ(glyph.Height(), c.height);
    for (bool enabled : {true, false}) {
      SCOPED_TRACE(enabled ? "enabled" : "disabled");
      Canvas canvas;
      glyph.Draw(canvas.dc(), 0, 0, enabled);
      int drawn = 0, greys = 0;
      for (int y = 0; y < Canvas::kSize; ++y)
        for (int x = 0; x < Canvas::kSize; ++x) {
          const COLORREF at = canvas.pixel(x, y);
          if (at == Canvas::kBackground) continue;
          ++drawn;
          greys += at == grey;
          EXPECT_TRUE(x < c.width && y < c.height) << x << "," << y;
          EXPECT_NE(at, c.transparent) << x << "," << y;
          EXPECT_TRUE(enabled || at == grey || at == white) << x << "," << y;
        }
      EXPECT_EQ(canvas.pixel(0, c.height - 1), Canvas::kBackground) << "the transparent corner";
      EXPECT_GT(drawn, 0);
      EXPECT_TRUE(enabled || greys > 0) << "the grey outline";
    }
  }
}

// A control of a class the system does not know, and one of a class the
// system refuses to register (a name longer than an atom can hold).
class UnknownClassControl : public TCaptionedControl {
 public:
  explicit UnknownClassControl(TWinControl* parent)
      : TCaptionedControl(parent, "NoSuchSelvatClass", "", 0) {}
};

class RefusedClassControl : public TWinControl {
 public:
  using TWinControl::TWinControl;

 protected:
  void CreateHandle(HWND parentWindow) override {
    const std::string name(300, 'x');
    RegisterOwnClass(name.c_str(), 0);
    createWindow(name.c_str(), "", WS_CHILD, 0, parentWindow);
  }
};

// What the exception box would say when the window is asked for: what
// could not be done, and the system's error code (Windows and Wine give
// different codes for a class that is not there).
std::string whyNotMade(TWinControl& control) {
  try {
    control.Handle();
  } catch (const Exception& error) {
    const std::string why = error.what();
    const size_t open = why.rfind(" (");
    const std::string code = why.substr(open + 2, why.size() - open - 3);
    const bool aCode = why.back() == ')' && !code.empty() && code != "0" &&
                       code.find_first_not_of("0123456789") == std::string::npos;
    return aCode ? why.substr(0, open) : "no code: " + why;
  }
  return "made";
}

TEST(Controls, AWindowThatCannotBeMadeIsReported) {
  {
    Host host;
    UnknownClassControl control(&host);
    EXPECT_EQ(whyNotMade(host), "ウィンドウを作成できません");
  }
  {
    Host host;
    RefusedClassControl control(&host);
    EXPECT_EQ(whyNotMade(host), "ウィンドウクラスを登録できません");
  }
}

// An exception out of OnCreate or OnShow is shown, and the form still comes up.
TEST(Form, ExceptionsOfCreateAndShowAreShownAndStartUpGoesOn) {
  std::vector<std::string> shown;
  Application->SetMessageBoxStandIn([&](const std::string& text, const std::string&, UINT) {
    shown.push_back(text);
    return IDOK;
  });
  Host host;
  host.OnCreate = [](TObject*) { throw Exception("作成できません"); };
  host.OnShow = [](TObject*) { throw Exception("表示できません"); };
  host.AfterConstruction();
  host.Show();
  Application->SetMessageBoxStandIn(nullptr);
  std::vector<std::string> expected = {"作成できません.", "表示できません."};
  EXPECT_EQ(shown, expected);
  EXPECT_TRUE(IsWindowVisible(host.Handle()));
}

TEST(ExceptionBox, AddsAFullStopAfterAnythingAboveIt) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},
      {"disk full", "disk full."},
      {"done.", "done."},
      {"what?", "what?."},  // '?' sorts after '.'
      {"a-", "a-"},         // '-' sorts before it
      {"path/", "path/."},
      {"行を挿入できません", "行を挿入できません."},
      {"C:\\表", "C:\\表."},
  };
  for (const auto& [message, shown] : cases) EXPECT_EQ(exceptionBoxText(message), shown) << message;
}
}  // namespace
