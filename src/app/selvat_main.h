#pragma once
// The main window: every component and menu item of the program, its
// event handlers and the operations they share. The handlers of each
// concern live beside that concern's logic (input/, archive/, archiver/,
// settings/, app/option_controls.cpp).
#include <cstdint>
#include <string>
#include <vector>

#include "app/glyphs.h"
#include "archive/archive_name.h"
#include "archive/batch_run.h"
#include "archiver/selvat_dll.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/menu.h"
#include "forms/open_dialog.h"
#include "forms/speed_button.h"
#include "input/input_index.h"

class TSelvatForm : public TForm {
 public:
  TSelvatForm();
  ~TSelvatForm() override;

  void Dispatch(TMessage& Message) override;

  // Event handlers.
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ExitClick(TObject* Sender);
  void HelpContentsClick(TObject* Sender);
  void AboutClick(TObject* Sender);
  void AboutDLLClick(TObject* Sender);
  void FileSelectClick(TObject* Sender);
  void FileCancelClick(TObject* Sender);
  void DirSelectClick(TObject* Sender);
  void ListClearClick(TObject* Sender);
  void ArcStartButtonClick(TObject* Sender);
  void Option1Click(TObject* Sender);
  void OutDirClick(TObject* Sender);
  void OutDirCheckClick(TObject* Sender);
  void OutDirButtonClick(TObject* Sender);
  void R9Click(TObject* Sender);
  void ArcName_FileClick(TObject* Sender);
  void NoDialogClick(TObject* Sender);
  void ErrorListClick(TObject* Sender);

  // Operations the handlers share.
  void AddInputFile(const std::string& Path);
  void AddInputDirectory(const std::string& Path);
  std::string ExpandLongPath(const std::string& Path);
  std::string BrowseForFolder(const std::string& Title);
  void WMDropFiles(TMessage& Message);
  void AddCommandLineArguments();  // every argument, first to last
  void ShowLibraryError();
  TArchiveOptions ReadArchiveOptions();  // the options in force for the next archive
  void DeleteInput(int Index);           // keeps the admission index in step
  TMenuItem& LevelItem(int Level);       // R1 to R9; R6 for a level without an item
  TMenuItem& NamingItem(int Naming);     // the naming item; ArcName_File for others
  bool RunInProgress() const { return Batch.inProgress(); }
  // The error list, each line with the reason that the status bar shows
  // while the line is selected.
  void AddErrorLine(const std::string& Line, const std::string& Reason);
  void RefuseInput(const std::string& Item, const std::string& Reason);  // "[Error] " + item
  void ClearErrorLines();
  void ClearErrorsForRun();  // all but the refusals made since the last run began

  // Components, in the order of the window from top to bottom.
  TBevel Bevel1{this};
  TPanel Panel2{this};
  TLabel Label1{&Panel2, "圧縮対象ファイル"};
  TSpeedButton SelectButton{&Panel2, "追加", glyphs::addFile()};
  TSpeedButton CancelButton{&Panel2, "削除", glyphs::removeFile()};
  TSpeedButton DirButton{&Panel2, "ﾃﾞｨﾚｸﾄﾘ選択", glyphs::openFolder()};
  TSpeedButton ClearButton{&Panel2, "ﾘｽﾄのｸﾘｱ", glyphs::blankPage()};
  TListBox InputList{this, false};
  TPanel Panel1{this};
  TButton ArcStartButton{&Panel1, "圧縮開始(&Z)"};
  TCheckBox OutDirCheck{&Panel1, "出力ディレクトリを指定"};
  TEdit OutDirEdit{&Panel1};
  TSpeedButton OutDirButton{&Panel1, "出力ﾃﾞｨﾚｸﾄﾘ選択", glyphs::outputFolder()};
  TLabel Label2{&Panel1, "エラーログ"};
  TListBox ErrorList{&Panel1, true};
  TStatusBar StatusBar1{this};

  TMainMenu MainMenu1;
  TMenuItem File1{&MainMenu1.Items, "ファイル(&F)"};
  TMenuItem FileSelect{&File1, "ファイルを追加(&F)..."};
  TMenuItem FileCancel{&File1, "ファイルリストから削除(&R)"};
  TMenuItem DirSelect{&File1, "ディレクトリ選択(&D)..."};
  TMenuItem ListClear{&File1, "ファイルリストのクリア(&C)"};
  TMenuItem N2{&File1, "-"};
  TMenuItem Exit{&File1, "終了(&X)"};
  TMenuItem Run1{&MainMenu1.Items, "実行(&R)"};
  TMenuItem ArcStart{&Run1, "圧縮開始(&R)"};
  TMenuItem Option1{&MainMenu1.Items, "オプション(&O)"};
  TMenuItem OutDir{&Option1, "出力ディレクトリを指定"};
  TMenuItem OutDirSelect{&Option1, "出力ディレクトリ選択(&D)..."};
  TMenuItem N3{&Option1, "-"};
  TMenuItem ArcRate{&Option1, "圧縮率(&R)"};
  TMenuItem R9{&ArcRate, "9 (圧縮率最大)"};
  TMenuItem R8{&ArcRate, "8"};
  TMenuItem R7{&ArcRate, "7"};
  TMenuItem R6{&ArcRate, "6 (標準)"};
  TMenuItem R5{&ArcRate, "5"};
  TMenuItem R4{&ArcRate, "4"};
  TMenuItem R3{&ArcRate, "3"};
  TMenuItem R2{&ArcRate, "2"};
  TMenuItem R1{&ArcRate, "1 (圧縮率最小)"};
  TMenuItem NoDialog{&Option1, "ダイアログを表示しない"};
  TMenuItem ArcName{&Option1, "書庫ファイル名"};
  TMenuItem ArcName_File{&ArcName, "(FileName).zip"};
  TMenuItem ArcName_Period{&ArcName, "(FileName).(Ext).zip"};
  TMenuItem ArcName_UnderBar{&ArcName, "(FileName)_(Ext).zip"};
  TMenuItem N1{&Option1, "-"};
  TMenuItem InputSubDir{&Option1, "サブディレクトリも読み込む"};
  TMenuItem Help1{&MainMenu1.Items, "ヘルプ(&H)"};
  TMenuItem HelpContents{&Help1, "目次(&C)"};
  TMenuItem N5{&Help1, "-"};
  TMenuItem AboutDLL{&Help1, "DLLのバージョン情報(&D)..."};
  TMenuItem About{&Help1, "バージョン情報(&A)..."};

  TOpenDialog OpenDialog1;

  // Members beyond the components.
  TSelvatDll Dll;
  int32_t FDllError = 0;
  int32_t FArcRate = 0;
  int32_t FArcName = 0;
  BatchRun Batch;
  InputIndex FInputIndex;  // the input list's entries, for admission in constant time
  std::vector<std::string> FErrorReasons;  // of ErrorList's lines, in step with them
  size_t FFreshRefusals = 0;               // last lines of ErrorList, refused since the last run

 private:
  void describeWindow();
  void describeMenu();
  void bindEvents();
};

extern TSelvatForm* SelvatForm;
