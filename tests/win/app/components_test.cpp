// The behaviours of our components that the handlers rely on.
#include <gtest/gtest.h>

#include "app/glyphs.h"
#include "forms/application.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/menu.h"

namespace {
class Host : public TForm {
 public:
  Host() : TForm(nullptr) { SetBounds(0, 0, 300, 200); }
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
  edit.SetColor(clBtnFace);
  EXPECT_EQ(edit.Color(), clBtnFace);
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

struct GlyphCase {
  const char* name;
  TGlyph (*make)();
  int width, height;
  COLORREF transparent;
};

TEST(Glyphs, TwoImagesAndTheTransparentCorner) {
  const COLORREF olive = RGB(128, 128, 0), magenta = RGB(255, 0, 255);
  const GlyphCase cases[] = {
      {"add", glyphs::addFile, 17, 15, olive},
      {"remove", glyphs::removeFile, 17, 15, olive},
      {"folder", glyphs::openFolder, 17, 17, magenta},
      {"blank", glyphs::blankPage, 16, 16, olive},
      {"output", glyphs::outputFolder, 18, 17, magenta},
  };
  for (const GlyphCase& c : cases) {
    SCOPED_TRACE(c.name);
    TGlyph glyph = c.make();
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(glyph.Bitmap(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 2 * c.width);
    EXPECT_EQ(info.bmHeight, c.height);
    EXPECT_EQ(info.bmBitsPixel, 4);
    EXPECT_EQ(glyph.TransparentColor(), c.transparent);
    // The disabled copy keeps the outline, in grey.
    bool grey = false;
    for (int x = c.width; x < 2 * c.width; ++x)
      for (int y = 0; y < c.height; ++y) grey |= glyph.PixelIndex(x, y) == 8;
    EXPECT_TRUE(grey);
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
