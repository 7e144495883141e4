#include "settings/ui/TOptionDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "settings/LiveSettings.h"
#include "settings/TRegManager.h"
#include "settings/ui/RadioGroup.h"
#include "view/UserDialogs.h"

namespace kelvan::settings {

namespace {

const QString kCaption = QStringLiteral("Kelvan");
const QString kNextStartNote = QStringLiteral("※１　この項目は次の起動時より有効になります。");
// Script names are typed in any case on Linux; both spellings of the extension are offered.
const QString kScriptFilter = QStringLiteral("スクリプト(*.pas) (*.pas *.PAS);;*.* (*)");

// "１" .. "９": the captions number pages and commands in full-width digits.
QString WideDigit(int n) { return QString(QChar(0xFF10 + n)); }

QString ProfilePageName(int n) { return QStringLiteral("通信") + WideDigit(n); }

QLineEdit* Edit(const QString& name, QWidget* parent, int width = 0) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (width > 0) e->setFixedWidth(width);
  return e;
}

QCheckBox* Check(const QString& name, const QString& caption, QWidget* parent) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  return c;
}

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setAutoDefault(false);
  return b;
}

QPushButton* EllipsisButton(const QString& name, QWidget* parent) {
  QPushButton* b = Button(name, QStringLiteral("..."), parent);
  b->setFixedWidth(28);
  return b;
}

QLabel* Note(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setWordWrap(true);
  return l;
}

RadioGroup* Radio(const QString& name, const QString& caption, const QStringList& items, QWidget* parent,
                  int columns = 1) {
  auto* g = new RadioGroup(caption, items, columns, parent);
  g->setObjectName(name);
  return g;
}

// The stored font as the toolkit draws it. A face that is not installed (the Windows
// faces of a first start) gives way to a Japanese fixed-pitch face.
QFont ToQFont(const FontSetting& s) {
  QFont f;
  f.setFamilies({s.name, QStringLiteral("IPAGothic"), QStringLiteral("Monospace")});
  if (s.size > 0) f.setPointSize(s.size); else f.setPixelSize(15);
  f.setBold(s.style & FontBold);
  f.setItalic(s.style & FontItalic);
  f.setUnderline(s.style & FontUnderline);
  f.setStrikeOut(s.style & FontStrikeOut);
  return f;
}

// The font chosen in the font dialog; colour and character set stay as they were (the
// toolkit's dialog chooses neither).
void TakeFont(const QFont& f, FontSetting& s) {
  s.name = f.family();
  if (f.pointSize() > 0) s.size = f.pointSize();
  else if (f.pixelSize() > 0) s.size = static_cast<int>(std::lround(f.pixelSize() * 72.0 / 96.0));
  s.style = (f.bold() ? FontBold : 0) | (f.italic() ? FontItalic : 0) | (f.underline() ? FontUnderline : 0) |
            (f.strikeOut() ? FontStrikeOut : 0);
}

// The word editor's lines: a final line end starts no further line.
QStringList LinesOf(const QString& text) {
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();
  return lines;
}

}  // namespace

TOptionDlg::TOptionDlg(TRegManager& reg, LiveSettings& live, view::UserDialogs& dialogs,
                       const QString& scriptFolder, QWidget* parent)
    : QDialog(parent), reg_(reg), live_(live), dialogs_(dialogs), scriptFolder_(scriptFolder) {
  setObjectName(QStringLiteral("OptionDlg"));
  setWindowTitle(QStringLiteral("環境設定"));
  QFont windowFont = font();
  windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
  windowFont.setPixelSize(12);
  setFont(windowFont);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setUsesScrollButtons(false);  // all nine tabs in sight
  pages_->addTab(BuildSystemPage(), QStringLiteral("システム"));
  pages_->addTab(BuildDisplayPage(), QStringLiteral("表示"));
  pages_->addTab(BuildErrorPage(), QStringLiteral("エラー回避"));
  pages_->addTab(BuildPrintPage(), QStringLiteral("印刷"));
  for (int n = 1; n <= ProfileCount; ++n) pages_->addTab(BuildProfilePage(n), ProfilePageName(n));
  pages_->addTab(BuildCommandPage(), QStringLiteral("拡張コマンド"));

  QPushButton* ok = Button(QStringLiteral("OKBtn"), QStringLiteral("OK"), this);
  ok->setDefault(true);
  QPushButton* cancel = Button(QStringLiteral("CancelBtn"), QStringLiteral("キャンセル"), this);
  connect(ok, &QPushButton::clicked, this, &TOptionDlg::OKBtnClick);
  connect(cancel, &QPushButton::clicked, this, &TOptionDlg::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addLayout(buttons);

  SetValues(OptionValues{});
  opened_ = Values();
  setFixedSize(sizeHint());
}

TOptionDlg::~TOptionDlg() = default;

// --- pages -----------------------------------------------------------------------------------

QWidget* TOptionDlg::BuildSystemPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  editFolda_ = Edit(QStringLiteral("EditFolda"), page);
  QPushButton* browse = EllipsisButton(QStringLiteral("EditFoldaButton"), page);
  connect(browse, &QPushButton::clicked, this, &TOptionDlg::EditFoldaButtonClick);
  editBufSize_ = Edit(QStringLiteral("EditBufSize"), page, 100);
  editAtcHight_ = Edit(QStringLiteral("EditAtcHight"), page, 100);
  grid->addWidget(new QLabel(QStringLiteral("NCデータフォルダ"), page), 0, 0);
  grid->addWidget(editFolda_, 0, 1, 1, 2);
  grid->addWidget(browse, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("※１"), page), 0, 4);
  grid->addWidget(new QLabel(QStringLiteral("バッファサイズ"), page), 1, 0);
  grid->addWidget(editBufSize_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("※１"), page), 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("ATC高さ"), page), 2, 0);
  grid->addWidget(editAtcHight_, 2, 1);
  floatPosCheck_ = Radio(QStringLiteral("FloatPosCheck"), QStringLiteral("最小設定単位"),
                         {QStringLiteral("０．０１"), QStringLiteral("０．００１"), QStringLiteral("０．０００１")}, page);
  grid->addWidget(floatPosCheck_, 3, 0, 1, 3);
  blockSkipCheck_ = Check(QStringLiteral("BlockSkipCheck"), QStringLiteral("起動時からブロックスキップを有効にする"), page);
  makeBackCheck_ = Check(QStringLiteral("MakeBackCheck"), QStringLiteral("*.bakファイルの作成"), page);
  grid->addWidget(blockSkipCheck_, 4, 0, 1, 5);
  grid->addWidget(makeBackCheck_, 5, 0, 1, 5);
  grid->setRowStretch(6, 1);
  grid->addWidget(Note(kNextStartNote, page), 7, 0, 1, 5);
  grid->setColumnStretch(2, 1);
  return page;
}

QWidget* TOptionDlg::BuildDisplayPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  editGridSize_ = Edit(QStringLiteral("EditGridSize"), page, 80);
  editScaleFac_ = Edit(QStringLiteral("EditScaleFac"), page, 80);
  grid->addWidget(new QLabel(QStringLiteral("グリッド間隔"), page), 0, 0);
  grid->addWidget(editGridSize_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("※１"), page), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("拡大率"), page), 1, 0);
  grid->addWidget(editScaleFac_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("※１"), page), 1, 2);
  maxWinCheck_ = Check(QStringLiteral("MaxWinCheck"), QStringLiteral("起動時にウインドウを最大化する"), page);
  holeDispCheck_ = Check(QStringLiteral("HoleDispCheck"), QStringLiteral("穴径の表示"), page);
  showG00Check_ = Check(QStringLiteral("ShowG00Check"), QStringLiteral("G00（早送り）の表示"), page);
  showArrowCheck_ = Check(QStringLiteral("ShowArrowCheck"), QStringLiteral("矢印の表示（Z早送り）"), page);
  scrollBarCheck_ = Check(QStringLiteral("ScrollBarCheck"), QStringLiteral("横スクロールバーの表示"), page);
  showPosCheck_ = Check(QStringLiteral("ShowPosCheck"), QStringLiteral("座標値の表示"), page);
  showUnderLineCheck_ = Check(QStringLiteral("ShowUnderLineCheck"), QStringLiteral("アンダーラインの表示"), page);
  int row = 2;
  for (QCheckBox* c : {maxWinCheck_, holeDispCheck_, showG00Check_, showArrowCheck_, scrollBarCheck_, showPosCheck_,
                       showUnderLineCheck_})
    grid->addWidget(c, row++, 0, 1, 4);
  scrollNext_ = Edit(QStringLiteral("ScrollNext"), page, 80);
  grid->addWidget(new QLabel(QStringLiteral("スクロール感度："), page), row, 0);
  grid->addWidget(scrollNext_, row++, 1);
  QPushButton* fontBtn = Button(QStringLiteral("FontBtn"), QStringLiteral("フォント設定"), page);
  connect(fontBtn, &QPushButton::clicked, this, &TOptionDlg::FontBtnClick);
  sampleText_ = new QLabel(page);
  sampleText_->setObjectName(QStringLiteral("SampleText"));
  grid->addWidget(fontBtn, row, 0);
  grid->addWidget(sampleText_, row++, 1, 1, 3);
  grid->setRowStretch(row++, 1);
  grid->addWidget(Note(kNextStartNote, page), row, 0, 1, 4);
  grid->setColumnStretch(3, 1);
  return page;
}

QWidget* TOptionDlg::BuildErrorPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  errorTag_ = new QPlainTextEdit(page);
  errorTag_->setObjectName(QStringLiteral("ErrorTag"));
  errorTag_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(errorTag_, 1);
  layout->addWidget(
      Note(QStringLiteral("※ 上記のワード（語）が含まれる行はコメントとみなされ、エラー表示を回避出来ます。"), page));
  return page;
}

QWidget* TOptionDlg::BuildPrintPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* margins = new QGroupBox(QStringLiteral(" マージン "), page);
  auto* m = new QGridLayout(margins);
  margineTop_ = Edit(QStringLiteral("MargineTop"), margins, 60);
  margineBottom_ = Edit(QStringLiteral("MargineBottom"), margins, 60);
  margineLeft_ = Edit(QStringLiteral("MargineLeft"), margins, 60);
  margineRight_ = Edit(QStringLiteral("MargineRight"), margins, 60);
  m->addWidget(new QLabel(QStringLiteral("上端"), margins), 0, 0);
  m->addWidget(margineTop_, 0, 1);
  m->addWidget(new QLabel(QStringLiteral("下端"), margins), 0, 2);
  m->addWidget(margineBottom_, 0, 3);
  m->addWidget(new QLabel(QStringLiteral("左端"), margins), 1, 0);
  m->addWidget(margineLeft_, 1, 1);
  m->addWidget(new QLabel(QStringLiteral("右端"), margins), 1, 2);
  m->addWidget(margineRight_, 1, 3);
  grid->addWidget(margins, 0, 0, 1, 3);
  header_ = Edit(QStringLiteral("Header"), page);
  footer_ = Edit(QStringLiteral("Footer"), page);
  grid->addWidget(new QLabel(QStringLiteral("ヘッダ制御文字"), page), 1, 0);
  grid->addWidget(header_, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("フッタ制御文字"), page), 2, 0);
  grid->addWidget(footer_, 2, 1, 1, 2);
  auto* economy = new QGroupBox(QStringLiteral("省資源印刷"), page);
  auto* e = new QGridLayout(economy);
  econoPrintCheck_ = Check(QStringLiteral("EconoPrintCheck"), QStringLiteral("する"), economy);
  econoPrintRow_ = Edit(QStringLiteral("EconoPrintRow"), economy, 60);
  econoPrintCol_ = Edit(QStringLiteral("EconoPrintCol"), economy, 60);
  e->addWidget(econoPrintCheck_, 0, 0);
  e->addWidget(new QLabel(QStringLiteral("行数"), economy), 0, 1);
  e->addWidget(econoPrintRow_, 0, 2);
  e->addWidget(new QLabel(QStringLiteral("幅"), economy), 0, 3);
  e->addWidget(econoPrintCol_, 0, 4);
  grid->addWidget(economy, 3, 0, 1, 3);
  QPushButton* fontBtn = Button(QStringLiteral("PrintSetFont"), QStringLiteral("フォント選択"), page);
  connect(fontBtn, &QPushButton::clicked, this, &TOptionDlg::PrintSetFontClick);
  printSampleText_ = new QLabel(page);
  printSampleText_->setObjectName(QStringLiteral("PrintSampleText"));
  grid->addWidget(fontBtn, 4, 0);
  grid->addWidget(printSampleText_, 4, 1, 1, 2);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(2, 1);
  return page;
}

QWidget* TOptionDlg::BuildProfilePage(int n) {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("Profile%1").arg(n));
  ProfilePage& p = profiles_[size_t(n - 1)];
  const QString d = QString::number(n);
  auto* grid = new QGridLayout(page);
  grid->setVerticalSpacing(4);

  p.Machine = Edit(QStringLiteral("Machine") + d, page);
  grid->addWidget(new QLabel(QStringLiteral("機械名"), page), 0, 0);
  grid->addWidget(p.Machine, 0, 1, 1, 2);

  p.CommPort = BuildPortGroup(n, page);
  grid->addWidget(p.CommPort, 1, 0, 1, 2);
  p.BaudRate = Radio(QStringLiteral("BaudRate") + d, QStringLiteral(" ボーレート "),
                     {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                      QStringLiteral("14400"), QStringLiteral("38400"), QStringLiteral("56000"),
                      QStringLiteral("115200"), QStringLiteral("128000"), QStringLiteral("256000")},
                     page, 2);
  grid->addWidget(p.BaudRate, 1, 2, 1, 2);

  p.ByteSize = Radio(QStringLiteral("ByteSize") + d, QStringLiteral(" ｷｬﾗｸﾀｰｻｲｽﾞ "),
                     {QStringLiteral("7Bit"), QStringLiteral("8Bit")}, page);
  p.StopBits = Radio(QStringLiteral("StopBits") + d, QStringLiteral(" ｽﾄｯﾌﾟﾋﾞｯﾄ "),
                     {QStringLiteral("1Bit"), QStringLiteral("2Bit")}, page);
  p.Parity = Radio(QStringLiteral("Parity") + d, QStringLiteral(" ﾊﾟﾘﾃｨﾁｪｯｸ "),
                   {QStringLiteral("Non"), QStringLiteral("1Bit"), QStringLiteral("2Bit")}, page);
  p.XFlow = Radio(QStringLiteral("XFlow") + d, QStringLiteral("フロー制御 "),
                  {QStringLiteral("RTS/CTS"), QStringLiteral("DTR/DSR"), QStringLiteral("XON/XOFF")}, page);
  grid->addWidget(p.ByteSize, 2, 0);
  grid->addWidget(p.StopBits, 2, 1);
  grid->addWidget(p.Parity, 2, 2);
  grid->addWidget(p.XFlow, 2, 3);

  p.NcCode = Radio(QStringLiteral("NcCode") + d, QStringLiteral("コード体系"),
                   {QStringLiteral("ＩＳＯ"), QStringLiteral("ＥＩＡ")}, page);
  p.OutMode = Radio(QStringLiteral("OutMode") + d, QStringLiteral(" 出力機器 "),
                    {QStringLiteral("ＤＮＣ"), QStringLiteral("ＰＴＰ")}, page);
  auto* ptp = new QGroupBox(QStringLiteral(" PTPｵﾌﾟｼｮﾝ "), page);
  auto* ptpLayout = new QHBoxLayout(ptp);
  p.FeedLen = Edit(QStringLiteral("FeedLen") + d, ptp, 60);
  ptpLayout->addWidget(new QLabel(QStringLiteral("ﾌｨｰﾄﾞ長"), ptp));
  ptpLayout->addWidget(p.FeedLen);
  grid->addWidget(p.NcCode, 3, 0);
  grid->addWidget(p.OutMode, 3, 1);
  grid->addWidget(ptp, 3, 2, 1, 2);

  p.DC2DC4Check = Check(QStringLiteral("DC2DC4Check") + d, QStringLiteral("DC2とDC4を出力する"), page);
  p.StandbyCheck = Check(QStringLiteral("StandbyCheck") + d, QStringLiteral("送信信号を待つ"), page);
  p.EOBCombo = new QComboBox(page);
  p.EOBCombo->setObjectName(QStringLiteral("EOBCombo") + d);
  p.EOBCombo->addItems({QStringLiteral("LF"), QStringLiteral("CR+LF"), QStringLiteral("LF+CR"),
                        QStringLiteral("LF+CR+CR")});
  connect(p.EOBCombo, &QComboBox::activated, this, [this, n] { profiles_[size_t(n - 1)].EOBUnshown = -1; });
  p.TimeOut = Edit(QStringLiteral("TimeOut") + d, page, 60);
  grid->addWidget(p.DC2DC4Check, 4, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("EOB"), page), 4, 2);
  grid->addWidget(p.EOBCombo, 4, 3);
  grid->addWidget(p.StandbyCheck, 5, 0, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("タイムアウト"), page), 5, 2);
  grid->addWidget(p.TimeOut, 5, 3);
  grid->setRowStretch(6, 1);
  return page;
}

// The port choice, each port with the device it stands for on this computer. The four
// devices belong to the ports, not to the profile: every page shows the same four.
RadioGroup* TOptionDlg::BuildPortGroup(int n, QWidget* page) {
  ProfilePage& p = profiles_[size_t(n - 1)];
  auto* group = Radio(QStringLiteral("CommPort%1").arg(n), QStringLiteral(" ポート番号 "),
                      {QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"), QStringLiteral("COM4")},
                      page);
  auto* portGrid = static_cast<QGridLayout*>(group->layout());
  for (int k = 0; k < ProfileCount; ++k) {
    QLineEdit* device = Edit(QStringLiteral("ComDevice%1").arg(k + 1), group, 110);
    device->setToolTip(QStringLiteral("COM%1 のデバイス").arg(k + 1));
    portGrid->addWidget(device, k, 1);
    p.ComDevice[size_t(k)] = device;
    connect(device, &QLineEdit::textChanged, this, [this, n, k](const QString& text) {
      if (syncingDevices_) return;
      syncingDevices_ = true;
      for (int other = 1; other <= ProfileCount; ++other)
        if (other != n) profiles_[size_t(other - 1)].ComDevice[size_t(k)]->setText(text);
      syncingDevices_ = false;
    });
  }
  return group;
}

QWidget* TOptionDlg::BuildCommandPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  for (int n = 1; n <= CommandCount; ++n) {
    QLineEdit* edit = Edit(QStringLiteral("Command%1").arg(n), page);
    QPushButton* browse = EllipsisButton(QStringLiteral("Command%1Button").arg(n), page);
    connect(browse, &QPushButton::clicked, this, [this, n] { Command1ButtonClick(n); });
    grid->addWidget(new QLabel(QStringLiteral("コマンド") + WideDigit(n), page), n - 1, 0);
    grid->addWidget(edit, n - 1, 1);
    grid->addWidget(browse, n - 1, 2);
    commands_[size_t(n - 1)] = edit;
  }
  // Where a command's script lives, with the part to type underlined.
  const QString example = (scriptFolder_ + QLatin1Char('/')).toHtmlEscaped() + QStringLiteral("<u>シーケンス番号.PAS</u>");
  auto* path = new QLabel(example, page);
  path->setTextFormat(Qt::RichText);
  path->setWordWrap(true);
  auto* hint = new QLabel(QStringLiteral("下線部のファイル名のみ入力して下さい。"), page);
  for (QLabel* l : {path, hint}) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0x80));  // navy
    l->setPalette(pal);
  }
  grid->addWidget(path, CommandCount, 0, 1, 3);
  grid->addWidget(hint, CommandCount + 1, 0, 1, 3);
  grid->setRowStretch(CommandCount + 2, 1);
  return page;
}

// --- values ----------------------------------------------------------------------------------

OptionValues TOptionDlg::Values() const {
  OptionValues v;
  v.Folda = editFolda_->text();
  v.BufSize = editBufSize_->text();
  v.AtcHight = editAtcHight_->text();
  v.BlockSkip = blockSkipCheck_->isChecked();
  v.MakeBack = makeBackCheck_->isChecked();
  v.FloatPos = floatPosCheck_->ItemIndex();
  v.GridSize = editGridSize_->text();
  v.ScaleFac = editScaleFac_->text();
  v.MaxWindow = maxWinCheck_->isChecked();
  v.HoleDisp = holeDispCheck_->isChecked();
  v.ShowG00 = showG00Check_->isChecked();
  v.ScrollBar = scrollBarCheck_->isChecked();
  v.ShowPos = showPosCheck_->isChecked();
  v.ShowUnderLine = showUnderLineCheck_->isChecked();
  v.ScrollNext = scrollNext_->text();
  v.ShowArrow = showArrowCheck_->isChecked();
  v.Font = font_;
  v.ErrorTag = LinesOf(errorTag_->toPlainText());
  v.MarginTop = margineTop_->text();
  v.MarginBottom = margineBottom_->text();
  v.MarginLeft = margineLeft_->text();
  v.MarginRight = margineRight_->text();
  v.Header = header_->text();
  v.Footer = footer_->text();
  v.EconoPrint = econoPrintCheck_->isChecked();
  v.EconoPrintRow = econoPrintRow_->text();
  v.EconoPrintCol = econoPrintCol_->text();
  v.PrintFont = printFont_;
  for (size_t i = 0; i < profiles_.size(); ++i) {
    const ProfilePage& p = profiles_[i];
    ProfileValues& o = v.Profiles[i];
    o.Machin = p.Machine->text();
    o.CommPort = p.CommPort->ItemIndex();
    o.BaudRate = p.BaudRate->ItemIndex();
    o.ByteSize = p.ByteSize->ItemIndex();
    o.StopBits = p.StopBits->ItemIndex();
    o.Parity = p.Parity->ItemIndex();
    o.XFlow = p.XFlow->ItemIndex();
    o.NcCode = p.NcCode->ItemIndex();
    o.OutMode = p.OutMode->ItemIndex();
    o.FeedLen = p.FeedLen->text();
    o.DC2DC4 = p.DC2DC4Check->isChecked();
    o.EOB = p.EOBCombo->currentIndex() >= 0 ? p.EOBCombo->currentIndex() : p.EOBUnshown;
    o.Standby = p.StandbyCheck->isChecked();
    o.TimeOut = p.TimeOut->text();
    v.ComDevices[i] = profiles_[0].ComDevice[i]->text();
  }
  for (size_t i = 0; i < commands_.size(); ++i) v.Commands[i] = commands_[i]->text();
  return v;
}

void TOptionDlg::SetValues(const OptionValues& v) {
  editFolda_->setText(v.Folda);
  editBufSize_->setText(v.BufSize);
  editAtcHight_->setText(v.AtcHight);
  blockSkipCheck_->setChecked(v.BlockSkip);
  makeBackCheck_->setChecked(v.MakeBack);
  floatPosCheck_->SetItemIndex(v.FloatPos);
  editGridSize_->setText(v.GridSize);
  editScaleFac_->setText(v.ScaleFac);
  maxWinCheck_->setChecked(v.MaxWindow);
  holeDispCheck_->setChecked(v.HoleDisp);
  showG00Check_->setChecked(v.ShowG00);
  scrollBarCheck_->setChecked(v.ScrollBar);
  showPosCheck_->setChecked(v.ShowPos);
  showUnderLineCheck_->setChecked(v.ShowUnderLine);
  scrollNext_->setText(v.ScrollNext);
  showArrowCheck_->setChecked(v.ShowArrow);
  font_ = v.Font;
  ShowFont(sampleText_, font_);
  errorTag_->setPlainText(v.ErrorTag.join(QLatin1Char('\n')));
  margineTop_->setText(v.MarginTop);
  margineBottom_->setText(v.MarginBottom);
  margineLeft_->setText(v.MarginLeft);
  margineRight_->setText(v.MarginRight);
  header_->setText(v.Header);
  footer_->setText(v.Footer);
  econoPrintCheck_->setChecked(v.EconoPrint);
  econoPrintRow_->setText(v.EconoPrintRow);
  econoPrintCol_->setText(v.EconoPrintCol);
  printFont_ = v.PrintFont;
  ShowFont(printSampleText_, printFont_);
  for (size_t i = 0; i < profiles_.size(); ++i) {
    ProfilePage& p = profiles_[i];
    const ProfileValues& o = v.Profiles[i];
    p.Machine->setText(o.Machin);
    p.CommPort->SetItemIndex(o.CommPort);
    p.BaudRate->SetItemIndex(o.BaudRate);
    p.ByteSize->SetItemIndex(o.ByteSize);
    p.StopBits->SetItemIndex(o.StopBits);
    p.Parity->SetItemIndex(o.Parity);
    p.XFlow->SetItemIndex(o.XFlow);
    p.NcCode->SetItemIndex(o.NcCode);
    p.OutMode->SetItemIndex(o.OutMode);
    p.FeedLen->setText(o.FeedLen);
    p.DC2DC4Check->setChecked(o.DC2DC4);
    const bool shown = o.EOB >= 0 && o.EOB < p.EOBCombo->count();
    p.EOBCombo->setCurrentIndex(shown ? o.EOB : -1);
    p.EOBUnshown = shown ? -1 : o.EOB;
    p.StandbyCheck->setChecked(o.Standby);
    p.TimeOut->setText(o.TimeOut);
    for (size_t k = 0; k < v.ComDevices.size(); ++k) p.ComDevice[k]->setText(v.ComDevices[k]);
  }
  for (size_t i = 0; i < commands_.size(); ++i) commands_[i]->setText(v.Commands[i]);
}

void TOptionDlg::ShowFont(QLabel* sample, const FontSetting& font) {
  sample->setFont(ToQFont(font));
  sample->setText(QStringLiteral("%1  %2pt").arg(font.name).arg(font.size));
  QPalette pal = sample->palette();
  const uint32_t bgr = ColorFromText(font.color).value_or(0);
  pal.setColor(QPalette::WindowText, QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
  sample->setPalette(pal);
}

// --- commands --------------------------------------------------------------------------------

void TOptionDlg::LoadConfig() {
  const OptionValues v = OptionValues::Load(reg_);
  SetValues(v);
  opened_ = v;
  v.ApplyTo(live_);
  emit SettingsApplied(v, true);
}

void TOptionDlg::OKBtnClick() {
  const OptionValues v = Values();
  if (const std::optional<IntegerField> bad = v.FirstNonInteger()) {
    // Nothing is written: the user mends the field and presses OK again.
    QLineEdit* field = FieldOf(*bad);
    for (int i = 0; i < pages_->count(); ++i)
      if (pages_->widget(i)->isAncestorOf(field)) pages_->setCurrentIndex(i);
    dialogs_.Message(this, QMessageBox::Warning, kCaption,
                     QStringLiteral("%1 '%2' は正しい整数ではありません。").arg(FieldCaption(*bad), bad->text),
                     QMessageBox::Ok);
    field->setFocus();
    field->selectAll();
    return;
  }
  v.Save(reg_);
  const bool stored = reg_.Sync();
  v.ApplyTo(live_);
  emit SettingsApplied(v, false);
  if (!stored) {
    // The settings hold for this run; the user learns that the next start won't see them.
    dialogs_.Message(this, QMessageBox::Warning, kCaption,
                     QStringLiteral("設定を保存できませんでした。\n%1").arg(reg_.FileName()), QMessageBox::Ok);
  }
  opened_ = v;
  accept();
}

void TOptionDlg::EditFoldaButtonClick() {
  // The folder picker opens at the folder already named, so that a neighbour is one step
  // away; a folder that does not exist (the Windows default) gives way to the home folder.
  const QFileInfo current(editFolda_->text());
  const QString start = current.isDir() ? current.absoluteFilePath() : QDir::homePath();
  const QString chosen = dialogs_.ChooseFolder(this, start);
  if (!chosen.isEmpty()) editFolda_->setText(QDir::toNativeSeparators(chosen));
}

void TOptionDlg::FontBtnClick() {
  QFont f = ToQFont(font_);
  if (!dialogs_.ChooseFont(this, f)) return;
  TakeFont(f, font_);
  ShowFont(sampleText_, font_);
}

void TOptionDlg::PrintSetFontClick() {
  QFont f = ToQFont(printFont_);
  if (!dialogs_.ChooseFont(this, f)) return;
  TakeFont(f, printFont_);
  ShowFont(printSampleText_, printFont_);
}

void TOptionDlg::Command1ButtonClick(int n) {
  if (n < 1 || n > CommandCount) return;
  const QString path = dialogs_.OpenFileName(this, scriptFolder_, kScriptFilter);
  // The buttons look for the name in the script folder, so the folder is not kept.
  if (!path.isEmpty()) commands_[size_t(n - 1)]->setText(QFileInfo(path).fileName());
}

// --- helpers ---------------------------------------------------------------------------------

QString TOptionDlg::FieldCaption(const IntegerField& field) {
  using K = IntegerField::Kind;
  switch (field.kind) {
    case K::MarginTop: return QStringLiteral("印刷：上端");
    case K::MarginBottom: return QStringLiteral("印刷：下端");
    case K::MarginLeft: return QStringLiteral("印刷：左端");
    case K::MarginRight: return QStringLiteral("印刷：右端");
    case K::EconoPrintRow: return QStringLiteral("印刷：行数");
    case K::EconoPrintCol: return QStringLiteral("印刷：幅");
    case K::FeedLen: return ProfilePageName(field.profile) + QStringLiteral("：ﾌｨｰﾄﾞ長");
    case K::TimeOut: return ProfilePageName(field.profile) + QStringLiteral("：タイムアウト");
  }
  return {};
}

QLineEdit* TOptionDlg::FieldOf(const IntegerField& field) const {
  using K = IntegerField::Kind;
  const size_t p = size_t(std::clamp(field.profile, 1, ProfileCount) - 1);
  switch (field.kind) {
    case K::MarginTop: return margineTop_;
    case K::MarginBottom: return margineBottom_;
    case K::MarginLeft: return margineLeft_;
    case K::MarginRight: return margineRight_;
    case K::EconoPrintRow: return econoPrintRow_;
    case K::EconoPrintCol: return econoPrintCol_;
    case K::FeedLen: return profiles_[p].FeedLen;
    case K::TimeOut: return profiles_[p].TimeOut;
  }
  return margineTop_;
}

// --- the window ------------------------------------------------------------------------------

void TOptionDlg::showEvent(QShowEvent* e) {
  opened_ = Values();
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  QDialog::showEvent(e);
}

void TOptionDlg::reject() {
  // What the user changed and then cancelled must not come back at the next OK.
  SetValues(opened_);
  QDialog::reject();
}

}  // namespace kelvan::settings
