#include "print/TPrintDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "print/CopyPrinterSetup.h"
#include "print/PrintFont.h"
#include "print/TStringsPrinter.h"

namespace kelvan::print {

namespace {

constexpr int kLastPossiblePage = 999999;

QDoubleSpinBox* NewMarginBox(const QString& name) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(name);
  box->setRange(0, 200);
  box->setDecimals(1);
  box->setSuffix(QStringLiteral(" mm"));
  return box;
}

QSpinBox* NewPageBox(const QString& name) {
  auto* box = new QSpinBox;
  box->setObjectName(name);
  box->setRange(1, kLastPossiblePage);
  return box;
}

}  // namespace

TPrintDlg::TPrintDlg(QWidget* parent)
    : QDialog(parent), work_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowTitle(QStringLiteral("印刷ダイアログ"));
  auto* groups = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(BuildMarginGroup());
  left->addWidget(BuildRangeGroup());
  auto* right = new QVBoxLayout;
  right->addWidget(BuildHeaderGroup());
  right->addWidget(BuildLayoutGroup());
  groups->addLayout(left);
  groups->addLayout(right);

  auto* setup = new QPushButton(QStringLiteral("プリンタの設定..."));
  setup->setObjectName(QStringLiteral("SetupBtn"));
  auto* preview = new QPushButton(QStringLiteral("プレビュー..."));
  preview->setObjectName(QStringLiteral("PreviewBtn"));
  connect(setup, &QPushButton::clicked, this, &TPrintDlg::SetupClick);
  connect(preview, &QPushButton::clicked, this, &TPrintDlg::PreviewClick);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("印刷"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(setup);
  bottom->addWidget(preview);
  bottom->addStretch();
  bottom->addWidget(buttons);

  auto* main = new QVBoxLayout(this);
  main->addLayout(groups);
  main->addLayout(bottom);
}

TPrintDlg::~TPrintDlg() = default;

QWidget* TPrintDlg::BuildMarginGroup() {
  auto* group = new QGroupBox(QStringLiteral("マージン"));
  auto* form = new QFormLayout(group);
  marginTop_ = NewMarginBox(QStringLiteral("MarginTopEdit"));
  marginBottom_ = NewMarginBox(QStringLiteral("MarginBottomEdit"));
  marginLeft_ = NewMarginBox(QStringLiteral("MarginLeftEdit"));
  marginRight_ = NewMarginBox(QStringLiteral("MarginRightEdit"));
  form->addRow(QStringLiteral("上端"), marginTop_);
  form->addRow(QStringLiteral("下端"), marginBottom_);
  form->addRow(QStringLiteral("左端"), marginLeft_);
  form->addRow(QStringLiteral("右端"), marginRight_);
  return group;
}

QComboBox* TPrintDlg::NewAlignmentBox(const QString& name) {
  // The order is that of HeaderAlignment.
  auto* box = new QComboBox;
  box->setObjectName(name);
  box->addItems({QStringLiteral("印刷しない"), QStringLiteral("左寄せ"), QStringLiteral("中央"),
                 QStringLiteral("右寄せ")});
  return box;
}

QWidget* TPrintDlg::BuildHeaderGroup() {
  auto* group = new QGroupBox(QStringLiteral("ヘッダー／フッター"));
  auto* form = new QFormLayout(group);
  header_ = new QLineEdit;
  header_->setObjectName(QStringLiteral("HeaderEdit"));
  footer_ = new QLineEdit;
  footer_->setObjectName(QStringLiteral("FooterEdit"));
  headerAlign_ = NewAlignmentBox(QStringLiteral("HeaderAlignBox"));
  footerAlign_ = NewAlignmentBox(QStringLiteral("FooterAlignBox"));
  form->addRow(QStringLiteral("ヘッダー"), header_);
  form->addRow(QStringLiteral("配置"), headerAlign_);
  form->addRow(QStringLiteral("フッター"), footer_);
  form->addRow(QStringLiteral("配置"), footerAlign_);
  auto* help = new QLabel(QStringLiteral("%F ファイル名  %f フルパス  %p ページ\n"
                                         "%y 年  %m 月  %d 日  %t 時刻"));
  form->addRow(help);
  return group;
}

QWidget* TPrintDlg::BuildLayoutGroup() {
  auto* group = new QGroupBox(QStringLiteral("レイアウト"));
  auto* form = new QFormLayout(group);
  columns_ = new QComboBox;
  columns_->setObjectName(QStringLiteral("ColumnsBox"));
  columns_->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
  lineNumbers_ = new QCheckBox(QStringLiteral("行番号を印刷する"));
  lineNumbers_->setObjectName(QStringLiteral("LineNumbersCheck"));
  fontLabel_ = new QLabel;
  fontLabel_->setObjectName(QStringLiteral("FontLabel"));
  auto* fontBtn = new QPushButton(QStringLiteral("フォント..."));
  auto* colorBtn = new QPushButton(QStringLiteral("色..."));
  connect(fontBtn, &QPushButton::clicked, this, &TPrintDlg::FontClick);
  connect(colorBtn, &QPushButton::clicked, this, &TPrintDlg::ColorClick);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(fontLabel_, 1);
  fontRow->addWidget(fontBtn);
  fontRow->addWidget(colorBtn);
  form->addRow(QStringLiteral("段数"), columns_);
  form->addRow(lineNumbers_);
  form->addRow(QStringLiteral("フォント"), fontRow);
  return group;
}

QWidget* TPrintDlg::BuildRangeGroup() {
  auto* group = new QGroupBox(QStringLiteral("印刷範囲（ページ）"));
  auto* form = new QFormLayout(group);
  form->addRow(QStringLiteral("開始"), firstPage_ = NewPageBox(QStringLiteral("FirstPageEdit")));
  form->addRow(QStringLiteral("終了"), lastPage_ = NewPageBox(QStringLiteral("LastPageEdit")));
  return group;
}

void TPrintDlg::Load(TStringsPrinter& printer, const QStringList& lines) {
  base_ = printer.Settings();
  lines_ = lines;
  CopyPrinterSetup(printer.Printer(), *work_);
  marginTop_->setValue(base_.MarginTop);
  marginBottom_->setValue(base_.MarginBottom);
  marginLeft_->setValue(base_.MarginLeft);
  marginRight_->setValue(base_.MarginRight);
  header_->setText(base_.Header);
  footer_->setText(base_.Footer);
  headerAlign_->setCurrentIndex(static_cast<int>(base_.HeaderAlign));
  footerAlign_->setCurrentIndex(static_cast<int>(base_.FooterAlign));
  columns_->setCurrentIndex(std::clamp(base_.Columns, 1, 3) - 1);
  lineNumbers_->setChecked(base_.LineNumbers);
  firstPage_->setValue(base_.FirstPage);
  lastPage_->setValue(base_.LastPage);
  fontName_ = base_.FontName;
  fontSize_ = base_.FontSize;
  fontColor_ = base_.FontColor;
  ShowFont();
}

StringsPrinterSettings TPrintDlg::CurrentSettings() const {
  StringsPrinterSettings s = base_;
  s.MarginTop = marginTop_->value();
  s.MarginBottom = marginBottom_->value();
  s.MarginLeft = marginLeft_->value();
  s.MarginRight = marginRight_->value();
  s.Header = header_->text();
  s.Footer = footer_->text();
  s.HeaderAlign = static_cast<HeaderAlignment>(headerAlign_->currentIndex());
  s.FooterAlign = static_cast<HeaderAlignment>(footerAlign_->currentIndex());
  s.Columns = columns_->currentIndex() + 1;
  s.LineNumbers = lineNumbers_->isChecked();
  s.FirstPage = firstPage_->value();
  s.LastPage = lastPage_->value();
  s.FontName = fontName_;
  s.FontSize = fontSize_;
  s.FontColor = fontColor_;
  return s;
}

int TPrintDlg::Apply(TStringsPrinter& printer) {
  printer.SetSettings(CurrentSettings());
  CopyPrinterSetup(*work_, printer.Printer());
  return printer.Print(lines_);
}

bool TPrintDlg::Execute(TStringsPrinter& printer, const QStringList& lines) {
  Load(printer, lines);
  if (exec() != QDialog::Accepted) return false;
  return Apply(printer) > 0;
}

void TPrintDlg::RenderPreview(QPrinter* printer) const {
  TStringsPrinter::PrintTo(*printer, CurrentSettings(), lines_);
}

void TPrintDlg::SetupClick() {
  QPrintDialog dialog(work_.get(), this);
  dialog.exec();
}

void TPrintDlg::PreviewClick() {
  QPrintPreviewDialog preview(work_.get(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, &TPrintDlg::RenderPreview);
  preview.exec();
}

void TPrintDlg::FontClick() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, PrintFont(CurrentSettings()), this);
  if (!ok) return;
  fontName_ = font.family();
  fontSize_ = font.pointSizeF() > 0 ? font.pointSizeF() : fontSize_;
  ShowFont();
}

void TPrintDlg::ColorClick() {
  const QColor color = QColorDialog::getColor(fontColor_, this);
  if (!color.isValid()) return;
  fontColor_ = color;
  ShowFont();
}

void TPrintDlg::ShowFont() {
  fontLabel_->setText(QStringLiteral("%1  %2 pt").arg(fontName_).arg(fontSize_));
  QPalette palette = fontLabel_->palette();
  palette.setColor(QPalette::WindowText, fontColor_);
  fontLabel_->setPalette(palette);
}

}  // namespace kelvan::print
