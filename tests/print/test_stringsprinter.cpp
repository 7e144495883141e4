#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "print/ExpandHeaderText.h"
#include "print/PrintProgram.h"
#include "print/TPrintDlg.h"
#include "print/TStringsPrinter.h"

using namespace kelvan::print;

namespace {

const QString kToolComment = QStringLiteral("(T1-10.0 エンドミル φ10 外周仕上げ)");

// About 120 blocks, each unique, with Japanese comments among them.
QStringList Program() {
  QStringList lines{QStringLiteral("%"), QStringLiteral("O1000 (サンプル プレート加工)"), kToolComment};
  for (int i = 1; i <= 117; ++i)
    lines << QStringLiteral("N%1 G01 X%2. Y%3. F300").arg(i * 10).arg(i).arg(200 - i);
  return lines;
}

// The PDF's text with every run of white space made one space.
QString PdfText(const QString& pdf) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString Simplified(const QString& text) {
  QString s = text;
  s.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
  return s;
}

int PageCount(const QString& text) { return static_cast<int>(text.count(u'\f')); }

void PdfPrinter(QPrinter& printer, const QString& file) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  printer.setPageSize(QPageSize(QPageSize::A4));
}

StringsPrinterSettings Headed(const QString& title) {
  StringsPrinterSettings s;
  s.Title = title;
  s.Header = QStringLiteral("%F");
  s.HeaderAlign = HeaderAlignment::Left;
  s.Footer = QStringLiteral("Page-%p");
  s.FooterAlign = HeaderAlignment::Right;
  return s;
}

void ClickLater(TPrintDlg& dlg, QDialogButtonBox::StandardButton which) {
  QTimer::singleShot(0, &dlg, [&dlg, which] {
    dlg.findChild<QDialogButtonBox*>()->button(which)->click();
  });
}

}  // namespace

class TestStringsPrinter : public QObject {
  Q_OBJECT
 private slots:
  void expandsHeaderSequences_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file name") << "%F" << "plate.nc";
    QTest::newRow("full title") << "[%f]" << "[/nc/jobs/plate.nc]";
    QTest::newRow("page") << "- %p -" << "- 12 -";
    QTest::newRow("date and time") << "%y/%m/%d %t" << "2024/03/05 09:07";
    QTest::newRow("other characters") << "%%%x%" << "%x%";
    QTest::newRow("plain") << "KELVAN" << "KELVAN";
  }
  void expandsHeaderSequences() {
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2024, 3, 5), QTime(9, 7, 30));
    QCOMPARE(ExpandHeaderText(pattern, QStringLiteral("/nc/jobs/plate.nc"), 12, now), expected);
  }

  void printsEveryLineWithHeaderAndJapanese() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, pdf);
    const QStringList program = Program();
    const int pages =
        TStringsPrinter::PrintTo(printer, Headed(QStringLiteral("/home/cam/plate.nc")), program);
    const QString text = Simplified(PdfText(pdf));
    QVERIFY(pages >= 2);
    QCOMPARE(PageCount(text), pages);
    QVERIFY(text.contains(QStringLiteral("plate.nc")));
    QVERIFY(!text.contains(QStringLiteral("/home/cam")));
    for (const QString& line : program) QVERIFY2(text.contains(line), qPrintable(line));
    // The first page is numbered 1, not 0.
    QVERIFY(text.contains(QStringLiteral("Page-1")));
    QVERIFY(text.contains(QStringLiteral("Page-%1").arg(pages)));
    QVERIFY(!text.contains(QStringLiteral("Page-0")));
  }

  void japaneseSurvivesAFontWithoutIt() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("latin.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, pdf);
    StringsPrinterSettings s;
    s.FontName = QStringLiteral("DejaVu Sans Mono");
    QCOMPARE(TStringsPrinter::PrintTo(printer, s, {kToolComment}), 1);
    QVERIFY(Simplified(PdfText(pdf)).contains(kToolComment));
  }

  void pageRangeAndUnalignedHeader() {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("range.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, pdf);
    StringsPrinterSettings s = Headed(QStringLiteral("/x/plate.nc"));
    s.HeaderAlign = HeaderAlignment::None;
    s.FirstPage = 2;
    s.LastPage = 2;
    QCOMPARE(TStringsPrinter::PrintTo(printer, s, Program()), 1);
    const QString text = Simplified(PdfText(pdf));
    QCOMPARE(PageCount(text), 1);
    QVERIFY(text.contains(QStringLiteral("Page-2")));
    QVERIFY(!text.contains(QStringLiteral("Page-1")));
    QVERIFY(!text.contains(QStringLiteral("plate.nc")));
    QVERIFY(!text.contains(QStringLiteral("N10 G01 X1. Y199. F300")));

    // A range past the document opens no printer at all.
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    PdfPrinter(printer, none);
    s.FirstPage = 50;
    s.LastPage = 60;
    QCOMPARE(TStringsPrinter::PrintTo(printer, s, Program()), 0);
    QVERIFY(!QFile::exists(none));
  }

  void columnsLineNumbersAndWrapping() {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    const QStringList program = Program();
    PdfPrinter(printer, dir.filePath(QStringLiteral("one.pdf")));
    const int onePages = TStringsPrinter::PrintTo(printer, StringsPrinterSettings{}, program);
    StringsPrinterSettings s;
    s.Columns = 3;
    s.LineNumbers = true;
    const QString three = dir.filePath(QStringLiteral("three.pdf"));
    PdfPrinter(printer, three);
    const int threePages = TStringsPrinter::PrintTo(printer, s, program);
    QVERIFY(threePages < onePages);
    const QString text = Simplified(PdfText(three));
    // Line 57 of the file is block N540.
    QVERIFY(text.contains(QStringLiteral("57 N540 G01 X54. Y146. F300")));

    // A line wider than the page continues on the next rows instead of being cut off.
    QString longLine;
    for (int i = 0; i < 60; ++i) longLine += QStringLiteral("X%1. ").arg(i);
    const QString wide = dir.filePath(QStringLiteral("wide.pdf"));
    PdfPrinter(printer, wide);
    QCOMPARE(TStringsPrinter::PrintTo(printer, StringsPrinterSettings{}, {longLine}), 1);
    const QString wrapped = Simplified(PdfText(wide)).replace(u'\n', u' ');
    for (int i = 0; i < 60; ++i)
      QVERIFY2(wrapped.contains(QStringLiteral("X%1.").arg(i)), qPrintable(QString::number(i)));
  }

  void dialogCancelKeepsAndOkTakesOver() {
    QTemporaryDir dir;
    TStringsPrinter printer;
    const QString pdf = dir.filePath(QStringLiteral("dlg.pdf"));
    PdfPrinter(printer.Printer(), pdf);
    const StringsPrinterSettings before = printer.Settings();
    TPrintDlg dlg;

    QTimer::singleShot(0, &dlg, [&dlg] {
      dlg.findChild<QComboBox*>(QStringLiteral("ColumnsBox"))->setCurrentIndex(2);
      dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    QVERIFY(!PrintReport(printer, dlg, {QStringLiteral("A")}));
    QCOMPARE(printer.Settings().Columns, before.Columns);
    QVERIFY(!QFile::exists(pdf));

    QTimer::singleShot(0, &dlg, [&dlg] {
      dlg.findChild<QComboBox*>(QStringLiteral("HeaderAlignBox"))->setCurrentIndex(2);
      dlg.findChild<QLineEdit*>(QStringLiteral("HeaderEdit"))->setText(QStringLiteral("<%F>"));
      dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(PrintReport(printer, dlg, {QStringLiteral("REPORT LINE")}));
    QCOMPARE(printer.Settings().HeaderAlign, HeaderAlignment::Centre);
    QCOMPARE(printer.Settings().Title, QStringLiteral("印刷"));
    const QString text = Simplified(PdfText(pdf));
    QVERIFY(text.contains(QStringLiteral("<印刷>")));
    QVERIFY(text.contains(QStringLiteral("REPORT LINE")));
  }

  void programPrintingAndEconomyLines() {
    const QStringList lines{"A", "B", "C", "D", "E", "F", "G"};
    QCOMPARE(ProgramPrintLines(lines, {false, 3, 10}), lines);
    QCOMPARE(ProgramPrintLines(lines, {true, 3, 10}),
             QStringList({"A         D", "B         E", "C         F", "G", "", ""}));
    QCOMPARE(ProgramPrintLines({QStringLiteral("あ"), QStringLiteral("い")}, {true, 1, 4}),
             QStringList{QStringLiteral("あ  い")});

    QTemporaryDir dir;
    TStringsPrinter printer;
    const QString pdf = dir.filePath(QStringLiteral("program.pdf"));
    PdfPrinter(printer.Printer(), pdf);
    StringsPrinterSettings s = Headed(QString());
    printer.SetSettings(s);
    TPrintDlg dlg;
    ClickLater(dlg, QDialogButtonBox::Ok);
    QVERIFY(PrintProgram(printer, dlg, lines, QStringLiteral("/jobs/ECONO.NC"), {true, 3, 10}));
    QCOMPARE(printer.Settings().Title, QStringLiteral("/jobs/ECONO.NC"));
    const QString text = Simplified(PdfText(pdf));
    QVERIFY(text.contains(QStringLiteral("ECONO.NC")));
    QVERIFY(text.contains(QStringLiteral("A D")));
  }

  void previewPaintsTheDialogsSettings() {
    QTemporaryDir dir;
    TStringsPrinter printer;
    TPrintDlg dlg;
    dlg.Load(printer, Program());
    dlg.findChild<QComboBox*>(QStringLiteral("FooterAlignBox"))->setCurrentIndex(1);
    dlg.findChild<QLineEdit*>(QStringLiteral("FooterEdit"))->setText(QStringLiteral("FOOT%p"));
    QPrinter preview(QPrinter::HighResolution);
    const QString pdf = dir.filePath(QStringLiteral("preview.pdf"));
    PdfPrinter(preview, pdf);
    dlg.RenderPreview(&preview);
    QVERIFY(Simplified(PdfText(pdf)).contains(QStringLiteral("FOOT2")));
    // Previewing changes nothing on the strings printer.
    QCOMPARE(printer.Settings().FooterAlign, HeaderAlignment::None);
  }
};

QTEST_MAIN(TestStringsPrinter)
#include "test_stringsprinter.moc"
