#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "settings/TRegManager.h"

using kelvan::settings::FontSetting;
using kelvan::settings::TRegManager;

namespace {

// Writes an INI file by hand, as a user or an older version might have left it.
void WriteRaw(const QString& path, const QByteArray& text) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text);
}

QByteArray ReadRaw(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The value names stored in one group of the file, sorted.
QStringList RawKeys(const QString& path, const QString& group) {
  QSettings raw(path, QSettings::IniFormat);
  raw.beginGroup(group);
  QStringList keys = raw.childKeys();
  keys.sort();
  return keys;
}

}  // namespace

class TestRegManager : public QObject {
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

  void userStoreLivesUnderConfigHome() {
    const TRegManager reg;
    QCOMPARE(reg.FileName(), dir_.filePath(QStringLiteral("Morwen/KELVAN.ini")));
  }

  void emptyStoreReadsDefaults_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("FloatPos") << "FloatPos" << "1";
    QTest::newRow("BufSize") << "BufSize" << "1000000";
    QTest::newRow("AtcHight") << "AtcHight" << "500";
    QTest::newRow("ScaleFac") << "ScaleFac" << "2.0";
    QTest::newRow("Folda") << "Folda" << "C:\\Halvorn\\Nc";
    QTest::newRow("Header") << "Header" << "%F";
    QTest::newRow("Split") << "Split" << "300";
    QTest::newRow("Command1") << "Command1" << QString::fromUtf8("シーケンス番号.PAS");
    QTest::newRow("Command7") << "Command7" << "";
    const char* names[] = {"通信１", "通信２", "通信３", "通信４"};
    for (int n = 1; n <= 4; ++n) {
      auto row = [n](const char* base, const QString& text) {
        const QString key = QString::fromLatin1(base) + QString::number(n);
        QTest::newRow(qPrintable(key)) << key << text;
      };
      row("Machin", QString::fromUtf8(names[n - 1]));
      row("XFlow", "2");
      row("EOB", "1");
      row("TimeOut", "300");
    }
  }

  void emptyStoreReadsDefaults() {
    QFETCH(QString, key);
    QFETCH(QString, text);
    const TRegManager reg(NewPath());
    QCOMPARE(reg.ReadString(key), text);
  }

  void booleanDefaults() {
    const TRegManager reg(NewPath());
    QVERIFY(reg.ReadBool(u"MakeBack") && reg.ReadBool(u"ShowG00"));
    QVERIFY(reg.ReadBool(u"DC2DC43") && reg.ReadBool(u"Standby4"));
    QVERIFY(!reg.ReadBool(u"BlockSkip") && !reg.ReadBool(u"MaxWindow"));
  }

  // Stored texts as a hand edit or an older version may leave them.
  void storedTextsDecode_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("integer");
    QTest::addColumn<bool>("boolean");
    QTest::newRow("garbage") << "abc" << 0 << false;
    QTest::newRow("blanks around") << " 42 " << 42 << true;
    QTest::newRow("decimal") << "1.5" << 0 << false;
    QTest::newRow("yes is no integer") << "yes" << 0 << false;
    QTest::newRow("TRUE is no integer") << "TRUE" << 0 << false;
    QTest::newRow("two") << "2" << 2 << true;
    QTest::newRow("beyond 32 bits") << "4294967296" << 0 << false;
  }

  void storedTextsDecode() {
    QFETCH(QString, stored);
    QFETCH(int, integer);
    QFETCH(bool, boolean);
    TRegManager reg(NewPath());
    reg.WriteString(u"EconoPrintRow", stored);
    reg.WriteString(u"ShowG00", stored);  // its default is true: a stored text decides
    QCOMPARE(reg.ReadInteger(u"EconoPrintRow"), integer);
    QCOMPARE(reg.ReadBool(u"ShowG00"), boolean);
  }

  void keysIgnoreLetterCase() {
    const QString path = NewPath();
    WriteRaw(path, "[config]\nfloatpos=2\nmakeback=0\nsplit=100\nSplit=200\nSPLIT=300\n");
    {
      TRegManager reg(path);
      QCOMPARE(reg.ReadInteger(u"FLOATPOS"), 2);
      QCOMPARE(reg.ReadBool(u"MakeBack"), false);
      QCOMPARE(reg.ReadInteger(u"split"), 200);  // of several spellings the declared one wins
      reg.WriteInteger(u"FloatPos", 0);
      reg.WriteInteger(u"Split", 250);
      QVERIFY(reg.Sync());
    }
    QCOMPARE(RawKeys(path, "config"), (QStringList{"Split", "floatpos", "makeback"}));
    QVERIFY(RawKeys(path, "Config").isEmpty());
    QCOMPARE(TRegManager(path).ReadInteger(u"FloatPos"), 0);
  }

  void stringListShrinksAndEmpties() {
    const QString path = NewPath();
    TRegManager reg(path);
    reg.WriteStrings(u"ErrorTag", {"A", "B", "C", "D", "E"});
    QCOMPARE(reg.ReadStrings(u"ErrorTag"), (QStringList{"A", "B", "C", "D", "E"}));
    reg.WriteStrings(u"ErrorTag", {"X", "Y"});
    QVERIFY(reg.Sync());
    QCOMPARE(RawKeys(path, "Config"),
             (QStringList{"ErrorTag_Item0", "ErrorTag_Item1", "ErrorTag_ItemCount"}));
    QCOMPARE(reg.ReadString(u"ErrorTag"), QString());  // the list has no value of its own
    QCOMPARE(reg.ReadStrings(u"ErrorTag"), (QStringList{"X", "Y"}));
    reg.WriteStrings(u"ErrorTag", {});
    QVERIFY(reg.Sync());
    QVERIFY(RawKeys(path, "Config").isEmpty());
    QVERIFY(reg.ReadStrings(u"ErrorTag").isEmpty());
  }

  // The count is not trusted when shrinking: items it does not cover go as well.
  void staleItemsPastAWrongCountAreRemoved() {
    const QString path = NewPath();
    WriteRaw(path,
             "[Config]\nErrorTag_ItemCount=1\nErrorTag_Item0=A\nErrorTag_Item1=B\n"
             "errortag_item4=C\nErrorTag_ItemX=keep\n");
    {
      TRegManager reg(path);
      QCOMPARE(reg.ReadStrings(u"ErrorTag"), QStringList{"A"});
      reg.WriteStrings(u"ErrorTag", {"P", "Q"});
      QVERIFY(reg.Sync());
    }
    QCOMPARE(RawKeys(path, "Config"), (QStringList{"ErrorTag_Item0", "ErrorTag_Item1",
                                                   "ErrorTag_ItemCount", "ErrorTag_ItemX"}));
  }

  void damagedCounts_data() {
    QTest::addColumn<QByteArray>("count");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("missing item reads empty") << QByteArray("3") << QStringList{"A", "", "C"};
    QTest::newRow("not a number") << QByteArray("many") << QStringList{};
    // Bounded by the values the group holds, instead of two billion empty items.
    QTest::newRow("huge") << QByteArray("2000000000") << QStringList{"A", "", "C"};
  }

  void damagedCounts() {
    QFETCH(QByteArray, count);
    QFETCH(QStringList, items);
    const QString path = NewPath();
    WriteRaw(path,
             "[History]\nHistory_ItemCount=" + count + "\nHistory_Item0=A\nHistory_Item2=C\n");
    QCOMPARE(TRegManager(path).ReadStrings(u"History"), items);
  }

  void fontIsFiveValues() {
    const QString path = NewPath();
    const FontSetting bold{QString::fromUtf8("ＭＳ ゴシック"), 12, "clBlack", 1, 128};
    {
      TRegManager reg(path);
      reg.WriteFont(u"Font", bold);
      QVERIFY(reg.Sync());
    }
    QCOMPARE(RawKeys(path, "Config"), (QStringList{"Font_FontCharset", "Font_FontColor",
                                                   "Font_FontName", "Font_FontSize",
                                                   "Font_FontStyle"}));
    QSettings raw(path, QSettings::IniFormat);
    QCOMPARE(raw.value("Config/Font_FontStyle").toString(), QString("1"));
    QCOMPARE(raw.value("Config/Font_FontSize").toString(), QString("12"));
    FontSetting read;
    TRegManager(path).ReadFont(u"Font", read);
    QCOMPARE(read, bold);
  }

  void fontReadKeepsWhatIsMissingOrBad() {
    const QString path = NewPath();
    WriteRaw(path,
             "[Config]\nPrintFont_FontSize=big\nPrintFont_FontStyle=bold\n"
             "PrintFont_FontColor=clRed\n");
    FontSetting font{"Mono", 9, "clBlack", 3, 128};
    TRegManager(path).ReadFont(u"PrintFont", font);
    QCOMPARE(font.name, QString("Mono"));  // missing: kept
    QCOMPARE(font.size, 9);                // not an integer: kept
    QCOMPARE(font.color, QString("clRed"));
    QCOMPARE(font.style, 0);               // not an integer: 0
    QCOMPARE(font.charset, 128);           // missing: kept
  }

  void japaneseTextRoundTripsAsUtf8() {
    const QString path = NewPath();
    const QString name = QString::fromUtf8("旋盤（第２工場）");
    const QStringList tags{QString::fromUtf8("（段取り）"), QString::fromUtf8("ＭＥＭＯ")};
    {
      TRegManager reg(path);
      reg.WriteString(u"Machin2", name);
      reg.WriteStrings(u"ErrorTag", tags);
      QVERIFY(reg.Sync());
    }
    const TRegManager reg(path);
    QCOMPARE(reg.ReadString(u"Machin2"), name);
    QCOMPARE(reg.ReadStrings(u"ErrorTag"), tags);
    QVERIFY(ReadRaw(path).contains("Machin2=" + name.toUtf8()));
  }

  // The file must read like the registry branch: plain text values, no typed variants.
  void fileHoldsPlainStrings() {
    const QString path = NewPath();
    {
      TRegManager reg(path);
      reg.WriteInteger(u"BufSize", 200000);
      reg.WriteBool(u"MaxWindow", true);
      reg.WriteBool(u"ShowG00", false);
      reg.WriteDecimal(u"GridSize", " 2.50");
      reg.WriteString(u"Header", "@page, %p");
      reg.WriteStrings(u"History", {"/a.nc"});
      reg.WriteString(u"FindFind", "G01\r\nX10\r\n");
      QVERIFY(reg.Sync());
    }
    const QByteArray text = ReadRaw(path);
    QVERIFY(text.contains("[Config]\nBufSize=200000\n"));
    QVERIFY(text.contains("MaxWindow=1\n"));
    QVERIFY(text.contains("ShowG00=0\n"));
    QVERIFY(text.contains("[History]\nHistory_Item0=/a.nc\nHistory_ItemCount=1\n"));
    QVERIFY(text.contains("[Find]\nFindFind="));
    QVERIFY(!text.contains("@Variant"));
    const TRegManager reg(path);
    QCOMPARE(reg.ReadDecimal(u"GridSize"), QString(" 2.50"));  // as typed
    QCOMPARE(reg.ReadDecimal(u"GridSize", 50), 2.5);
    QCOMPARE(reg.ReadString(u"Header"), QString("@page, %p"));
    QCOMPARE(reg.ReadString(u"FindFind"), QString("G01\r\nX10\r\n"));
  }

  void unquotedCommaTextReadsAsText() {
    const QString path = NewPath();
    WriteRaw(path, "[Config]\nHeader=%F, %p\n");
    QCOMPARE(TRegManager(path).ReadString(u"Header"), QString("%F, %p"));
  }
};

QTEST_GUILESS_MAIN(TestRegManager)
#include "test_regmanager.moc"
