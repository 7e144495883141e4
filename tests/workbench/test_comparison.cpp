// The program compare of the workbench: the document against another program, the
// outcome of each kind of failure, and what a comparison keeps when it fails or goes stale.

#include <QtTest>

#include <memory>
#include <string>

#include "nc/DecodedText.h"
#include "nc/NcText.h"
#include "workbench/Comparison.h"
#include "workbench/TextDocument.h"
#include "workbench/Workbench.h"

using namespace kelvan;
using workbench::Comparison;
using workbench::Workbench;

namespace {

std::shared_ptr<const nc::NcText> Text(const std::string& bytes) {
  return std::make_shared<const nc::NcText>(nc::NcText::FromBytes(bytes, nc::TextEncoding::Utf8));
}

nc::DecodedText Decoded(const std::string& bytes) {
  nc::DecodedText d;
  d.Utf8 = Text(bytes);
  return d;
}

nc::DecodedText Data(const char* name) {
  nc::DecodedText d;
  std::string error;
  const bool read = nc::ReadDecodedText(std::string(KELVAN_TEST_DATA) + "/" + name, d, error);
  if (!read) qFatal("%s", error.c_str());
  return d;
}

std::string DataBytes(const char* name) {
  const nc::DecodedText d = Data(name);
  std::string bytes;
  for (int32_t i = 0; i < d.Utf8->LineCount(); ++i) bytes += std::string(d.Utf8->Line(i)) + "\n";
  return bytes;
}

}  // namespace

class TestComparison : public QObject {
  Q_OBJECT
  std::unique_ptr<workbench::MemoryDocument> doc_;
  std::unique_ptr<Workbench> bench_;

  void Edit(const std::string& text) {
    doc_->SetText(Text(text));
    bench_->TextChanged();
  }

 private slots:
  void init() {
    doc_ = std::make_unique<workbench::MemoryDocument>(Text(DataBytes("compare_part.nc")));
    bench_ = std::make_unique<Workbench>(*doc_, 100000);
    // The incremental form starts where the machine stands: at the program's zero here.
    workbench::AnalysisSettings s;
    s.AtcHeight = 0;
    bench_->SetSettings(s);
    bench_->TextChanged();
  }
  void cleanup() {
    bench_.reset();
    doc_.reset();
  }

  // Geometry, not text: the incremental and decimal-point forms agree; the turned one
  // differs, at the contour.
  void comparesTheDocumentWithAnotherProgram_data() {
    QTest::addColumn<QString>("other");
    QTest::addColumn<bool>("agree");
    QTest::addColumn<QString>("summary");
    QTest::newRow("incremental") << "compare_part_incremental.nc" << true << "比較: 一致（最大のずれ 0.0000）";
    QTest::newRow("no decimal points") << "compare_part_fixed.nc" << true << "比較: 一致（最大のずれ 0.0000）";
    QTest::newRow("turned") << "compare_part_turned.nc" << false
                            << "比較: 最大のずれ 0.0189（行 20／20）";
  }
  void comparesTheDocumentWithAnotherProgram() {
    QFETCH(QString, other);
    QFETCH(bool, agree);
    QFETCH(QString, summary);
    const Comparison::Outcome o =
        bench_->Compare().Compare(*bench_, other, Data(other.toUtf8().constData()), tools::CompareOptions{});
    QVERIFY2(o.Ok(), qPrintable(Comparison::OutcomeText(o)));
    QVERIFY(bench_->IsAnalysed());  // the document was analysed for it
    const Comparison& c = bench_->Compare();
    QVERIFY(c.Active());
    QCOMPARE(c.OtherFile(), other);
    QVERIFY(c.OtherPath() && c.OtherPath()->Count > 10);
    QCOMPARE(c.Result().Agree(), agree);
    QCOMPARE(c.SummaryText(), summary);
    QVERIFY(!c.Stale(*bench_));
  }

  // A failure says which program and where, and leaves the comparison before it alone.
  void failuresNameTheProgramAndKeepTheComparisonBefore_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("fault in the other") << QByteArray() << QByteArray("G01 X10. F100\nG02 X50. R1.\n")
                                        << int(Comparison::Status::FaultOther)
                                        << "比較するプログラムの解析が止まります（行 2 桁 1）: ";
    QTest::newRow("empty other") << QByteArray() << QByteArray("") << int(Comparison::Status::EmptyOther)
                                 << "比較するプログラムが空です。";
    QTest::newRow("fault here") << QByteArray("G01 X10. F100\nX20.\nG02 X50. R1.\n") << QByteArray("G01 X10. F100\n")
                                << int(Comparison::Status::FaultHere)
                                << "このプログラムの解析が止まります（行 3 桁 1）: ";
  }
  void failuresNameTheProgramAndKeepTheComparisonBefore() {
    QFETCH(QByteArray, document);
    QFETCH(QByteArray, other);
    QFETCH(int, status);
    QFETCH(QString, text);
    QVERIFY(bench_->Compare()
                .Compare(*bench_, QStringLiteral("first.nc"), Data("compare_part_fixed.nc"), tools::CompareOptions{})
                .Ok());
    if (!document.isEmpty()) Edit(document.toStdString());
    const Comparison::Outcome o = bench_->Compare().Compare(*bench_, QStringLiteral("second.nc"),
                                                            Decoded(other.toStdString()), tools::CompareOptions{});
    QCOMPARE(int(o.What), status);
    QVERIFY2(Comparison::OutcomeText(o).startsWith(text), qPrintable(Comparison::OutcomeText(o)));
    QVERIFY(bench_->Compare().Active());
    QCOMPARE(bench_->Compare().OtherFile(), QStringLiteral("first.nc"));
  }

  // After an edit the stretches name old lines: stale until compared again. End removes it.
  void anEditMakesItStaleAndEndRemovesIt() {
    Comparison& c = bench_->Compare();
    QVERIFY(c.Compare(*bench_, QStringLiteral("t.nc"), Data("compare_part_turned.nc"), {}).Ok());
    const std::shared_ptr<const nc::PathList> drawn = c.OtherPath();
    Edit(DataBytes("compare_part.nc") + "(MORE)\n");
    QVERIFY(c.Stale(*bench_));
    QVERIFY(c.Compare(*bench_, QStringLiteral("t.nc"), Data("compare_part_turned.nc"), {}).Ok());
    QVERIFY(!c.Stale(*bench_));
    c.End();
    QVERIFY(!c.Active());
    QVERIFY(!c.OtherPath());
    QVERIFY(c.SummaryText().isEmpty());
    QVERIFY(drawn->Count > 0);  // a picture still drawing keeps the path it holds
  }

  void deviationTexts() {
    QCOMPARE(workbench::DeviationText(0.0188679), QStringLiteral("0.0189"));
    QCOMPARE(workbench::DeviationText(std::numeric_limits<double>::infinity()), QStringLiteral("範囲外"));
    QCOMPARE(workbench::DeviationText(std::nan("")), QStringLiteral("範囲外"));
  }
};

QTEST_GUILESS_MAIN(TestComparison)
#include "test_comparison.moc"
