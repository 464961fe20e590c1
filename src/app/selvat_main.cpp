#include "app/selvat_main.h"

#include <commdlg.h>
#include <shellapi.h>

#include "app/help.h"
#include "app/version.h"
#include "forms/application.h"

TSelvatForm* SelvatForm = nullptr;

namespace {
const TFontSpec kListFont{"ＭＳ ゴシック", -13};
const TFontSpec kErrorListFont{"ＭＳ ゴシック", -12};
const TFontSpec kLabelFont{"ＭＳ Ｐゴシック", -13};

// A handler of the form as an event of a component.
template <typename... Args>
std::function<void(Args...)> handler(TSelvatForm* form, void (TSelvatForm::*method)(Args...)) {
  return [form, method](Args... args) { (form->*method)(args...); };
}

std::string aboutText() {
  return std::string("Selvat Archiver\n\nVersion ") + kSelvatVersion +
         "\n\n"
         "作者 : Selvat Archiver 開発チーム\n"
         "Web : https://selvat-archiver.example/\n"
         "E-mail : support@selvat-archiver.example";
}
}  // namespace

TSelvatForm::TSelvatForm() {
  describeWindow();
  describeMenu();
  bindEvents();
  // Asking for the list's handle makes the form's window and all of its
  // children now; nothing is shown yet.
  DragAcceptFiles(InputList.Handle(), TRUE);
  Application->OnHelp = [](UINT, ULONG_PTR) { return answerHelpRequest(); };
}

TSelvatForm::~TSelvatForm() {
  Application->OnHelp = nullptr;
}

void TSelvatForm::describeWindow() {
  SetCaption("Selvat Archiver");
  SetBounds(192, 107, 450, 450);
  HelpContext = 10;
  SetMenu(&MainMenu1);

  Bevel1.SetBounds(0, 0, 442, 4);
  Bevel1.SetAlign(TAlign::alTop);
  Panel2.SetBounds(0, 4, 442, 30);
  Panel2.SetAlign(TAlign::alTop);
  Label1.SetBounds(5, 14, 94, 13);
  Label1.SetFont(kLabelFont);
  SelectButton.SetBounds(105, 2, 25, 25);
  CancelButton.SetBounds(135, 2, 25, 25);
  DirButton.SetBounds(165, 2, 25, 25);
  ClearButton.SetBounds(195, 2, 25, 25);

  InputList.SetBounds(0, 34, 442, 203);
  InputList.SetAlign(TAlign::alClient);
  InputList.SetFont(kListFont);
  InputList.SetItemHeight(13);

  Panel1.SetBounds(0, 237, 442, 147);
  Panel1.SetAlign(TAlign::alBottom);
  ArcStartButton.SetBounds(4, 8, 125, 42);
  OutDirCheck.SetBounds(136, 8, 177, 17);
  OutDirEdit.SetBounds(136, 28, 265, 21);
  OutDirEdit.SetFont(kLabelFont);
  OutDirEdit.SetEnabled(false);
  OutDirEdit.SetColor(clBtnFace);
  OutDirButton.SetBounds(409, 25, 23, 25);
  OutDirButton.SetEnabled(false);
  Label2.SetBounds(5, 56, 54, 12);
  ErrorList.SetBounds(0, 71, 442, 76);
  ErrorList.SetAlign(TAlign::alBottom);
  ErrorList.SetFont(kErrorListFont);
  ErrorList.SetItemHeight(12);

  StatusBar1.SetBounds(0, 384, 442, 20);
  StatusBar1.SetAlign(TAlign::alBottom);
  StatusBar1.SetFont(kLabelFont);

  SetActiveControl(&InputList);

  OpenDialog1.Filter = "すべてのﾌｧｲﾙ (*.*)|*.*";
  OpenDialog1.Options = OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_NODEREFERENCELINKS;
}

void TSelvatForm::describeMenu() {
  TMenuItem* levels[] = {&R9, &R8, &R7, &R6, &R5, &R4, &R3, &R2, &R1};
  int tag = 9;
  for (TMenuItem* level : levels) {
    level->Tag = tag--;
    level->GroupIndex = 1;
    level->RadioItem = true;
  }
  R6.SetChecked(true);
  TMenuItem* namings[] = {&ArcName_File, &ArcName_Period, &ArcName_UnderBar};
  tag = 1;
  for (TMenuItem* naming : namings) {
    naming->Tag = tag++;
    naming->GroupIndex = 2;
    naming->RadioItem = true;
  }
}

void TSelvatForm::bindEvents() {
  OnCreate = handler(this, &TSelvatForm::FormCreate);
  OnShow = handler(this, &TSelvatForm::FormShow);
  OnClose = handler(this, &TSelvatForm::FormClose);

  Exit.OnClick = handler(this, &TSelvatForm::ExitClick);
  HelpContents.OnClick = handler(this, &TSelvatForm::HelpContentsClick);
  About.OnClick = handler(this, &TSelvatForm::AboutClick);
  AboutDLL.OnClick = handler(this, &TSelvatForm::AboutDLLClick);

  SelectButton.OnClick = FileSelect.OnClick = handler(this, &TSelvatForm::FileSelectClick);
  CancelButton.OnClick = FileCancel.OnClick = handler(this, &TSelvatForm::FileCancelClick);
  DirButton.OnClick = DirSelect.OnClick = handler(this, &TSelvatForm::DirSelectClick);
  ClearButton.OnClick = ListClear.OnClick = handler(this, &TSelvatForm::ListClearClick);
  ArcStartButton.OnClick = ArcStart.OnClick = handler(this, &TSelvatForm::ArcStartButtonClick);

  Option1.OnClick = handler(this, &TSelvatForm::Option1Click);
  OutDir.OnClick = handler(this, &TSelvatForm::OutDirClick);
  OutDirCheck.OnClick = handler(this, &TSelvatForm::OutDirCheckClick);
  OutDirButton.OnClick = OutDirSelect.OnClick = handler(this, &TSelvatForm::OutDirButtonClick);
  for (TMenuItem* level : {&R1, &R2, &R3, &R4, &R5, &R6, &R7, &R8, &R9})
    level->OnClick = handler(this, &TSelvatForm::R9Click);
  for (TMenuItem* naming : {&ArcName_File, &ArcName_Period, &ArcName_UnderBar})
    naming->OnClick = handler(this, &TSelvatForm::ArcName_FileClick);
  NoDialog.OnClick = InputSubDir.OnClick = handler(this, &TSelvatForm::NoDialogClick);
  ErrorList.OnClick = handler(this, &TSelvatForm::ErrorListClick);
}

void TSelvatForm::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_DROPFILES) {
    WMDropFiles(Message);
    return;
  }
  // Disabled during a run: the archiver is putting up a window of its own.
  if (Message.Msg == WM_ENABLE && !Message.WParam) Batch.showAsItIs();
  TForm::Dispatch(Message);
}

void TSelvatForm::FormShow(TObject*) {
  FDllError = Dll.Load();
  if (FDllError != 0) {
    ShowLibraryError();
    SelvatForm->Close();
    return;
  }
  AddCommandLineArguments();
}

void TSelvatForm::ExitClick(TObject*) {
  SelvatForm->Close();
}

void TSelvatForm::HelpContentsClick(TObject*) {
  Application->HelpCommand(HELP_CONTENTS, 0);
}

void TSelvatForm::AboutClick(TObject*) {
  Application->MessageBox(aboutText(), "ﾊﾞｰｼﾞｮﾝ情報", MB_OK | MB_ICONINFORMATION);
}
