// この行から再開 and プログラム比較 in the main window: the restarted program handed to a new
// window or saved (never over the original), refusals with the caret on their line, and the
// compared program drawn under the path with its stretches listed.

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include "editor/NcEditor.h"
#include "tools/ui/TCompareDlg.h"
#include "view/DocumentController.h"
#include "view/TPathView.h"
#include "view/TViewForm.h"
#include "workbench/Workbench.h"
#include "ScriptedDialogs.h"

using namespace kelvan;
using view::Command;
using view::TViewForm;

namespace {

QString Data(const char* name) { return QStringLiteral(KELVAN_TEST_DATA "/") + QString::fromUtf8(name); }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Pixels of the colour in the shown picture.
int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
  return n;
}

constexpr QRgb kLime = 0x00FF00;

}  // namespace

class TestViewCompare : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;
  std::unique_ptr<TViewForm> form_;
  test::ScriptedDialogs* dialogs_ = nullptr;
  QList<QStringList> started_;

  std::unique_ptr<TViewForm> NewForm(test::ScriptedDialogs*& dialogs) {
    auto d = std::make_unique<test::ScriptedDialogs>();
    dialogs = d.get();
    auto reg = std::make_unique<settings::TRegManager>(dir_.filePath(QStringLiteral("KELVAN.ini")));
    auto form = std::make_unique<TViewForm>(std::move(d), std::move(reg));
    form->SetInstanceStarter([this](const QStringList& args) {
      started_ << args;
      return true;
    });
    form->resize(900, 600);
    form->show();
    return form;
  }
  void Open(const QString& path, int caretRow) {
    QVERIFY(form_->Document().Load(path));
    form_->Editor().SetCaret(caretRow, 0);
  }
  QString Asked() const { return dialogs_->asked.join(QStringLiteral("|")); }

 private slots:
  void init() {
    started_.clear();
    form_ = NewForm(dialogs_);
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }
  void cleanup() {
    form_.reset();
    for (const QStringList& args : started_)
      if (args.size() == 2) QFile::remove(args[1]);
  }

  // The restart goes to a new window: handed over in the document's encoding and line
  // ends, opened there unnamed and modified, the hand-over file removed, the original
  // untouched.
  void restartOpensInANewWindow() {
    const QString path = dir_.filePath(QStringLiteral("part.nc"));
    QVERIFY(Write(path, QByteArray("G90 G01 X10. Y0 Z0 F100\r\nX20.\r\nX30.(\x89\xc1\x8d\x48)\r\nM30\r\n")));
    Open(path, 1);
    dialogs_->answers = {QMessageBox::Yes};
    form_->Action(Command::AcRestart)->trigger();
    QVERIFY2(Asked().startsWith(QStringLiteral("行 2 から再開するプログラムを作りました（前置き ")), qPrintable(Asked()));
    QCOMPARE(started_.size(), 1);
    QCOMPARE(started_[0].value(0), QStringLiteral("--untitled"));
    const QString handed = started_[0].value(1);
    QVERIFY(QFileInfo(handed).fileName().startsWith(QStringLiteral("kelvan-handover-")));
    const QByteArray bytes = ReadAll(handed);
    QVERIFY2(bytes.startsWith("(RESTART FROM LINE 2)\r\n"), bytes.constData());
    QVERIFY2(bytes.endsWith("\r\nX20.\r\nX30.(\x89\xc1\x8d\x48)\r\nM30\r\n"), bytes.constData());
    QVERIFY(!form_->Editor().IsModified());
    QCOMPARE(ReadAll(path), QByteArray("G90 G01 X10. Y0 Z0 F100\r\nX20.\r\nX30.(\x89\xc1\x8d\x48)\r\nM30\r\n"));

    test::ScriptedDialogs* second = nullptr;
    std::unique_ptr<TViewForm> other = NewForm(second);
    other->OpenHandedOver(handed);
    QVERIFY(!QFile::exists(handed));
    QVERIFY(other->Bench().FileName().isEmpty());
    QVERIFY(other->Editor().IsModified());
    QVERIFY(other->Editor().Text().contains(QStringLiteral("X30.(加工)")));
    QVERIFY(other->Redraw());
  }

  // A file named on the command line that is no hand-over file stays where it is.
  void onlyHandOverFilesAreRemoved() {
    const QString path = dir_.filePath(QStringLiteral("kelvan-handover-keep.nc"));
    QVERIFY(Write(path, "G01 X1. F100\n"));
    form_->OpenHandedOver(path);
    QVERIFY(QFile::exists(path));
    QVERIFY(form_->Editor().IsModified());
  }

  // Saved where the user says, never over the original; Cancel writes nothing.
  void restartSavedWhereTheUserSays() {
    const QString original = Data("restart_cycle.nc");
    const QByteArray before = ReadAll(original);
    Open(original, 6);
    const QString target = dir_.filePath(QStringLiteral("again.nc"));
    dialogs_->answers = {QMessageBox::No, QMessageBox::Ok};
    dialogs_->files = {original, target};
    form_->Action(Command::AcRestart)->trigger();
    QVERIFY2(Asked().contains(QStringLiteral("元のプログラムには保存できません。")), qPrintable(Asked()));
    QCOMPARE(dialogs_->startedIn.value(0), QFileInfo(original).absolutePath() + QStringLiteral("/restart_cycle_restart7.nc"));
    QVERIFY(ReadAll(target).startsWith("(RESTART FROM LINE 7)"));
    QVERIFY(ReadAll(target).contains("\nX50.\n"));
    QCOMPARE(ReadAll(original), before);
    QVERIFY(started_.isEmpty());

    dialogs_->asked.clear();
    QVERIFY(Write(target, "kept"));
    dialogs_->answers = {QMessageBox::No, QMessageBox::Cancel};
    dialogs_->files = {target};
    form_->Action(Command::AcRestart)->trigger();
    QVERIFY(Asked().contains(QStringLiteral(" 上書きしますか。")));
    QCOMPARE(ReadAll(target), QByteArray("kept"));
  }

  // A restart that would not be exact is refused, with the caret on the line it names.
  void refusalsNameTheLine_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("caretRow");
    QTest::newRow("cycle in G19") << Data("restart_refusals.nc") << 3
                                  << "再開できません（行 4）: G18/G19 平面の固定サイクル中からは再開できません" << 3;
    QTest::newRow("after the end") << Data("restart_refusals.nc") << 15
                                   << "再開できません（行 16）: この行はメインプログラムの終わりより後にあり、実行されません"
                                   << 15;
  }
  void refusalsNameTheLine() {
    QFETCH(QString, file);
    QFETCH(int, row);
    QFETCH(QString, message);
    QFETCH(int, caretRow);
    Open(file, row);
    form_->Action(Command::AcRestart)->trigger();
    QCOMPARE(Asked(), message);
    QCOMPARE(form_->Editor().CaretRow(), caretRow);
    QVERIFY(started_.isEmpty());
  }

  // The compared program under the path in lime, its stretches listed; a double-click puts
  // the caret on the stretch; an edit makes it stale; closing the window ends it.
  void compareDrawsUnderAndListsTheStretches() {
    Open(Data("compare_part.nc"), 0);
    QVERIFY(form_->Redraw());
    form_->Action(Command::AcFit)->trigger();
    QCOMPARE(CountColour(form_->ShowBox().ShownImage(), kLime), 0);
    dialogs_->files = {Data("compare_part_turned.nc")};
    form_->Action(Command::AcCompare)->trigger();
    tools::TCompareDlg& dlg = form_->CompareWindow();
    QVERIFY(dlg.isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(form_->Bench().Compare().Active());
    QVERIFY(form_->PanelText(TViewForm::PanelMessage).startsWith(QStringLiteral("比較: 最大のずれ 0.0189")));
    QVERIFY(CountColour(form_->ShowBox().ShownImage(), kLime) > 50);
    QCOMPARE(dlg.List()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = dlg.List()->topLevelItem(0);
    QCOMPARE(row->text(0), QStringLiteral("4-22"));
    QCOMPARE(row->text(2), QStringLiteral("0.0189"));

    form_->Editor().SetCaret(0, 0);
    const QRect r = dlg.List()->visualItemRect(row);
    QTest::mouseClick(dlg.List()->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(dlg.List()->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(form_->Editor().CaretRow(), 3);

    form_->Editor().InsertLine(0, QStringLiteral("(EDITED)"));
    QVERIFY(form_->Redraw());
    QVERIFY(dlg.IsStale());
    dlg.close();
    QVERIFY(!form_->Bench().Compare().Active());
    QVERIFY(form_->PanelText(TViewForm::PanelMessage).isEmpty());
    QCOMPARE(CountColour(form_->ShowBox().ShownImage(), kLime), 0);
  }

  // 全体表示 fits both paths while a program is compared, the document's alone after.
  void fitTakesInTheComparedPath() {
    form_->Editor().SetText(QStringLiteral("G90 G00 X0 Y0 Z0\nG01 X10. F100\n"));
    const QString far = dir_.filePath(QStringLiteral("far.nc"));
    QVERIFY(Write(far, "G90 G00 X0 Y0 Z0\nG01 X400. Y300. F100\n"));
    dialogs_->files = {far};
    form_->Action(Command::AcCompare)->trigger();
    QVERIFY(form_->Bench().Compare().Active());
    auto inView = [this](double x, double y) {
      const view::PixelPoint p = form_->View().ToPixel(form_->View().ProjectPoint(x, y, 0));
      return QRect(QPoint(0, 0), form_->ShowBox().size()).contains(QPoint(int(p.X), int(p.Y)));
    };
    form_->Action(Command::AcFit)->trigger();
    QVERIFY(inView(400, 300));
    QVERIFY(inView(0, 0));
    form_->CompareWindow().close();
    form_->Action(Command::AcFit)->trigger();
    QVERIFY(!inView(400, 300));
  }

  // A program the compare cannot analyse says so; the picture stays as it was.
  void compareRefusesABrokenProgram() {
    Open(Data("compare_part.nc"), 0);
    const QString broken = dir_.filePath(QStringLiteral("broken.nc"));
    QVERIFY(Write(broken, "G01 X10. F100\nG02 X50. R1.\n"));
    dialogs_->files = {broken};
    form_->Action(Command::AcCompare)->trigger();
    QVERIFY2(Asked().startsWith(QStringLiteral("比較するプログラムの解析が止まります（行 2 桁 1）")), qPrintable(Asked()));
    QVERIFY(!form_->CompareWindow().isVisible());
    QVERIFY(!form_->Bench().Compare().Active());
  }
};

QTEST_MAIN(TestViewCompare)
#include "test_viewcompare.moc"
