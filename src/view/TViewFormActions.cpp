// The command table of the main window: its actions, menus and tool bar.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "view/TViewForm.h"

namespace kelvan::view {

namespace {

// A tool-bar glyph for commands that have no standard icon: the text drawn in a 25 x 24
// picture, so the buttons keep the size of the original tool bar.
QIcon GlyphIcon(const QString& glyph, const QColor& colour = QColor(0, 0, 96)) {
  QPixmap pm(25, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  QFont f = QApplication::font();
  f.setBold(true);
  f.setPixelSize(glyph.size() > 2 ? 9 : 13);
  p.setFont(f);
  p.setPen(colour);
  p.drawText(pm.rect(), Qt::AlignCenter, glyph);
  return QIcon(pm);
}

}  // namespace

QAction* TViewForm::MakeAction(Command command, const QString& text, const QKeySequence& key,
                               const QString& hint) {
  auto* a = new QAction(text, this);
  const std::string_view name = CommandName(command);
  a->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  if (!hint.isEmpty()) a->setToolTip(hint);
  addAction(a);  // keys work also for actions that stand in no menu
  actions_[static_cast<size_t>(command)] = a;
  return a;
}

void TViewForm::CreateActions() {
  QStyle* st = style();
  MakeAction(Command::AcFileNew, QStringLiteral("新規作成(&N)"), {}, QStringLiteral("新規作成"))
      ->setIcon(st->standardIcon(QStyle::SP_FileIcon));
  MakeAction(Command::AcFileOpen, QStringLiteral("開く(&O)"), {}, QStringLiteral("開く"))
      ->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
  MakeAction(Command::AcFileInsert, QStringLiteral("ファイルの挿入(&I)"));
  MakeAction(Command::AcFileSave, QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S),
             QStringLiteral("上書き保存"))
      ->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
  MakeAction(Command::AcFileSaveAs, QStringLiteral("名前を付けて保存(&A)"));
  MakeAction(Command::Environment, QStringLiteral("環境設定(&E)"), {}, QStringLiteral("環境設定"))
      ->setIcon(GlyphIcon(QStringLiteral("設")));
  MakeAction(Command::AcCommunication, QStringLiteral("通信(&C)"), {}, QStringLiteral("通信"))
      ->setIcon(GlyphIcon(QStringLiteral("通")));
  MakeAction(Command::Print1, QStringLiteral("印刷(&P)..."));
  MakeAction(Command::AcClose, QStringLiteral("終了"));

  MakeAction(Command::AcUndo, QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z),
             QStringLiteral("元に戻す"))
      ->setIcon(st->standardIcon(QStyle::SP_ArrowBack));
  MakeAction(Command::AcRedo, QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_A),
             QStringLiteral("やり直し"))
      ->setIcon(st->standardIcon(QStyle::SP_ArrowForward));
  MakeAction(Command::Cut1, QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
  MakeAction(Command::Copy1, QStringLiteral("コピー(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
  MakeAction(Command::Paste1, QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V));
  MakeAction(Command::AcFind, QStringLiteral("検索(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F), QStringLiteral("検索"))
      ->setIcon(GlyphIcon(QStringLiteral("検")));
  MakeAction(Command::AcFindNext, QStringLiteral("再検索(&N)"), QKeySequence(Qt::Key_F3));
  MakeAction(Command::AcFindPrev, QString(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
  MakeAction(Command::AcReplace, QStringLiteral("置換(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("置換"))
      ->setIcon(GlyphIcon(QStringLiteral("置")));
  MakeAction(Command::AcJump, QStringLiteral("指定行(&J)"), QKeySequence(Qt::CTRL | Qt::Key_J));
  MakeAction(Command::AcDelLine, QStringLiteral("行削除(&L)"), QKeySequence(Qt::CTRL | Qt::Key_Y));
  MakeAction(Command::AcOverWrite, QString(), QKeySequence(Qt::Key_Insert));

  MakeAction(Command::AcSingle, QStringLiteral("シングル実行(&S)"), QKeySequence(Qt::Key_F4), QStringLiteral("シングル実行"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaSkipForward));
  MakeAction(Command::AcRun, QStringLiteral("連続実行(&G)"), QKeySequence(Qt::Key_F5), QStringLiteral("連続実行"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaPlay));
  MakeAction(Command::AcPause, QStringLiteral("一時停止(&P)"), QKeySequence(Qt::Key_F6), QStringLiteral("一時停止"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaPause));
  MakeAction(Command::AcReset, QStringLiteral("リセット(&R)"), QKeySequence(Qt::Key_F7), QStringLiteral("リセット"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaStop));
  auto toggle = [this](Command command, const QString& glyph, const QString& hint) {
    QAction* a = MakeAction(command, QString(), {}, hint);
    a->setCheckable(true);
    a->setIcon(GlyphIcon(glyph));
    return a;
  };
  toggle(Command::SkipBtn, QStringLiteral("/"), QStringLiteral("ブロックスキップ"));
  toggle(Command::M00Btn, QStringLiteral("M00"), QStringLiteral("マシンストップ"));
  toggle(Command::M01Btn, QStringLiteral("M01"), QStringLiteral("オプショナルストップ"));
  auto* speeds = new QActionGroup(this);
  toggle(Command::LoBtn, QStringLiteral("低"), QStringLiteral("低速"))->setActionGroup(speeds);
  toggle(Command::MidBtn, QStringLiteral("普"), QStringLiteral("普通"))->setActionGroup(speeds);
  toggle(Command::HiBtn, QStringLiteral("高"), QStringLiteral("高速"))->setActionGroup(speeds);
  Action(Command::MidBtn)->setChecked(true);
  toggle(Command::InfoBtn, QStringLiteral("参"), QStringLiteral("参照モード"));
  toggle(Command::UVButton, QStringLiteral("UV"), QStringLiteral("UVモード"));

  MakeAction(Command::AreaItem, QStringLiteral("加工領域(&A)"));
  MakeAction(Command::ToolItem, QStringLiteral("使用工具(&T)"));
  MakeAction(Command::DetailsItem, QStringLiteral("加工詳細(&S)"));
  MakeAction(Command::AcDump, QString(), QKeySequence(Qt::CTRL | Qt::Key_D));
  MakeAction(Command::ClipBordItem, QStringLiteral("描画のクリップボード転送(&C)"));
  MakeAction(Command::SuperHoleItem, QStringLiteral("固定サイクル展開"))->setVisible(false);
  MakeAction(Command::OptimizItem, QStringLiteral("最適化(&O)"));
  MakeAction(Command::IncConvItem, QStringLiteral("インクリメンタル変換(&I)"));
  MakeAction(Command::IncConvFixdItem, QStringLiteral("固定小数点変換(&F)"));
  MakeAction(Command::NullLineKillItem, QStringLiteral("空白行削除"));
  MakeAction(Command::Turn3DItem, QStringLiteral("３Ｄ回転(&T)"));
  MakeAction(Command::XmirrItem, QStringLiteral("Ｘ軸反転(&X)"));
  MakeAction(Command::YmirrItem, QStringLiteral("Ｙ軸反転(&Y)"));
  MakeAction(Command::Raph3DItem, QStringLiteral("簡易荒取り(&R)"));
  MakeAction(Command::AcRestart, QStringLiteral("この行から再開(&L)..."), {},
             QStringLiteral("カーソルの行から再開するプログラムを作ります"));
  MakeAction(Command::AcCompare, QStringLiteral("プログラム比較(&C)..."), {},
             QStringLiteral("ほかのプログラムと経路を比べます"));
  MakeAction(Command::AcZoom, QStringLiteral("拡大(&U)"), QKeySequence(Qt::Key_F2));
  MakeAction(Command::AcUnZoom, QStringLiteral("縮小(&D)"), QKeySequence(Qt::SHIFT | Qt::Key_F2));
  MakeAction(Command::AcHome, QStringLiteral("表示原点復帰(&H)"), QKeySequence(Qt::SHIFT | Qt::Key_Home));
  // Home alone belongs to the editors (line start): it fits the view only while the view
  // has the keys (see CreateViewGestures).
  MakeAction(Command::AcFit, QStringLiteral("全体表示(&F)"));
  MakeAction(Command::AcEditDiv, QStringLiteral("画面分割(&W)"), QKeySequence(Qt::CTRL | Qt::Key_W))->setCheckable(true);
  MakeAction(Command::AcAlpha, QStringLiteral("透過モード(&B)"), QKeySequence(Qt::CTRL | Qt::Key_G))->setCheckable(true);
  MakeAction(Command::AcSubEdit, QString(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E));

  MakeAction(Command::AcScriptEdit, QString(), QKeySequence(Qt::Key_F8), QStringLiteral("スクリプト窓"))
      ->setIcon(GlyphIcon(QStringLiteral("窓")));
  MakeAction(Command::AcScriptLoad, QString(), {}, QStringLiteral("スクリプト読込み"))->setIcon(GlyphIcon(QStringLiteral("読")));
  MakeAction(Command::AcScriptRun, QString(), QKeySequence(Qt::Key_F9), QStringLiteral("スクリプト実行"))
      ->setIcon(GlyphIcon(QStringLiteral("実")));
  MakeAction(Command::AcScriptStop, QString(), {}, QStringLiteral("スクリプト停止"))->setIcon(GlyphIcon(QStringLiteral("停")));
  for (int i = 1; i <= 7; ++i) {
    MakeAction(UserCommand(i), QString(), {}, start_.Commands.value(i - 1))
        ->setIcon(GlyphIcon(QString::number(i), QColor(96, 0, 0)));
  }
  // The work-height button shows the height as its caption.
  MakeAction(Command::UVHeightButton, QStringLiteral("0"), {}, QStringLiteral("UV面高さ"));

  MakeAction(Command::Contents1, QStringLiteral("目次(&C)"), QKeySequence(Qt::Key_F1));
  MakeAction(Command::SearchforHelpOn1, QStringLiteral("トピックの検索(&S)..."));
  MakeAction(Command::About1, QStringLiteral("バージョン情報(&A)..."));

  Q_ASSERT_X(std::all_of(actions_.begin(), actions_.end(), [](QAction* a) { return a != nullptr; }),
             "TViewForm", "a command has no action");
}

void TViewForm::CreateMenus() {
  // Command::Count stands for a separator.
  using C = Command;
  constexpr Command kSeparator = Command::Count;
  auto add = [this](QMenu* menu, std::initializer_list<Command> commands) {
    for (Command c : commands) {
      if (c == kSeparator) menu->addSeparator(); else menu->addAction(Action(c));
    }
  };
  fileMenu_ = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  add(fileMenu_, {C::AcFileNew, C::AcFileOpen, C::AcFileInsert, C::AcFileSave, C::AcFileSaveAs, kSeparator,
                  C::Environment, kSeparator, C::AcCommunication, kSeparator, C::Print1, kSeparator,
                  C::AcClose, kSeparator});
  for (int i = 0; i < 10; ++i) {
    history_[i] = fileMenu_->addAction(QString());
    history_[i]->setObjectName(QStringLiteral("History%1").arg(i));
    history_[i]->setVisible(false);
    connect(history_[i], &QAction::triggered, this, [this, i] { OpenHistory(i); });
  }
  connect(fileMenu_, &QMenu::aboutToShow, this, &TViewForm::UpdateHistoryMenu);

  add(menuBar()->addMenu(QStringLiteral("編集(&E)")),
      {C::AcUndo, C::AcRedo, kSeparator, C::Cut1, C::Copy1, C::Paste1, kSeparator, C::AcFind, C::AcFindNext,
       C::AcReplace, C::AcJump, C::AcDelLine});
  add(menuBar()->addMenu(QStringLiteral("実行(&G)")),
      {C::AcSingle, C::AcRun, C::AcPause, C::AcReset, kSeparator, C::AcRestart});
  add(menuBar()->addMenu(QStringLiteral("レポート(&R)")),
      {C::AreaItem, C::ToolItem, C::DetailsItem, kSeparator, C::ClipBordItem});
  add(menuBar()->addMenu(QStringLiteral("２Ｄツール(&2)")),
      {C::SuperHoleItem, kSeparator, C::OptimizItem, C::IncConvItem, C::IncConvFixdItem,
       C::NullLineKillItem});
  add(menuBar()->addMenu(QStringLiteral("３Ｄツール(&3)")),
      {C::Turn3DItem, kSeparator, C::XmirrItem, C::YmirrItem, kSeparator, C::Raph3DItem});
  add(menuBar()->addMenu(QStringLiteral("表示(&V)")),
      {C::AcZoom, C::AcUnZoom, C::AcHome, C::AcFit, kSeparator, C::AcEditDiv, C::AcAlpha, kSeparator,
       C::AcCompare});
  add(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), {C::Contents1, C::SearchforHelpOn1, C::About1});
}

QToolButton* TViewForm::ToolButton(QAction* action) {
  speedBar_->addAction(action);
  auto* b = qobject_cast<QToolButton*>(speedBar_->widgetForAction(action));
  if (b) b->setFixedSize(25, 24);
  return b;
}

void TViewForm::CreateToolBar() {
  speedBar_ = new QToolBar(QStringLiteral("SpeedBar1"), this);
  speedBar_->setObjectName(QStringLiteral("SpeedBar1"));
  speedBar_->setIconSize(QSize(20, 18));
  speedBar_->setMovable(true);
  addToolBar(Qt::TopToolBarArea, speedBar_);
  using C = Command;
  auto group = [this](std::initializer_list<Command> commands) {
    for (Command c : commands) ToolButton(Action(c));
    speedBar_->addSeparator();
  };
  group({C::AcFileNew, C::AcFileOpen, C::AcFileSave});
  ToolButton(Action(C::InfoBtn));
  ToolButton(Action(C::UVButton));
  speedBar_->addAction(Action(C::UVHeightButton));
  auto* uvHeight = qobject_cast<QToolButton*>(speedBar_->widgetForAction(Action(C::UVHeightButton)));
  uvHeight->setToolButtonStyle(Qt::ToolButtonTextOnly);
  uvHeight->setMinimumSize(25, 24);
  speedBar_->addSeparator();
  group({C::AcUndo, C::AcRedo, C::AcFind, C::AcReplace});
  group({C::SkipBtn, C::M00Btn, C::M01Btn});
  group({C::AcSingle, C::AcRun, C::AcPause, C::AcReset});
  group({C::LoBtn, C::MidBtn, C::HiBtn});
  group({C::Environment, C::AcCommunication});
  group({C::AcScriptEdit, C::AcScriptLoad, C::AcScriptRun, C::AcScriptStop});
  for (int i = 1; i <= 7; ++i) ToolButton(Action(UserCommand(i)));
}

}  // namespace kelvan::view
