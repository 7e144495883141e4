#include <QtTest>

#include "view/TViewForm.h"

class TestViewForm : public QObject {
  Q_OBJECT
private slots:
  void opensAndCloses() {
    kelvan::view::TViewForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.windowTitle(), QStringLiteral("Kelvan"));
    QVERIFY(form.close());
  }
};

QTEST_MAIN(TestViewForm)
#include "test_viewform.moc"
