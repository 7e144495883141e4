// kelvan-cli on hostile input: every byte of a program reaches the output, a FIFO is
// refused at once instead of waiting for a writer, and output that cannot be written is
// no success.

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliHostile : public QObject {
  Q_OBJECT
  QString cli_;
  QTemporaryDir dir_;

  QString Write(const QString& name, const QByteArray& bytes) {
    QFile f(dir_.filePath(name));
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return f.fileName();
  }
  // Runs kelvan-cli; false when it did not end within the time.
  bool Run(const QStringList& args, QByteArray& out, int& status, int ms = 10000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    p.setProcessEnvironment(env);
    p.start(cli_, args);
    if (!p.waitForFinished(ms)) {
      p.kill();
      p.waitForFinished();
      return false;
    }
    out = p.readAllStandardOutput();
    status = p.exitCode();
    return true;
  }

 private slots:
  void initTestCase() {
    cli_ = QCoreApplication::applicationDirPath() + "/kelvan-cli";
    if (!QFile::exists(cli_)) QSKIP("kelvan-cli is not built beside the tests");
  }

  void everyByteOfALineIsWritten() {
    const QString file = Write("nul.nc", QByteArray("G01 X1. F100\n(T1-10. \0 END)\nX2.\n", 32));
    for (const char* report : {"tools", "details", "dump"}) {
      QByteArray out;
      int status = -1;
      QVERIFY(Run({"report", report, file}, out, status));
      QCOMPARE(status, 0);
      QVERIFY2(out.contains(QByteArray("(T1-10. \0 END)", 14)), report);
    }
  }

  void aFifoIsRefusedAtOnce() {
    const QByteArray fifo = QFile::encodeName(dir_.filePath("p.nc"));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    for (const char* command : {"dump", "report"}) {
      QStringList args{command};
      if (QByteArray(command) == "report") args << "tools";
      args << QString::fromLocal8Bit(fifo);
      QByteArray out;
      int status = -1;
      QVERIFY2(Run(args, out, status, 5000), command);
      QCOMPARE(status, 2);
    }
  }

  void outputThatCannotBeWrittenFails() {
    if (!QFile::exists("/dev/full")) QSKIP("no /dev/full");
    const QString file = Write("ok.nc", "G01 X1. F100\n");
    QProcess p;
    p.setStandardOutputFile("/dev/full");
    p.start(cli_, {"report", "dump", file});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("cannot write"));
  }
};

QTEST_GUILESS_MAIN(TestCliHostile)
#include "test_cli_hostile.moc"
