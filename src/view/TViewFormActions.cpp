// The command table of the main window: its actions, menus and tool bar.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

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

QAction* TViewForm::MakeAction(const char* name, const QString& text, const QKeySequence& key,
                               const QString& hint) {
  auto* a = new QAction(text, this);
  a->setObjectName(QString::fromLatin1(name));
  if (!key.isEmpty()) {
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  }
  if (!hint.isEmpty()) a->setToolTip(hint);
  addAction(a);  // keys work also for actions that stand in no menu
  actions_[a->objectName()] = a;
  return a;
}

QAction* TViewForm::Action(const QString& name) const {
  const auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TViewForm::CreateActions() {
  QStyle* st = style();
  MakeAction("AcFileNew", QStringLiteral("新規作成(&N)"), {}, QStringLiteral("新規作成"))
      ->setIcon(st->standardIcon(QStyle::SP_FileIcon));
  MakeAction("AcFileOpen", QStringLiteral("開く(&O)"), {}, QStringLiteral("開く"))
      ->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
  MakeAction("AcFileInsert", QStringLiteral("ファイルの挿入(&I)"));
  MakeAction("AcFileSave", QStringLiteral("上書き保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S),
             QStringLiteral("上書き保存"))
      ->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
  MakeAction("AcFileSaveAs", QStringLiteral("名前を付けて保存(&A)"));
  MakeAction("Environment", QStringLiteral("環境設定(&E)"), {}, QStringLiteral("環境設定"))
      ->setIcon(GlyphIcon(QStringLiteral("設")));
  MakeAction("AcCommunication", QStringLiteral("通信(&C)"), {}, QStringLiteral("通信"))
      ->setIcon(GlyphIcon(QStringLiteral("通")));
  MakeAction("Print1", QStringLiteral("印刷(&P)..."));
  MakeAction("AcClose", QStringLiteral("終了"));

  MakeAction("AcUndo", QStringLiteral("元に戻す(&U)"), QKeySequence(Qt::CTRL | Qt::Key_Z),
             QStringLiteral("元に戻す"))
      ->setIcon(st->standardIcon(QStyle::SP_ArrowBack));
  MakeAction("AcRedo", QStringLiteral("やり直し(&R)"), QKeySequence(Qt::CTRL | Qt::Key_A),
             QStringLiteral("やり直し"))
      ->setIcon(st->standardIcon(QStyle::SP_ArrowForward));
  MakeAction("Cut1", QStringLiteral("切り取り(&T)"), QKeySequence(Qt::CTRL | Qt::Key_X));
  MakeAction("Copy1", QStringLiteral("コピー(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C));
  MakeAction("Paste1", QStringLiteral("貼り付け(&P)"), QKeySequence(Qt::CTRL | Qt::Key_V));
  MakeAction("AcFind", QStringLiteral("検索(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F), QStringLiteral("検索"))
      ->setIcon(GlyphIcon(QStringLiteral("検")));
  MakeAction("AcFindNext", QStringLiteral("再検索(&N)"), QKeySequence(Qt::Key_F3));
  MakeAction("AcFindPrev", QString(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
  MakeAction("AcReplace", QStringLiteral("置換(&R)"), QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("置換"))
      ->setIcon(GlyphIcon(QStringLiteral("置")));
  MakeAction("AcJump", QStringLiteral("指定行(&J)"), QKeySequence(Qt::CTRL | Qt::Key_J));
  MakeAction("AcDelLine", QStringLiteral("行削除(&L)"), QKeySequence(Qt::CTRL | Qt::Key_Y));
  MakeAction("AcOverWrite", QString(), QKeySequence(Qt::Key_Insert));

  MakeAction("AcSingle", QStringLiteral("シングル実行(&S)"), QKeySequence(Qt::Key_F4), QStringLiteral("シングル実行"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaSkipForward));
  MakeAction("AcRun", QStringLiteral("連続実行(&G)"), QKeySequence(Qt::Key_F5), QStringLiteral("連続実行"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaPlay));
  MakeAction("AcPause", QStringLiteral("一時停止(&P)"), QKeySequence(Qt::Key_F6), QStringLiteral("一時停止"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaPause));
  MakeAction("AcReset", QStringLiteral("リセット(&R)"), QKeySequence(Qt::Key_F7), QStringLiteral("リセット"))
      ->setIcon(st->standardIcon(QStyle::SP_MediaStop));
  auto toggle = [this](const char* name, const QString& glyph, const QString& hint) {
    QAction* a = MakeAction(name, QString(), {}, hint);
    a->setCheckable(true);
    a->setIcon(GlyphIcon(glyph));
    return a;
  };
  toggle("SkipBtn", QStringLiteral("/"), QStringLiteral("ブロックスキップ"));
  toggle("M00Btn", QStringLiteral("M00"), QStringLiteral("マシンストップ"));
  toggle("M01Btn", QStringLiteral("M01"), QStringLiteral("オプショナルストップ"));
  auto* speeds = new QActionGroup(this);
  toggle("LoBtn", QStringLiteral("低"), QStringLiteral("低速"))->setActionGroup(speeds);
  toggle("MidBtn", QStringLiteral("普"), QStringLiteral("普通"))->setActionGroup(speeds);
  toggle("HiBtn", QStringLiteral("高"), QStringLiteral("高速"))->setActionGroup(speeds);
  Action("MidBtn")->setChecked(true);
  toggle("InfoBtn", QStringLiteral("参"), QStringLiteral("参照モード"));
  toggle("UVButton", QStringLiteral("UV"), QStringLiteral("UVモード"));

  MakeAction("AreaItem", QStringLiteral("加工領域(&A)"));
  MakeAction("ToolItem", QStringLiteral("使用工具(&T)"));
  MakeAction("DetailsItem", QStringLiteral("加工詳細(&S)"));
  MakeAction("AcDump", QString(), QKeySequence(Qt::CTRL | Qt::Key_D));
  MakeAction("ClipBordItem", QStringLiteral("描画のクリップボード転送(&C)"));
  MakeAction("SuperHoleItem", QStringLiteral("固定サイクル展開"))->setVisible(false);
  MakeAction("OptimizItem", QStringLiteral("最適化(&O)"));
  MakeAction("IncConvItem", QStringLiteral("インクリメンタル変換(&I)"));
  MakeAction("IncConvFixdItem", QStringLiteral("固定小数点変換(&F)"));
  MakeAction("NullLineKillItem", QStringLiteral("空白行削除"));
  MakeAction("Turn3DItem", QStringLiteral("３Ｄ回転(&T)"));
  MakeAction("XmirrItem", QStringLiteral("Ｘ軸反転(&X)"));
  MakeAction("YmirrItem", QStringLiteral("Ｙ軸反転(&Y)"));
  MakeAction("Raph3DItem", QStringLiteral("簡易荒取り(&R)"));
  MakeAction("AcZoom", QStringLiteral("拡大(&U)"), QKeySequence(Qt::Key_F2));
  MakeAction("AcUnZoom", QStringLiteral("縮小(&D)"), QKeySequence(Qt::SHIFT | Qt::Key_F2));
  MakeAction("AcHome", QStringLiteral("表示原点復帰(&H)"), QKeySequence(Qt::SHIFT | Qt::Key_Home));
  MakeAction("AcEditDiv", QStringLiteral("画面分割(&W)"), QKeySequence(Qt::CTRL | Qt::Key_W))->setCheckable(true);
  MakeAction("AcAlpha", QStringLiteral("透過モード(&B)"), QKeySequence(Qt::CTRL | Qt::Key_G))->setCheckable(true);
  MakeAction("AcSubEdit", QString(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E));

  MakeAction("AcScriptEdit", QString(), QKeySequence(Qt::Key_F8), QStringLiteral("スクリプト窓"))
      ->setIcon(GlyphIcon(QStringLiteral("窓")));
  MakeAction("AcScriptLoad", QString(), {}, QStringLiteral("スクリプト読込み"))->setIcon(GlyphIcon(QStringLiteral("読")));
  MakeAction("AcScriptRun", QString(), QKeySequence(Qt::Key_F9), QStringLiteral("スクリプト実行"))
      ->setIcon(GlyphIcon(QStringLiteral("実")));
  MakeAction("AcScriptStop", QString(), {}, QStringLiteral("スクリプト停止"))->setIcon(GlyphIcon(QStringLiteral("停")));
  for (int i = 1; i <= 7; ++i) {
    const QByteArray name = "Ex" + QByteArray::number(i) + "Btn";
    MakeAction(name.constData(), QString(), {}, start_.Commands.value(i - 1))
        ->setIcon(GlyphIcon(QString::number(i), QColor(96, 0, 0)));
  }

  MakeAction("Contents1", QStringLiteral("目次(&C)"), QKeySequence(Qt::Key_F1));
  MakeAction("SearchforHelpOn1", QStringLiteral("トピックの検索(&S)..."));
  MakeAction("About1", QStringLiteral("バージョン情報(&A)..."));

  // Commands whose windows are not built yet stand in their places, disabled.
  for (const char* name :
       {"Environment", "AcCommunication", "AcFind", "AcFindNext", "AcFindPrev", "AcReplace",
        "AcJump", "ClipBordItem", "SuperHoleItem",
        "OptimizItem", "IncConvItem", "IncConvFixdItem", "NullLineKillItem", "Turn3DItem", "XmirrItem",
        "YmirrItem", "Raph3DItem", "AcAlpha", "InfoBtn", "AcScriptEdit", "AcScriptLoad",
        "AcScriptRun", "AcScriptStop", "Ex1Btn", "Ex2Btn", "Ex3Btn", "Ex4Btn", "Ex5Btn", "Ex6Btn",
        "Ex7Btn"}) {
    Action(QString::fromLatin1(name))->setEnabled(false);
  }
}

void TViewForm::CreateMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* n : names) {
      if (n == nullptr) menu->addSeparator(); else menu->addAction(Action(QString::fromLatin1(n)));
    }
  };
  fileMenu_ = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  add(fileMenu_, {"AcFileNew", "AcFileOpen", "AcFileInsert", "AcFileSave", "AcFileSaveAs", nullptr,
                  "Environment", nullptr, "AcCommunication", nullptr, "Print1", nullptr, "AcClose", nullptr});
  for (int i = 0; i < 10; ++i) {
    history_[i] = fileMenu_->addAction(QString());
    history_[i]->setObjectName(QStringLiteral("History%1").arg(i));
    history_[i]->setVisible(false);
    connect(history_[i], &QAction::triggered, this, [this, i] { OpenHistory(i); });
  }
  connect(fileMenu_, &QMenu::aboutToShow, this, &TViewForm::UpdateHistoryMenu);

  add(menuBar()->addMenu(QStringLiteral("編集(&E)")),
      {"AcUndo", "AcRedo", nullptr, "Cut1", "Copy1", "Paste1", nullptr, "AcFind", "AcFindNext", "AcReplace",
       "AcJump", "AcDelLine"});
  add(menuBar()->addMenu(QStringLiteral("実行(&G)")), {"AcSingle", "AcRun", "AcPause", "AcReset"});
  add(menuBar()->addMenu(QStringLiteral("レポート(&R)")),
      {"AreaItem", "ToolItem", "DetailsItem", nullptr, "ClipBordItem"});
  add(menuBar()->addMenu(QStringLiteral("２Ｄツール(&2)")),
      {"SuperHoleItem", nullptr, "OptimizItem", "IncConvItem", "IncConvFixdItem", "NullLineKillItem"});
  add(menuBar()->addMenu(QStringLiteral("３Ｄツール(&3)")),
      {"Turn3DItem", nullptr, "XmirrItem", "YmirrItem", nullptr, "Raph3DItem"});
  add(menuBar()->addMenu(QStringLiteral("表示(&V)")),
      {"AcZoom", "AcUnZoom", "AcHome", nullptr, "AcEditDiv", "AcAlpha"});
  add(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), {"Contents1", "SearchforHelpOn1", "About1"});
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
  auto group = [this](std::initializer_list<const char*> names) {
    for (const char* n : names) ToolButton(Action(QString::fromLatin1(n)));
    speedBar_->addSeparator();
  };
  group({"AcFileNew", "AcFileOpen", "AcFileSave"});
  ToolButton(Action(QStringLiteral("InfoBtn")));
  ToolButton(Action(QStringLiteral("UVButton")));
  // The work-height button shows the height as its caption.
  auto* uvHeight = MakeAction("UVHeightButton", QStringLiteral("0"), {}, QStringLiteral("UV面高さ"));
  speedBar_->addAction(uvHeight);
  uvHeightButton_ = qobject_cast<QToolButton*>(speedBar_->widgetForAction(uvHeight));
  uvHeightButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  uvHeightButton_->setMinimumSize(25, 24);
  speedBar_->addSeparator();
  group({"AcUndo", "AcRedo", "AcFind", "AcReplace"});
  group({"SkipBtn", "M00Btn", "M01Btn"});
  group({"AcSingle", "AcRun", "AcPause", "AcReset"});
  group({"LoBtn", "MidBtn", "HiBtn"});
  group({"Environment", "AcCommunication"});
  group({"AcScriptEdit", "AcScriptLoad", "AcScriptRun", "AcScriptStop"});
  for (int i = 1; i <= 7; ++i) ToolButton(Action(QStringLiteral("Ex%1Btn").arg(i)));
}

}  // namespace kelvan::view
