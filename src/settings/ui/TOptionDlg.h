#pragma once

#include <QDialog>

#include <array>

#include "settings/OptionValues.h"
#include "settings/SettingsKeys.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace kelvan::view {
class UserDialogs;
}

namespace kelvan::settings {

class LiveSettings;
class RadioGroup;
class TRegManager;

// The settings dialog "環境設定": every key of the store that the user edits, on nine
// pages. LoadConfig fills the controls from the store once at start-up; OK writes them
// all back. What the other windows read at each use goes to the live settings; what the
// main window shows (editor font, scroll bars, printer, buttons) it takes from
// SettingsApplied.
//
// OK converts the margins, the economy-printing sizes and each profile's feed length and
// time-out strictly to integers. A field that holds none is named in a message box and
// gets the focus, and nothing is written: the store never holds half of one OK. Cancel
// puts back what the controls held when the dialog opened.
class TOptionDlg : public QDialog {
  Q_OBJECT
 public:
  // `scriptFolder` is where the user command scripts are picked from.
  TOptionDlg(TRegManager& reg, LiveSettings& live, view::UserDialogs& dialogs, const QString& scriptFolder,
             QWidget* parent = nullptr);
  ~TOptionDlg() override;

  // Reads every key into the controls and applies them (once, at start-up).
  void LoadConfig();
  // The OK button: checks, writes every key, applies and closes with OK.
  void OKBtnClick();
  // The "..." button of EditFolda: the folder picker.
  void EditFoldaButtonClick();
  // The font buttons of the editor font and of the printer font.
  void FontBtnClick();
  void PrintSetFontClick();
  // The "..." button of command n (1..7): a script file of the script folder.
  void Command1ButtonClick(int n);

  // What the controls hold now, and putting values into them.
  OptionValues Values() const;
  void SetValues(const OptionValues& v);

  // The caption of a field in the message about a non-integer, e.g. "上端".
  static QString FieldCaption(const IntegerField& field);

 signals:
  // LoadConfig (atStart) or OK has stored the values; the main window applies them.
  void SettingsApplied(const kelvan::settings::OptionValues& values, bool atStart);

 protected:
  void showEvent(QShowEvent* e) override;
  void reject() override;

 private:
  struct ProfilePage {
    QLineEdit* Machine = nullptr;
    RadioGroup* CommPort = nullptr;
    std::array<QLineEdit*, ProfileCount> ComDevice{};
    RadioGroup* BaudRate = nullptr;
    RadioGroup* ByteSize = nullptr;
    RadioGroup* StopBits = nullptr;
    RadioGroup* Parity = nullptr;
    RadioGroup* XFlow = nullptr;
    RadioGroup* NcCode = nullptr;
    RadioGroup* OutMode = nullptr;
    QLineEdit* FeedLen = nullptr;
    QCheckBox* DC2DC4Check = nullptr;
    QComboBox* EOBCombo = nullptr;
    int EOBUnshown = -1;  // a stored EOB that no item stands for
    QCheckBox* StandbyCheck = nullptr;
    QLineEdit* TimeOut = nullptr;
  };

  QWidget* BuildSystemPage();
  QWidget* BuildDisplayPage();
  QWidget* BuildErrorPage();
  QWidget* BuildPrintPage();
  QWidget* BuildProfilePage(int n);
  RadioGroup* BuildPortGroup(int n, QWidget* page);
  QWidget* BuildCommandPage();
  QLineEdit* FieldOf(const IntegerField& field) const;
  void ShowFont(QLabel* sample, const FontSetting& font);

  TRegManager& reg_;
  LiveSettings& live_;
  view::UserDialogs& dialogs_;
  QString scriptFolder_;
  OptionValues opened_;        // the controls' values when the dialog was shown
  FontSetting font_;           // the editor font chosen
  FontSetting printFont_;      // the printer font chosen

  QTabWidget* pages_ = nullptr;
  QLineEdit* editFolda_ = nullptr;
  QLineEdit* editBufSize_ = nullptr;
  QLineEdit* editAtcHight_ = nullptr;
  QCheckBox* blockSkipCheck_ = nullptr;
  QCheckBox* makeBackCheck_ = nullptr;
  RadioGroup* floatPosCheck_ = nullptr;
  QLineEdit* editGridSize_ = nullptr;
  QLineEdit* editScaleFac_ = nullptr;
  QCheckBox* maxWinCheck_ = nullptr;
  QCheckBox* holeDispCheck_ = nullptr;
  QCheckBox* showG00Check_ = nullptr;
  QCheckBox* scrollBarCheck_ = nullptr;
  QCheckBox* showPosCheck_ = nullptr;
  QCheckBox* showUnderLineCheck_ = nullptr;
  QLineEdit* scrollNext_ = nullptr;
  QCheckBox* showArrowCheck_ = nullptr;
  QLabel* sampleText_ = nullptr;
  QPlainTextEdit* errorTag_ = nullptr;
  QLineEdit* margineTop_ = nullptr;
  QLineEdit* margineBottom_ = nullptr;
  QLineEdit* margineLeft_ = nullptr;
  QLineEdit* margineRight_ = nullptr;
  QLineEdit* header_ = nullptr;
  QLineEdit* footer_ = nullptr;
  QCheckBox* econoPrintCheck_ = nullptr;
  QLineEdit* econoPrintRow_ = nullptr;
  QLineEdit* econoPrintCol_ = nullptr;
  QLabel* printSampleText_ = nullptr;
  std::array<ProfilePage, ProfileCount> profiles_{};
  bool syncingDevices_ = false;  // one device edit is passing its text to the other pages
  std::array<QLineEdit*, CommandCount> commands_{};
};

}  // namespace kelvan::settings
