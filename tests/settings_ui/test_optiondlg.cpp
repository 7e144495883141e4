// The settings dialog: what it reads from the store, what OK writes back and hands on,
// what Cancel leaves alone; and the main window that opens it and applies its values.

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "editor/NcEditor.h"
#include "print/TStringsPrinter.h"
#include "script/ScriptFolder.h"
#include "settings/LiveSettings.h"
#include "settings/MachineProfile.h"
#include "settings/TRegManager.h"
#include "settings/ui/RadioGroup.h"
#include "settings/ui/TOptionDlg.h"
#include "view/Beep.h"
#include "view/Commands.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"
#include "../view/ScriptedDialogs.h"
#include "../view/WhenModal.h"

using namespace kelvan;
using test::WhenModal;
using settings::RadioGroup;
using settings::TOptionDlg;
using test::ScriptedDialogs;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One stored value in group "Config" and the control that shows it as its text, its item
// index, or "1"/"0" for a check box: for each of these the stored text is what is shown.
struct Row {
  const char* key;
  const char* stored;
  const char* control;
  const char* page;  // the page that holds the control, where its name is not unique
};

// Values other than the defaults, each in the form the store writes it.
const Row kRows[] = {
    {"Folda", "/home/nc/progs", "EditFolda", nullptr},
    {"BufSize", "250000", "EditBufSize", nullptr},
    {"AtcHight", "320.5", "EditAtcHight", nullptr},
    {"BlockSkip", "1", "BlockSkipCheck", nullptr},
    {"MakeBack", "0", "MakeBackCheck", nullptr},
    {"FloatPos", "2", "FloatPosCheck", nullptr},
    {"GridSize", "12.5", "EditGridSize", nullptr},
    {"ScaleFac", "1.5", "EditScaleFac", nullptr},
    {"MaxWindow", "1", "MaxWinCheck", nullptr},
    {"HoleDisp", "1", "HoleDispCheck", nullptr},
    {"ShowG00", "0", "ShowG00Check", nullptr},
    {"ScrollBar", "1", "ScrollBarCheck", nullptr},
    {"ShowPos", "0", "ShowPosCheck", nullptr},
    {"ShowUnderLine", "1", "ShowUnderLineCheck", nullptr},
    {"ScrollNext", "9", "ScrollNext", nullptr},
    {"ShowArrow", "0", "ShowArrowCheck", nullptr},
    {"MarginTop", "11", "MargineTop", nullptr},
    {"MarginBottom", "12", "MargineBottom", nullptr},
    {"MarginLeft", "13", "MargineLeft", nullptr},
    {"MarginRight", "-14", "MargineRight", nullptr},
    {"Header", "%F %d", "Header", nullptr},
    {"Footer", "- %p -", "Footer", nullptr},
    {"EconoPrint", "1", "EconoPrintCheck", nullptr},
    {"EconoPrintRow", "60", "EconoPrintRow", nullptr},
    {"EconoPrintCol", "38", "EconoPrintCol", nullptr},
    {"Machin1", "立形マシニング", "Machine1", nullptr},
    {"CommPort2", "3", "CommPort2", nullptr},
    {"BaudRate3", "9", "BaudRate3", nullptr},
    {"ByteSize4", "1", "ByteSize4", nullptr},
    {"StopBits1", "1", "StopBits1", nullptr},
    {"Parity2", "2", "Parity2", nullptr},
    {"XFlow3", "0", "XFlow3", nullptr},
    {"NcCode4", "1", "NcCode4", nullptr},
    {"OutMode1", "1", "OutMode1", nullptr},
    {"FeedLen2", "120", "FeedLen2", nullptr},
    {"DC2DC43", "0", "DC2DC4Check3", nullptr},
    {"EOB4", "3", "EOBCombo4", nullptr},
    {"Standby1", "0", "StandbyCheck1", nullptr},
    {"TimeOut2", "-50", "TimeOut2", nullptr},
    {"ComDevice1", "/dev/ttyUSB0", "ComDevice1", "Profile1"},
    {"ComDevice2", "/dev/ttyUSB1", "ComDevice2", "Profile2"},
    {"Command1", "穴あけ.pas", "Command1", nullptr},
    {"Command7", "last.PAS", "Command7", nullptr},
};

// Values written beside the rows that no single control shows.
const std::pair<const char*, const char*> kFontAndListValues[] = {
    {"Font_FontName", "DejaVu Sans Mono"}, {"Font_FontSize", "13"},      {"Font_FontColor", "clNavy"},
    {"Font_FontStyle", "2"},               {"Font_FontCharset", "128"},  {"PrintFont_FontName", "IPAGothic"},
    {"PrintFont_FontSize", "9"},           {"PrintFont_FontColor", "$00336699"},
    {"PrintFont_FontStyle", "0"},          {"PrintFont_FontCharset", "1"},
    {"ErrorTag_ItemCount", "2"},           {"ErrorTag_Item0", "G65"},   {"ErrorTag_Item1", "(注)"},
};

}  // namespace

class TestOptionDlg : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString ini_;
  QString scripts_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<settings::TRegManager> reg_;
  std::unique_ptr<settings::LiveSettings> live_;
  std::unique_ptr<TOptionDlg> dlg_;

  // A fresh dialog on the store as it is in the file now, loaded.
  void MakeDialog() {
    dlg_.reset();
    reg_ = std::make_unique<settings::TRegManager>(ini_);
    live_ = std::make_unique<settings::LiveSettings>();
    live_->Load(*reg_);
    dlg_ = std::make_unique<TOptionDlg>(*reg_, *live_, dialogs_, scripts_);
    dlg_->LoadConfig();
  }
  void WriteRaw(const QString& key, const QString& text) {
    QSettings s(ini_, QSettings::IniFormat);
    s.setValue(QStringLiteral("Config/") + key, text);
  }
  // The stored text as the file holds it now; a missing value reads as "<none>".
  QString Stored(const QString& key) {
    reg_->Sync();
    QSettings s(ini_, QSettings::IniFormat);
    return s.value(QStringLiteral("Config/") + key, QStringLiteral("<none>")).toString();
  }
  // The store's file with whatever the store holds unwritten.
  QByteArray FileNow() {
    reg_->Sync();
    return ReadAll(ini_);
  }
  QWidget* Control(const QString& name, const char* page = nullptr) {
    QWidget* in = dlg_.get();
    if (page) in = dlg_->findChild<QWidget*>(QString::fromLatin1(page));
    return in ? in->findChild<QWidget*>(name) : nullptr;
  }
  QString Shown(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QCheckBox*>(w)) return c->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto* r = qobject_cast<RadioGroup*>(w)) return QString::number(r->ItemIndex());
    if (auto* b = qobject_cast<QComboBox*>(w)) return QString::number(b->currentIndex());
    return QStringLiteral("<no control>");
  }
  // Sets a control as the user does.
  void Set(QWidget* w, const QString& value) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->setText(value);
    if (auto* c = qobject_cast<QCheckBox*>(w)) return c->setChecked(value == QStringLiteral("1"));
    if (auto* r = qobject_cast<RadioGroup*>(w)) return r->Button(value.toInt())->click();
    if (auto* b = qobject_cast<QComboBox*>(w)) return b->setCurrentIndex(value.toInt());
    QFAIL("no such control");
  }
  QTabWidget* Pages() { return dlg_->findChild<QTabWidget*>(QStringLiteral("PageControl1")); }

 private slots:
  void initTestCase() {
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    scripts_ = QString::fromStdString(script::UserScriptFolder());
    ini_ = dir_.filePath(QStringLiteral("KELVAN.ini"));
  }
  void init() {
    QFile::remove(ini_);
    dialogs_ = ScriptedDialogs();
  }
  void cleanup() {
    dlg_.reset();
    reg_.reset();
  }

  void firstStartShowsTheDefaults() {
    MakeDialog();
    const std::pair<const char*, const char*> expected[] = {
        {"FloatPosCheck", "1"}, {"XFlow1", "2"},    {"XFlow4", "2"},          {"EOBCombo2", "1"},
        {"TimeOut3", "300"},    {"Machine1", "通信１"}, {"Machine4", "通信４"}, {"Command1", "シーケンス番号.PAS"},
        {"MargineLeft", "20"},  {"EditBufSize", "1000000"}, {"ShowG00Check", "1"}, {"DC2DC4Check2", "1"},
    };
    for (const auto& [name, shown] : expected)
      QVERIFY2(Shown(Control(QString::fromLatin1(name))) == QString::fromUtf8(shown), name);
    QCOMPARE(live_->Decimals(), 3);
    QCOMPARE(dlg_->windowTitle(), QStringLiteral("環境設定"));
    QStringList tabs;
    for (int i = 0; i < Pages()->count(); ++i) tabs << Pages()->tabText(i);
    QCOMPARE(tabs, (QStringList{"システム", "表示", "エラー回避", "印刷", "通信１", "通信２", "通信３", "通信４",
                                "拡張コマンド"}));
  }

  // Every key goes through the controls and back unchanged.
  void everyKeyRoundTripsThroughTheControls() {
    for (const Row& r : kRows) WriteRaw(QString::fromLatin1(r.key), QString::fromUtf8(r.stored));
    for (const auto& [key, text] : kFontAndListValues) WriteRaw(QString::fromLatin1(key), QString::fromUtf8(text));
    MakeDialog();
    for (const Row& r : kRows)
      QVERIFY2(Shown(Control(QString::fromLatin1(r.control), r.page)) == QString::fromUtf8(r.stored), r.key);
    QCOMPARE(dlg_->findChild<QPlainTextEdit*>(QStringLiteral("ErrorTag"))->toPlainText(), QStringLiteral("G65\n(注)"));
    QVERIFY(dlg_->findChild<QLabel*>(QStringLiteral("SampleText"))->text().contains(QStringLiteral("DejaVu Sans Mono")));
    dlg_->OKBtnClick();
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    for (const Row& r : kRows) QVERIFY2(Stored(QString::fromLatin1(r.key)) == QString::fromUtf8(r.stored), r.key);
    for (const auto& [key, text] : kFontAndListValues) QVERIFY2(Stored(QString::fromLatin1(key)) == QString::fromUtf8(text), key);
    // Nothing else was added: OK writes the keys of the dialog and only those.
    // system and display 16, two fonts 10, the word list 3, printing 9, profiles 4 x 14,
    // devices 4, commands 7
    QSettings s(ini_, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Config"));
    QCOMPARE(s.childKeys().size(), 16 + 10 + 3 + 9 + 4 * 14 + 4 + 7);
  }

  // What the user sets in the controls is what the store gets.
  void controlsSetByTheUserReachTheStore() {
    MakeDialog();
    for (const Row& r : kRows) Set(Control(QString::fromLatin1(r.control), r.page), QString::fromUtf8(r.stored));
    dlg_->OKBtnClick();
    for (const Row& r : kRows) QVERIFY2(Stored(QString::fromLatin1(r.key)) == QString::fromUtf8(r.stored), r.key);
  }

  void bufSizeThatIsNoIntegerIsStoredAs100000_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("text") << "abc" << "100000";
    QTest::newRow("decimal") << "150000.5" << "100000";
    QTest::newRow("empty") << "" << "100000";
    QTest::newRow("trailing letters") << "200000k" << "100000";
    QTest::newRow("beyond 32 bits") << "99999999999" << "100000";
    QTest::newRow("integer with blanks") << " 300000 " << "300000";
  }
  void bufSizeThatIsNoIntegerIsStoredAs100000() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    MakeDialog();
    Set(Control(QStringLiteral("EditBufSize")), typed);
    dlg_->OKBtnClick();
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    QCOMPARE(Stored(QStringLiteral("BufSize")), stored);
  }

  // A strict integer field that holds none stops OK before anything is written; the
  // message names the field and the text, the field's page comes to the front.
  void nonIntegerFieldStopsOkBeforeAnyWrite_data() {
    QTest::addColumn<QStringList>("fields");  // control and typed text, in pairs
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("key");  // of the field named
    QTest::newRow("top margin") << QStringList{"MargineTop", "1O"} << "印刷：上端 '1O' は正しい整数ではありません。"
                                << "印刷" << "MarginTop";
    QTest::newRow("economy width") << QStringList{"EconoPrintCol", "4.5"}
                                   << "印刷：幅 '4.5' は正しい整数ではありません。" << "印刷" << "EconoPrintCol";
    QTest::newRow("feed length 2") << QStringList{"FeedLen2", ""} << "通信２：ﾌｨｰﾄﾞ長 '' は正しい整数ではありません。"
                                   << "通信２" << "FeedLen2";
    QTest::newRow("time-out 3") << QStringList{"TimeOut3", "3s"}
                                << "通信３：タイムアウト '3s' は正しい整数ではありません。" << "通信３" << "TimeOut3";
    QTest::newRow("the first in OK's order") << QStringList{"TimeOut1", "x", "MargineRight", "y"}
                                             << "印刷：右端 'y' は正しい整数ではありません。" << "印刷"
                                             << "MarginRight";
  }
  void nonIntegerFieldStopsOkBeforeAnyWrite() {
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    QFETCH(QString, page);
    QFETCH(QString, key);
    WriteRaw(QStringLiteral("Folda"), QStringLiteral("/old"));
    MakeDialog();
    const QByteArray before = FileNow();
    QSignalSpy applied(dlg_.get(), &TOptionDlg::SettingsApplied);
    QSignalSpy liveChanged(live_.get(), &settings::LiveSettings::Changed);
    dlg_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg_.get()));
    Set(Control(QStringLiteral("EditFolda")), QStringLiteral("/new"));  // a key OK writes first
    Set(Control(QStringLiteral("Command7")), QStringLiteral("z.pas"));  // and one it writes last
    for (int i = 0; i + 1 < fields.size(); i += 2) Set(Control(fields[i]), fields[i + 1]);
    dlg_->OKBtnClick();
    QCOMPARE(dialogs_.asked, QStringList{message});
    QVERIFY(dlg_->isVisible());
    QCOMPARE(Pages()->tabText(Pages()->currentIndex()), page);
    QCOMPARE(FileNow(), before);
    QCOMPARE(applied.count(), 0);
    QCOMPARE(liveChanged.count(), 0);
    // Mended, OK writes everything.
    for (int i = 0; i + 1 < fields.size(); i += 2) Set(Control(fields[i]), QStringLiteral("7"));
    dlg_->OKBtnClick();
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
    QCOMPARE(Stored(QStringLiteral("Folda")), QStringLiteral("/new"));
    QCOMPARE(Stored(QStringLiteral("Command7")), QStringLiteral("z.pas"));
    QCOMPARE(Stored(key), QStringLiteral("7"));
    QCOMPARE(applied.count(), 1);
  }

  void cancelWritesNothingAndLeavesTheLiveSettings() {
    WriteRaw(QStringLiteral("ErrorTag_ItemCount"), QStringLiteral("1"));
    WriteRaw(QStringLiteral("ErrorTag_Item0"), QStringLiteral("G65"));
    MakeDialog();
    const QByteArray before = FileNow();
    QSignalSpy liveChanged(live_.get(), &settings::LiveSettings::Changed);
    dlg_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg_.get()));
    Set(Control(QStringLiteral("FloatPosCheck")), QStringLiteral("0"));
    Set(Control(QStringLiteral("ShowG00Check")), QStringLiteral("0"));
    Set(Control(QStringLiteral("MakeBackCheck")), QStringLiteral("0"));
    Set(Control(QStringLiteral("EditFolda")), QStringLiteral("/elsewhere"));
    dlg_->findChild<QPlainTextEdit*>(QStringLiteral("ErrorTag"))->setPlainText(QStringLiteral("M98"));
    dlg_->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    QVERIFY(!dlg_->isVisible());
    QCOMPARE(FileNow(), before);
    QCOMPARE(liveChanged.count(), 0);
    QCOMPARE(live_->Decimals(), 3);
    QVERIFY(live_->ShowG00);
    QVERIFY(live_->MakeBack);
    QCOMPARE(live_->ErrorTags, QStringList{"G65"});
    // Opened again, the dialog shows what holds, so a later OK can't apply what was cancelled.
    QCOMPARE(Shown(Control(QStringLiteral("FloatPosCheck"))), QStringLiteral("1"));
    QCOMPARE(Shown(Control(QStringLiteral("EditFolda"))), QStringLiteral("C:\\Halvorn\\Nc"));
    dlg_->OKBtnClick();
    QCOMPARE(live_->Decimals(), 3);
    QCOMPARE(live_->ErrorTags, QStringList{"G65"});
  }

  void floatPosReachesTheDecimalsAtOnce_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("decimals");
    QTest::newRow("0.01") << 0 << 2;
    QTest::newRow("0.001") << 1 << 3;
    QTest::newRow("0.0001") << 2 << 4;
  }
  void floatPosReachesTheDecimalsAtOnce() {
    QFETCH(int, index);
    QFETCH(int, decimals);
    WriteRaw(QStringLiteral("FloatPos"), QString::number((index + 1) % 3));
    MakeDialog();
    QSignalSpy changed(live_.get(), &settings::LiveSettings::Changed);
    Set(Control(QStringLiteral("FloatPosCheck")), QString::number(index));
    dlg_->OKBtnClick();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(live_->Decimals(), decimals);
    QCOMPARE(Stored(QStringLiteral("FloatPos")), QString::number(index));
  }

  // A choice stored by hand that no item stands for is written back as it was.
  void choicesWithoutAnItemAreKept() {
    const std::pair<const char*, const char*> rows[] = {
        {"FloatPos", "5"}, {"BaudRate1", "42"}, {"Parity3", "-1"}, {"EOB2", "9"}, {"CommPort4", "7"}};
    for (const auto& [key, text] : rows) WriteRaw(QString::fromLatin1(key), QString::fromLatin1(text));
    MakeDialog();
    auto* baud = qobject_cast<RadioGroup*>(Control(QStringLiteral("BaudRate1")));
    for (int i = 0; i < baud->Count(); ++i) QVERIFY(!baud->Button(i)->isChecked());
    QCOMPARE(live_->Decimals(), 3);  // as at start: an unknown FloatPos counts as the default
    dlg_->OKBtnClick();
    for (const auto& [key, text] : rows) QVERIFY2(Stored(QString::fromLatin1(key)) == QString::fromLatin1(text), key);
    // Once the user picks an item, the item counts.
    MakeDialog();
    Set(Control(QStringLiteral("BaudRate1")), QStringLiteral("3"));
    Set(Control(QStringLiteral("EOBCombo2")), QStringLiteral("0"));
    dlg_->OKBtnClick();
    QCOMPARE(Stored(QStringLiteral("BaudRate1")), QStringLiteral("3"));
    QCOMPARE(Stored(QStringLiteral("EOB2")), QStringLiteral("0"));
  }

  void commandPickerPutsTheFileNameOnly() {
    MakeDialog();
    dialogs_.files = {scripts_ + QStringLiteral("/ボルト穴円周.PAS"), QString()};
    dlg_->findChild<QPushButton*>(QStringLiteral("Command3Button"))->click();
    QCOMPARE(Shown(Control(QStringLiteral("Command3"))), QStringLiteral("ボルト穴円周.PAS"));
    QCOMPARE(dialogs_.startedIn, QStringList{scripts_});
    dlg_->Command1ButtonClick(5);  // cancelled: the box keeps its text
    QCOMPARE(Shown(Control(QStringLiteral("Command5"))), QString());
    QCOMPARE(Shown(Control(QStringLiteral("Command3"))), QStringLiteral("ボルト穴円周.PAS"));
  }

  // The device paths belong to the ports: every page shows the same four, and an edit on
  // one page shows on the others and reaches the store.
  void comDevicesAreSharedByThePagesAndRoundTrip() {
    MakeDialog();
    dlg_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dlg_.get()));
    for (int page = 1; page <= 4; ++page)
      for (int port = 1; port <= 4; ++port)
        QCOMPARE(Shown(Control(QStringLiteral("ComDevice%1").arg(port), qPrintable(QStringLiteral("Profile%1").arg(page)))),
                 QStringLiteral("/dev/ttyS%1").arg(port - 1));
    Pages()->setCurrentIndex(6);  // 通信３
    auto* edit = qobject_cast<QLineEdit*>(Control(QStringLiteral("ComDevice2"), "Profile3"));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("/dev/ttyUSB0"));
    for (int page = 1; page <= 4; ++page)
      QCOMPARE(Shown(Control(QStringLiteral("ComDevice2"), qPrintable(QStringLiteral("Profile%1").arg(page)))),
               QStringLiteral("/dev/ttyUSB0"));
    dlg_->OKBtnClick();
    const QStringList expected{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS2", "/dev/ttyS3"};
    for (int port = 1; port <= 4; ++port) QCOMPARE(Stored(QStringLiteral("ComDevice%1").arg(port)), expected[port - 1]);
    QCOMPARE(QString::fromStdString(settings::LoadComDevices(*reg_)[1]), QStringLiteral("/dev/ttyUSB0"));
  }

  void fontDialogsChooseTheStoredFonts() {
    MakeDialog();
    QFont editor(QStringLiteral("DejaVu Sans Mono"));
    editor.setPointSize(14);
    editor.setBold(true);
    QFont printer(QStringLiteral("IPAGothic"));
    printer.setPointSize(9);
    printer.setItalic(true);
    dialogs_.fonts = {editor, printer};
    dlg_->findChild<QPushButton*>(QStringLiteral("FontBtn"))->click();
    dlg_->findChild<QPushButton*>(QStringLiteral("PrintSetFont"))->click();
    dlg_->FontBtnClick();  // cancelled: the choice stays
    QCOMPARE(dialogs_.fontsOffered.size(), 3);
    QCOMPARE(dialogs_.fontsOffered[2].family(), QStringLiteral("DejaVu Sans Mono"));
    QCOMPARE(dlg_->findChild<QLabel*>(QStringLiteral("SampleText"))->font().family(), QStringLiteral("DejaVu Sans Mono"));
    dlg_->OKBtnClick();
    const std::pair<const char*, const char*> expected[] = {
        {"Font_FontName", "DejaVu Sans Mono"}, {"Font_FontSize", "14"}, {"Font_FontStyle", "1"},
        {"Font_FontColor", "clWindowText"},    {"Font_FontCharset", "128"}, {"PrintFont_FontName", "IPAGothic"},
        {"PrintFont_FontSize", "9"},           {"PrintFont_FontStyle", "2"}};
    for (const auto& [key, text] : expected) QVERIFY2(Stored(QString::fromLatin1(key)) == QString::fromLatin1(text), key);
  }

  void folderPickerReplacesTheFolder() {
    MakeDialog();
    dialogs_.folders = {dir_.path()};
    dlg_->EditFoldaButtonClick();
    QCOMPARE(Shown(Control(QStringLiteral("EditFolda"))), dir_.path());
    dlg_->EditFoldaButtonClick();  // cancelled; it started at the folder now named
    QCOMPARE(Shown(Control(QStringLiteral("EditFolda"))), dir_.path());
    QCOMPARE(dialogs_.startedIn, (QStringList{QDir::homePath(), dir_.path()}));
  }

  void errorTagLinesAreTheStoredList() {
    WriteRaw(QStringLiteral("ErrorTag_ItemCount"), QStringLiteral("3"));
    for (int i = 0; i < 3; ++i) WriteRaw(QStringLiteral("ErrorTag_Item%1").arg(i), QStringLiteral("T%1").arg(i));
    MakeDialog();
    auto* memo = dlg_->findChild<QPlainTextEdit*>(QStringLiteral("ErrorTag"));
    memo->setPlainText(QStringLiteral("G65\n"));  // a final line end starts no item
    dlg_->OKBtnClick();
    QCOMPARE(Stored(QStringLiteral("ErrorTag_ItemCount")), QStringLiteral("1"));
    QCOMPARE(Stored(QStringLiteral("ErrorTag_Item0")), QStringLiteral("G65"));
    QCOMPARE(Stored(QStringLiteral("ErrorTag_Item1")), QStringLiteral("<none>"));
    QCOMPARE(live_->ErrorTags, QStringList{"G65"});
  }

  // A store the system refuses to write: the user is told, and the values hold for this run.
  void unwritableStoreIsReported() {
    QFile blocker(dir_.filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dlg_.reset();
    reg_ = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("not-a-folder/KELVAN.ini")));
    live_ = std::make_unique<settings::LiveSettings>();
    dlg_ = std::make_unique<TOptionDlg>(*reg_, *live_, dialogs_, scripts_);
    dlg_->LoadConfig();
    Set(Control(QStringLiteral("FloatPosCheck")), QStringLiteral("2"));
    dlg_->OKBtnClick();
    QCOMPARE(dialogs_.asked.size(), 1);
    QVERIFY(dialogs_.asked[0].startsWith(QStringLiteral("設定を保存できませんでした。")));
    QCOMPARE(live_->Decimals(), 4);
    QCOMPARE(dlg_->result(), int(QDialog::Accepted));
  }
};

// The dialog in the main window: opened by 環境設定, applied at start and on OK.
class TestOptionsInWindow : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  QString ini_;
  ScriptedDialogs* dialogs_ = nullptr;
  std::unique_ptr<view::TViewForm> form_;

  void MakeForm(const QList<std::pair<QString, QString>>& stored = {}) {
    QFile::remove(ini_);
    {
      QSettings s(ini_, QSettings::IniFormat);
      for (const auto& [key, text] : stored) s.setValue(QStringLiteral("Config/") + key, text);
    }
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    form_ = std::make_unique<view::TViewForm>(std::move(dialogs), std::make_unique<settings::TRegManager>(ini_));
    form_->resize(900, 600);
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  TOptionDlg& Dlg() { return form_->OptionDialog(); }
  template <class T>
  T* Control(const char* name) { return Dlg().findChild<T*>(QString::fromLatin1(name)); }
  long HScrollBar() { return form_->Editor().Widget()->SendScintilla(QsciScintilla::SCI_GETHSCROLLBAR); }

 private slots:
  void initTestCase() {
    qputenv("XDG_DATA_HOME", dir_.path().toUtf8());
    ini_ = dir_.filePath(QStringLiteral("KELVAN.ini"));
  }
  void cleanup() {
    form_->Editor().SetModified(false);
    form_.reset();
  }

  void startUpAppliesTheEditorLookAndThePanels() {
    MakeForm({{"ScrollBar", "1"}, {"ShowPos", "0"}, {"BlockSkip", "1"}});
    QCOMPARE(HScrollBar(), 1L);
    for (auto p : {view::TViewForm::PanelX, view::TViewForm::PanelY, view::TViewForm::PanelZ})
      QCOMPARE(form_->PanelText(p), QString());
    QVERIFY(form_->Action(view::Command::SkipBtn)->isChecked());
    QVERIFY(!form_->Live().ShowPos);
    cleanup();
    MakeForm();
    QCOMPARE(HScrollBar(), 0L);  // vertical only, the default
    QVERIFY(!form_->PanelText(view::TViewForm::PanelX).isEmpty());
  }

  void environmentOpensTheDialogAndBeepsWhileExecuting() {
    MakeForm();
    QAction* env = form_->Action(view::Command::Environment);
    QVERIFY(env->isEnabled());
    QString opened;
    WhenModal([&](QWidget* w) {
      opened = w->objectName();
      static_cast<QDialog*>(w)->reject();
    });
    env->trigger();
    QCOMPARE(opened, QStringLiteral("OptionDlg"));

    form_->Editor().SetText(QStringLiteral("G01X1.F100\nX2.\n"));
    form_->Action(view::Command::AcSingle)->trigger();
    QVERIFY(form_->Bench().Exec().IsExecuting());
    const int beeps = view::BeepCount();
    env->trigger();  // would block here if the dialog opened
    QCOMPARE(view::BeepCount(), beeps + 1);
    QVERIFY(!Dlg().isVisible());
  }

  void okAppliesToTheWindowAtOnce() {
    MakeForm({{"Command1", "a.pas"}, {"Command2", "b.pas"}});
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::red);
    const QString folder = QString::fromStdString(script::UserScriptFolder());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(glyph.save(folder + QStringLiteral("/c.bmp")));
    const qint64 designIcon = form_->Action(view::UserCommand(3))->icon().cacheKey();

    Control<QCheckBox>("ScrollBarCheck")->setChecked(true);
    Control<QCheckBox>("ShowUnderLineCheck")->setChecked(true);
    Control<QCheckBox>("ShowPosCheck")->setChecked(false);
    Control<QLineEdit>("MargineTop")->setText(QStringLiteral("25"));
    Control<QLineEdit>("Header")->setText(QStringLiteral("H %F"));
    Control<QLineEdit>("Command1")->setText(QString());
    Control<QLineEdit>("Command3")->setText(QStringLiteral("c.pas"));
    Control<QPlainTextEdit>("ErrorTag")->setPlainText(QStringLiteral("G65"));
    Control<RadioGroup>("FloatPosCheck")->Button(2)->click();
    form_->Editor().SetText(QStringLiteral("G00X1.Y1.\nG65 ABC\n"));  // a syntax error without the word
    QVERIFY(!form_->Redraw());
    Dlg().OKBtnClick();

    QCOMPARE(HScrollBar(), 1L);
    for (auto p : {view::TViewForm::PanelX, view::TViewForm::PanelY, view::TViewForm::PanelZ})
      QCOMPARE(form_->PanelText(p), QString());
    QCOMPARE(form_->Printer().Settings().MarginTop, 25.0);
    QCOMPARE(form_->Printer().Settings().Header, QStringLiteral("H %F"));
    QCOMPARE(form_->Live().Decimals(), 4);
    QVERIFY(!form_->Live().ShowPos);
    // The new word is the analysis's at once: the G65 line is a comment, the program analyses.
    QVERIFY(form_->Bench().Settings().ErrorTags == std::vector<std::string>{"G65"});
    QVERIFY(form_->Bench().IsAnalysed());
    QCOMPARE(form_->Action(view::UserCommand(1))->toolTip(), QString());
    QCOMPARE(form_->Action(view::UserCommand(2))->toolTip(), QStringLiteral("b.pas"));
    QCOMPARE(form_->Action(view::UserCommand(3))->toolTip(), QStringLiteral("c.pas"));
    QVERIFY(form_->Action(view::UserCommand(3))->icon().cacheKey() != designIcon);
    // Renamed to a script without a picture, the button takes its own glyph again.
    Control<QLineEdit>("Command3")->setText(QStringLiteral("d.pas"));
    Dlg().OKBtnClick();
    QCOMPARE(form_->Action(view::UserCommand(3))->icon().cacheKey(), designIcon);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    TestOptionDlg t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    TestOptionsInWindow t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}

#include "test_optiondlg.moc"
