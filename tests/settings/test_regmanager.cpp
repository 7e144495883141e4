#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

#include "settings/TRegManager.h"

using kelvan::settings::FontSetting;
using kelvan::settings::TRegManager;
namespace keys = kelvan::settings::keys;
using kelvan::settings::KeyName;

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

  void emptyStoreReadsDefaults() {
    const TRegManager reg(NewPath());
    struct Case {
      QString key, read, expected;
    };
    std::vector<Case> cases = {
        {"FloatPos", reg.ReadText(keys::FloatPos), "1"},
        {"BufSize", reg.ReadText(keys::BufSize), "1000000"},
        {"AtcHight", reg.ReadDecimal(keys::AtcHight), "500"},
        {"ScaleFac", reg.ReadDecimal(keys::ScaleFac), "2.0"},
        {"Folda", reg.ReadString(keys::Folda), "C:\\Halvorn\\Nc"},
        {"Header", reg.ReadString(keys::Header), "%F"},
        {"Split", reg.ReadText(keys::Split), "300"},
        {"Command1", reg.ReadString(keys::Command(1)), QString::fromUtf8("シーケンス番号.PAS")},
        {"Command2", reg.ReadString(keys::Command(2)), QString::fromUtf8("ボルト穴円周.PAS")},
        {"Command7", reg.ReadString(keys::Command(7)), ""},
    };
    const char* names[] = {"通信１", "通信２", "通信３", "通信４"};
    for (int n = 1; n <= 4; ++n) {
      cases.push_back({KeyName(keys::Machin(n)), reg.ReadString(keys::Machin(n)), QString::fromUtf8(names[n - 1])});
      cases.push_back({KeyName(keys::XFlow(n)), reg.ReadText(keys::XFlow(n)), "2"});
      cases.push_back({KeyName(keys::EOB(n)), reg.ReadText(keys::EOB(n)), "1"});
      cases.push_back({KeyName(keys::TimeOut(n)), reg.ReadText(keys::TimeOut(n)), "300"});
    }
    for (const Case& c : cases) QVERIFY2(c.read == c.expected, qPrintable(c.key + ": " + c.read));
    QCOMPARE(KeyName(keys::TimeOut(3)), QStringLiteral("TimeOut3"));
  }

  void booleanDefaults() {
    const TRegManager reg(NewPath());
    QVERIFY(reg.ReadBool(keys::MakeBack) && reg.ReadBool(keys::ShowG00));
    QVERIFY(reg.ReadBool(keys::DC2DC4(3)) && reg.ReadBool(keys::Standby(4)));
    QVERIFY(!reg.ReadBool(keys::BlockSkip) && !reg.ReadBool(keys::MaxWindow));
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
    reg.WriteText(keys::EconoPrintRow, stored);
    reg.WriteText(keys::ShowG00, stored);  // its default is true: a stored text decides
    QCOMPARE(reg.ReadInteger(keys::EconoPrintRow), integer);
    QCOMPARE(reg.ReadBool(keys::ShowG00), boolean);
  }

  void keysIgnoreLetterCase() {
    const QString path = NewPath();
    WriteRaw(path, "[config]\nfloatpos=2\nmakeback=0\nsplit=100\nSplit=200\nSPLIT=300\n");
    {
      TRegManager reg(path);
      QCOMPARE(reg.ReadInteger(keys::FloatPos), 2);
      QCOMPARE(reg.ReadBool(keys::MakeBack), false);
      QCOMPARE(reg.ReadInteger(keys::Split), 200);  // of several spellings the declared one wins
      reg.WriteInteger(keys::FloatPos, 0);
      reg.WriteInteger(keys::Split, 250);
      QVERIFY(reg.Sync());
    }
    QCOMPARE(RawKeys(path, "config"), (QStringList{"Split", "floatpos", "makeback"}));
    QVERIFY(RawKeys(path, "Config").isEmpty());
    QCOMPARE(TRegManager(path).ReadInteger(keys::FloatPos), 0);
  }

  void stringListShrinksAndEmpties() {
    const QString path = NewPath();
    TRegManager reg(path);
    reg.WriteStrings(keys::ErrorTag, {"A", "B", "C", "D", "E"});
    QCOMPARE(reg.ReadStrings(keys::ErrorTag), (QStringList{"A", "B", "C", "D", "E"}));
    reg.WriteStrings(keys::ErrorTag, {"X", "Y"});
    QVERIFY(reg.Sync());
    QCOMPARE(RawKeys(path, "Config"),
             (QStringList{"ErrorTag_Item0", "ErrorTag_Item1", "ErrorTag_ItemCount"}));
    QVERIFY(!ReadRaw(path).contains("ErrorTag="));  // the list has no value of its own
    QCOMPARE(reg.ReadStrings(keys::ErrorTag), (QStringList{"X", "Y"}));
    reg.WriteStrings(keys::ErrorTag, {});
    QVERIFY(reg.Sync());
    QVERIFY(RawKeys(path, "Config").isEmpty());
    QVERIFY(reg.ReadStrings(keys::ErrorTag).isEmpty());
  }

  // The count is not trusted when shrinking: items it does not cover go as well.
  void staleItemsPastAWrongCountAreRemoved() {
    const QString path = NewPath();
    WriteRaw(path,
             "[Config]\nErrorTag_ItemCount=1\nErrorTag_Item0=A\nErrorTag_Item1=B\n"
             "errortag_item4=C\nErrorTag_ItemX=keep\n");
    {
      TRegManager reg(path);
      QCOMPARE(reg.ReadStrings(keys::ErrorTag), QStringList{"A"});
      reg.WriteStrings(keys::ErrorTag, {"P", "Q"});
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
    QCOMPARE(TRegManager(path).ReadStrings(keys::History), items);
  }

  void fontIsFiveValues() {
    const QString path = NewPath();
    const FontSetting bold{QString::fromUtf8("ＭＳ ゴシック"), 12, "clBlack", 1, 128};
    {
      TRegManager reg(path);
      reg.WriteFont(keys::Font, bold);
      QVERIFY(reg.Sync());
    }
    QCOMPARE(RawKeys(path, "Config"), (QStringList{"Font_FontCharset", "Font_FontColor",
                                                   "Font_FontName", "Font_FontSize",
                                                   "Font_FontStyle"}));
    QSettings raw(path, QSettings::IniFormat);
    QCOMPARE(raw.value("Config/Font_FontStyle").toString(), QString("1"));
    QCOMPARE(raw.value("Config/Font_FontSize").toString(), QString("12"));
    FontSetting read;
    TRegManager(path).ReadFont(keys::Font, read);
    QCOMPARE(read, bold);
  }

  void fontReadKeepsWhatIsMissingOrBad() {
    const QString path = NewPath();
    WriteRaw(path,
             "[Config]\nPrintFont_FontSize=big\nPrintFont_FontStyle=bold\n"
             "PrintFont_FontColor=clRed\n");
    FontSetting font{"Mono", 9, "clBlack", 3, 128};
    TRegManager(path).ReadFont(keys::PrintFont, font);
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
      reg.WriteString(keys::Machin(2), name);
      reg.WriteStrings(keys::ErrorTag, tags);
      QVERIFY(reg.Sync());
    }
    const TRegManager reg(path);
    QCOMPARE(reg.ReadString(keys::Machin(2)), name);
    QCOMPARE(reg.ReadStrings(keys::ErrorTag), tags);
    QVERIFY(ReadRaw(path).contains("Machin2=" + name.toUtf8()));
  }

  // The file must read like the registry branch: plain text values, no typed variants.
  void fileHoldsPlainStrings() {
    const QString path = NewPath();
    {
      TRegManager reg(path);
      reg.WriteInteger(keys::BufSize, 200000);
      reg.WriteBool(keys::MaxWindow, true);
      reg.WriteBool(keys::ShowG00, false);
      reg.WriteDecimal(keys::GridSize, " 2.50");
      reg.WriteString(keys::Header, "@page, %p");
      reg.WriteStrings(keys::History, {"/a.nc"});
      reg.WriteString(keys::FindFind, "G01\r\nX10\r\n");
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
    QCOMPARE(reg.ReadDecimal(keys::GridSize), QString(" 2.50"));  // as typed
    QCOMPARE(reg.ReadDecimal(keys::GridSize, 50), 2.5);
    QCOMPARE(reg.ReadString(keys::Header), QString("@page, %p"));
    QCOMPARE(reg.ReadString(keys::FindFind), QString("G01\r\nX10\r\n"));
  }

  void unquotedCommaTextReadsAsText() {
    const QString path = NewPath();
    WriteRaw(path, "[Config]\nHeader=%F, %p\n");
    QCOMPARE(TRegManager(path).ReadString(keys::Header), QString("%F, %p"));
  }
};

QTEST_GUILESS_MAIN(TestRegManager)
#include "test_regmanager.moc"
