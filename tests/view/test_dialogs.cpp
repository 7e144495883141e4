// The toolkit's dialogs as Kelvan sets them up: in Japanese, and starting in a folder.

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "view/NcFileDialog.h"
#include "view/Translations.h"

using kelvan::view::NcFileDialog;

class TestDialogs : public QObject {
  Q_OBJECT
  QTemporaryDir dir_;

 private slots:
  // The buttons of the toolkit's own boxes and dialogs speak Japanese.
  void toolkitTextsAreJapanese() {
    QVERIFY(kelvan::view::InstallToolkitTranslations(*QCoreApplication::instance()));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Kelvan"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
  }

  // A folder is never put into the name box, and one that does not exist gives way.
  void fileDialogsStartInAFolder_data() {
    QTest::addColumn<QString>("initial");
    QTest::addColumn<bool>("mayBeFile");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    const QTemporaryDir* dir = &dir_;
    QFile f(dir->filePath(QStringLiteral("part.nc")));
    f.open(QIODevice::WriteOnly);
    const QString home = QDir::homePath();
    QTest::newRow("windows folder") << QStringLiteral("C:\\Halvorn\\Nc") << false << home << QString();
    QTest::newRow("windows folder, save") << QStringLiteral("C:\\Halvorn\\Nc") << true << home << QString();
    QTest::newRow("folder") << dir->path() << true << dir->path() << QString();
    QTest::newRow("file") << dir->filePath(QStringLiteral("part.nc")) << true << dir->path()
                          << QStringLiteral("part.nc");
    QTest::newRow("new file in a folder") << dir->filePath(QStringLiteral("new.nc")) << true << dir->path()
                                          << QStringLiteral("new.nc");
    QTest::newRow("nothing") << QString() << true << home << QString();
  }
  void fileDialogsStartInAFolder() {
    QFETCH(QString, initial);
    QFETCH(bool, mayBeFile);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mayBeFile ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    NcFileDialog::SetStart(dialog, initial, mayBeFile);
    QCOMPARE(dialog.directory().absolutePath(), QDir(folder).absolutePath());
    const QStringList chosen = dialog.selectedFiles();
    const QString typed = chosen.isEmpty() ? QString() : QFileInfo(chosen.first()).fileName();
    if (name.isEmpty()) {
      QVERIFY2(!typed.contains(QStringLiteral("Halvorn")), qPrintable(typed));
      QVERIFY(chosen.isEmpty() || QFileInfo(chosen.first()).isDir() || typed.isEmpty());
    } else {
      QCOMPARE(typed, name);
    }
  }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
