#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include "settings/FontSetting.h"
#include "settings/LiveSettings.h"
#include "settings/MachineProfile.h"
#include "settings/StartSettings.h"
#include "settings/TRegManager.h"
#include "settings/ValueText.h"

using namespace kelvan::settings;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<uint32_t>)

class TestStartSettings : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  int stores_ = 0;

  QString NewPath() { return dir_.filePath(QStringLiteral("store%1.ini").arg(++stores_)); }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
  }

  void parseNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<int>>("integer");
    QTest::addColumn<std::optional<double>>("decimal");
    const std::optional<int> noInt;
    const std::optional<double> noNum;
    QTest::newRow("plain") << "2" << std::optional(2) << std::optional(2.0);
    QTest::newRow("point") << "2.0" << noInt << std::optional(2.0);
    QTest::newRow("blanks") << "  7 \t" << std::optional(7) << std::optional(7.0);
    QTest::newRow("plus") << "+5" << std::optional(5) << std::optional(5.0);
    QTest::newRow("plus minus") << "+-5" << noInt << noNum;
    QTest::newRow("minus") << "-3." << noInt << std::optional(-3.0);
    QTest::newRow("exponent") << "1e1" << noInt << std::optional(10.0);
    QTest::newRow("comma point") << "1,5" << noInt << noNum;
    QTest::newRow("hex") << "0x10" << noInt << noNum;
    QTest::newRow("infinity") << "inf" << noInt << noNum;
    QTest::newRow("overflow") << "1e400" << noInt << noNum;
    QTest::newRow("int overflow") << "2147483648" << noInt << std::optional(2147483648.0);
    QTest::newRow("full-width digit") << QString::fromUtf8("２") << noInt << noNum;
  }

  void parseNumbers() {
    QFETCH(QString, text);
    QFETCH(std::optional<int>, integer);
    QFETCH(std::optional<double>, decimal);
    QCOMPARE(ParseInteger(text), integer);
    QCOMPARE(ParseDecimal(text), decimal);
  }

  void defaultBooleans() {
    for (const char* t : {"1", "TRUE", "true", "Yes", "yEs"})
      QVERIFY2(DefaultBoolIsTrue(QString(t)), t);
    for (const char* t : {"0", "", "2", "on", "-1"}) QVERIFY2(!DefaultBoolIsTrue(QString(t)), t);
  }

  void startConversions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("atc");
    QTest::addColumn<double>("grid");
    QTest::addColumn<double>("scale");
    QTest::newRow("not a number") << "abc" << 500.0 << 50.0 << 2.0;
    QTest::newRow("empty") << "" << 500.0 << 50.0 << 2.0;
    QTest::newRow("half") << "0.5" << 0.5 << 1.0 << 2.0;
    QTest::newRow("negative") << "-4" << -4.0 << 1.0 << 2.0;
    QTest::newRow("one") << "1" << 1.0 << 1.0 << 1.0;
    QTest::newRow("one and a half") << " 1.5 " << 1.5 << 1.5 << 1.5;
    QTest::newRow("three") << "3" << 3.0 << 3.0 << 2.0;
    QTest::newRow("exponent") << "1e2" << 100.0 << 100.0 << 2.0;
  }

  void startConversions() {
    QFETCH(QString, text);
    QFETCH(double, atc);
    QFETCH(double, grid);
    QFETCH(double, scale);
    QCOMPARE(StartSettings::AtcHeightFromText(text), atc);
    QCOMPARE(StartSettings::GridSizeFromText(text), grid);
    QCOMPARE(StartSettings::ScaleFacFromText(text), scale);
  }

  void emptyStoreStartsWithDefaults() {
    const StartSettings s = StartSettings::Load(TRegManager(NewPath()));
    QCOMPARE(s.PathCapacity, 1000000);
    QCOMPARE(s.AtcHeight, 500.0);
    QCOMPARE(s.ValueUnit, 0.001);
    QCOMPARE(s.ScaleFac, 2.0);
    QCOMPARE(s.Font, DesignFont());
    QCOMPARE(s.Commands.size(), 7);
    QCOMPARE(s.Commands[0], QString::fromUtf8("シーケンス番号.PAS"));
  }

  void storedStartValues_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<double>("value");
    QTest::newRow("BufSize small") << "BufSize" << "5" << 100000.0;
    QTest::newRow("BufSize garbage") << "BufSize" << "lots" << 100000.0;
    QTest::newRow("BufSize absurd") << "BufSize" << "2000000000" << 50000000.0;
    QTest::newRow("FloatPos 2") << "FloatPos" << "2" << 0.0001;
    QTest::newRow("FloatPos 7") << "FloatPos" << "7" << 0.001;
    QTest::newRow("FloatPos garbage") << "FloatPos" << "x" << 0.01;  // reads as 0
  }

  void storedStartValues() {
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(double, value);
    TRegManager reg(NewPath());
    reg.WriteText(key == "BufSize" ? keys::BufSize : keys::FloatPos, stored);
    const StartSettings s = StartSettings::Load(reg);
    QCOMPARE(key == "BufSize" ? s.PathCapacity : s.ValueUnit, value);
  }

  void historyKeepsTenNamedFiles() {
    TRegManager reg(NewPath());
    QStringList paths;
    for (int i = 0; i < 12; ++i) paths << (i == 1 ? QString() : QStringLiteral("/p/%1.nc").arg(i));
    reg.WriteStrings(keys::History, paths);
    const QStringList h = StartSettings::Load(reg).History;
    QCOMPARE(h.size(), 10);
    QCOMPARE(h.first(), QString("/p/0.nc"));
    QCOMPARE(h[1], QString("/p/2.nc"));
    QCOMPARE(h.last(), QString("/p/10.nc"));
  }

  void machineProfileRoundTrip() {
    TRegManager reg(NewPath());
    MachineProfile p = MachineProfile::Load(reg, 3);
    QCOMPARE(p.Machin, QString::fromUtf8("通信３"));
    QVERIFY(p.DC2DC4 && p.Standby);
    p.Machin = QString::fromUtf8("立形MC");
    p.Standby = false;
    p.TimeOut = 60;
    p.Save(reg, 3);
    const MachineProfile back = MachineProfile::Load(reg, 3);
    QCOMPARE(back.Machin, p.Machin);
    QVERIFY(!back.Standby);
    QCOMPARE(MachineProfile::Load(reg, 2).TimeOut, 300);  // the other profiles untouched
    QCOMPARE(back.ToDnc().Machin, std::string("立形MC"));
    QCOMPARE(back.ToDnc().TimeOut, 60);
  }

  void comDevicesDefaultToTheFirstSerialPorts() {
    TRegManager reg(NewPath());
    QCOMPARE(LoadComDevices(reg)[0], std::string("/dev/ttyS0"));
    QCOMPARE(LoadComDevices(reg)[3], std::string("/dev/ttyS3"));
    reg.WriteString(keys::ComDevice(2), "/dev/ttyUSB0");
    QCOMPARE(LoadComDevices(reg)[1], std::string("/dev/ttyUSB0"));
  }

  void liveSettingsLoad() {
    TRegManager reg(NewPath());
    reg.WriteInteger(keys::FloatPos, 2);
    reg.WriteStrings(keys::ErrorTag, {"SKIP", "(MSG"});
    reg.WriteBool(keys::ShowG00, false);
    reg.WriteBool(keys::HoleDisp, true);
    LiveSettings live;
    QSignalSpy changed(&live, &LiveSettings::Changed);
    live.Load(reg);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(live.FloatPos, 2);
    QCOMPARE(live.Decimals(), 4);
    QCOMPARE(live.ErrorTags, (QStringList{"SKIP", "(MSG"}));
    QVERIFY(!live.ShowG00 && live.HoleDisp && live.MakeBack);
    reg.WriteInteger(keys::FloatPos, 9);
    live.Load(reg);
    QCOMPARE(live.FloatPos, 1);
  }

  void colourTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<uint32_t>>("bgr");
    const std::optional<uint32_t> none;
    QTest::newRow("black") << "clBlack" << std::optional<uint32_t>(0);
    QTest::newRow("any case") << "CLRED" << std::optional<uint32_t>(0x0000FF);
    QTest::newRow("hex") << "$000080FF" << std::optional<uint32_t>(0x0080FF);
    QTest::newRow("system hex") << "$FF000005" << std::optional<uint32_t>(0xFFFFFF);
    QTest::newRow("unknown system") << "$FF000063" << none;
    QTest::newRow("odd high byte") << "$12345678" << none;
    QTest::newRow("unknown name") << "clPlaid" << none;
  }

  void colourTexts() {
    QFETCH(QString, text);
    QFETCH(std::optional<uint32_t>, bgr);
    QCOMPARE(ColorFromText(text), bgr);
  }

  void colourRoundTrip() {
    QCOMPARE(ColorToText(0x123456), QString("$00123456"));
    for (uint32_t c : {0x000000u, 0xC0C0C0u, 0x00ABCDu})
      QCOMPARE(ColorFromText(ColorToText(c)), std::optional<uint32_t>(c));
  }
};

QTEST_GUILESS_MAIN(TestStartSettings)
#include "test_start_settings.moc"
