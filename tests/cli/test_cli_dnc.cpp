// kelvan-cli dnc over a pseudo-terminal: the machine is this test, on the master side.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "comm/TapeCode.h"

namespace {

// What the port sends for ISO text (the codes are tested in the core).
QByteArray Iso(const QByteArray& text) {
  QByteArray out;
  for (char c : text) out.append(static_cast<char>(kelvan::comm::EncodeIso(static_cast<uint8_t>(c))));
  return out;
}

}  // namespace

class TestCliDnc : public QObject {
  Q_OBJECT
  QString cli_;
  QTemporaryDir dir_;
  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;

  // kelvan-cli with the test's settings store, started; the caller plays the machine.
  void Start(QProcess& p, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    p.setProcessEnvironment(env);
    p.start(cli_, args);
    QVERIFY(p.waitForStarted());
  }
  // What the port sent until the process ended (and the line went quiet).
  QByteArray ReadUntilDone(QProcess& p) {
    QByteArray got;
    for (int idle = 0; idle < 3;) {
      pollfd fd{master_, POLLIN, 0};
      if (::poll(&fd, 1, 100) > 0 && (fd.revents & POLLIN)) {
        char buf[4096];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) got.append(buf, n);
        continue;
      }
      if (p.state() == QProcess::NotRunning || p.waitForFinished(0)) ++idle;
    }
    p.waitForFinished(5000);
    return got;
  }

 private slots:
  void initTestCase() {
    cli_ = QCoreApplication::applicationDirPath() + "/kelvan-cli";
    if (!QFile::exists(cli_)) QSKIP("kelvan-cli is not built beside the tests");
    QDir().mkpath(dir_.filePath("config/Morwen"));
    QFile ini(dir_.filePath("config/Morwen/KELVAN.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    // Profile 1: ISO, no flow control, LF ends a block, no DC2/DC4. Profile 2: EIA.
    ini.write("[Config]\nXFlow1=0\nDC2DC41=0\nEOB1=0\nTimeOut1=1000\n"
              "XFlow2=0\nDC2DC42=0\nNcCode2=1\nTimeOut2=1000\n");
  }
  void init() {
    char name[128] = {};
    QCOMPARE(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    slavePath_ = QString::fromLocal8Bit(name);
    // kelvan-cli must not inherit the machine's end, or closing it would hang up nothing.
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
    termios t{};
    ::tcgetattr(master_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(master_, TCSANOW, &t);
  }
  void cleanup() {
    ::close(master_);
    ::close(slave_);
  }

  void sendsTheFileInTheProfilesCode_data() {
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("iso") << "1" << Iso("%\nG01X1.\n%\n");
    QTest::newRow("eia") << "2" << QByteArray("\x0B\x80\x67\x20\x01\x37\x01\x6B\x80\x0B\x80", 11);
  }
  void sendsTheFileInTheProfilesCode() {
    QFETCH(QString, profile);
    QFETCH(QByteArray, wire);
    QFile f(dir_.filePath("p.nc"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("%\nG01X1.\n%\n");
    f.close();
    QProcess p;
    Start(p, {"dnc", "send", "--profile", profile, "--device", slavePath_, f.fileName()});
    QCOMPARE(ReadUntilDone(p), wire);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardError().contains("sent 3 of 3 lines"));
  }

  void receivesIntoTheFile() {
    const QString out = dir_.filePath("received.nc");
    QProcess p;
    Start(p, {"dnc", "receive", "--device", slavePath_, out});
    QTest::qWait(500);  // the port is open by then
    const QByteArray wire = Iso("%\nO12 \nG00X1.\n%");
    QCOMPARE(::write(master_, wire.constData(), size_t(wire.size())), ssize_t(wire.size()));
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("%\nO12\nG00X1.\n%\n"));
  }

  void aHangUpKeepsWhatCameAndFails() {
    const QString out = dir_.filePath("partial.nc");
    QProcess p;
    Start(p, {"dnc", "receive", "--device", slavePath_, out});
    QTest::qWait(500);
    const QByteArray wire = Iso("%\nG00\nG0");
    QCOMPARE(::write(master_, wire.constData(), size_t(wire.size())), ssize_t(wire.size()));
    QTest::qWait(300);
    ::close(slave_);
    ::close(master_);
    slave_ = master_ = ::open("/dev/null", O_RDONLY);  // for cleanup
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 1);
    QFile f(out);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("%\nG00\n"));
  }

  void aMissingDeviceIsAFileError() {
    QProcess p;
    Start(p, {"dnc", "send", "--device", dir_.filePath("no-such-tty"), QStringLiteral(KELVAN_TEST_DATA "/tools_cycles.nc")});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("ＲＳ２３２Ｃ初期化に失敗しました。"));
  }
};

QTEST_GUILESS_MAIN(TestCliDnc)
#include "test_cli_dnc.moc"
