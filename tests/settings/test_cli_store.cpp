#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "settings/SettingsKeys.h"
#include "settings/TRegManager.h"

using kelvan::settings::TRegManager;
namespace keys = kelvan::settings::keys;

namespace {

// Stores a value of the table below as the text a user might have left there.
void WriteStored(TRegManager& reg, const QString& key, const QString& value) {
  if (key == "ErrorTag") reg.WriteStrings(keys::ErrorTag, value.split('|'));
  else if (key == "FloatPos") reg.WriteText(keys::FloatPos, value);
  else if (key == "BlockSkip") reg.WriteText(keys::BlockSkip, value);
  else if (key == "AtcHight") reg.WriteText(keys::AtcHight, value);
  else QFAIL(qPrintable("no such key in this test: " + key));
}

}  // namespace

// kelvan-cli takes every common option that is not given from the user's settings store.
class TestCliStore : public QObject {
  Q_OBJECT

 private:
  QString cli_;
  QTemporaryDir dataDir_;
  QString program_;

 private slots:
  void initTestCase() {
    // Never the real user's store, neither here nor in the child processes.
    QVERIFY(dataDir_.isValid());
    qputenv("XDG_CONFIG_HOME", dataDir_.filePath("unused-config").toLocal8Bit());
    cli_ = QCoreApplication::applicationDirPath() + "/kelvan-cli";
    if (!QFile::exists(cli_)) QSKIP("kelvan-cli is not built beside the tests");
    program_ = dataDir_.filePath("move.nc");
    QFile f(program_);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("G00X10.\n");
  }

  void storeFillsMissingOptions_data() {
    QTest::addColumn<QStringList>("store");  // "Key=Value"; ErrorTag items split by "|"
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("line");           // the line of stdout to compare
    QTest::addColumn<QString>("expected");
    const QString prog = "@PROGRAM@";
    QTest::newRow("FloatPos") << QStringList{"FloatPos=0"} << QStringList{"tokenize", "X1"} << 0
                              << "words X:0.0100";
    QTest::newRow("option wins over FloatPos")
        << QStringList{"FloatPos=0"} << QStringList{"tokenize", "--floatpos", "2", "X1"} << 0
        << "words X:0.0001";
    QTest::newRow("BlockSkip") << QStringList{"BlockSkip=1"}
                               << QStringList{"tokenize", "--", "/X1"} << 1 << "attrs BlockSkip";
    QTest::newRow("error-tag option replaces stored words")
        << QStringList{"ErrorTag=SKIPME"}
        << QStringList{"tokenize", "--error-tag", "OTHER", "X1 SKIPME"} << 1 << "attrs HasX";
    QTest::newRow("Japanese ErrorTag")
        << QStringList{QString::fromUtf8("ErrorTag=NOTE|（段取）")}
        << QStringList{"tokenize", QString::fromUtf8("X1（段取）")} << 1 << "attrs CommentLine";
    QTest::newRow("AtcHight")
        << QStringList{"AtcHight= 123.5"} << QStringList{"dump", prog} << 0
        << "0 0 0 0.0000 0.0000 123.5000 10.0000 0.0000 123.5000 0.0000 0.0000 0.0000 "
           "10.0000 0.001667";
    QTest::newRow("AtcHight not a number")
        << QStringList{"AtcHight=high"} << QStringList{"dump", prog} << 0
        << "0 0 0 0.0000 0.0000 500.0000 10.0000 0.0000 500.0000 0.0000 0.0000 0.0000 "
           "10.0000 0.001667";
  }

  void storeFillsMissingOptions() {
    QFETCH(QStringList, store);
    QFETCH(QStringList, args);
    QFETCH(int, line);
    QFETCH(QString, expected);
    QTemporaryDir config;
    QVERIFY(config.isValid());
    {
      TRegManager reg(config.filePath("Morwen/KELVAN.ini"));
      for (const QString& kv : store) {
        const QString key = kv.section('=', 0, 0);
        const QString value = kv.section('=', 1);
        WriteStored(reg, key, value);
      }
      QVERIFY(reg.Sync());
    }
    args.replaceInStrings("@PROGRAM@", program_);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    p.setProcessEnvironment(env);
    p.start(cli_, args);
    QVERIFY(p.waitForFinished(10000));
    const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    QVERIFY2(line < out.size(), qPrintable(out.join('\n')));
    QCOMPARE(out[line], expected);
  }
};

QTEST_GUILESS_MAIN(TestCliStore)
#include "test_cli_store.moc"
