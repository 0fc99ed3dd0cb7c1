#include "modalanswer.h"
#include "uihelper.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

class UiHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void centerOnScreen();
    void boxes_data();
    void boxes();
};

// Each half is truncated on its own, so odd sizes do not round up (the screen is 800 x 600).
void UiHelperTest::centerOnScreen()
{
    QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 600));
    QWidget form;
    form.resize(101, 51);
    UiHelper::centerOnScreen(&form);
    QCOMPARE(form.pos(), QPoint(350, 275));
    form.resize(3001, 2001);
    UiHelper::centerOnScreen(&form);
    QCOMPARE(form.pos(), QPoint(-1100, -700));
}

// Parentless boxes with fixed, untranslated titles and button texts: what the box showed
// (title, icon, parent, the texts of Yes and No) and what the call returned.
void UiHelperTest::boxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("shown");
    const QString question =
        QStringLiteral("询问 %1 0 确 定,取 消 -> %2").arg(QMessageBox::Question);
    QTest::newRow("error") << "error" << int(QMessageBox::Yes)
                           << QStringLiteral("错误 %1 0 确 定 -> 0").arg(QMessageBox::Critical);
    QTest::newRow("question confirmed")
        << "question" << int(QMessageBox::Yes) << question.arg(QMessageBox::Yes);
    QTest::newRow("question cancelled")
        << "question" << int(QMessageBox::No) << question.arg(QMessageBox::No);
}

void UiHelperTest::boxes()
{
    QFETCH(QString, kind);
    QFETCH(int, answer);
    QFETCH(QString, shown);
    QString seen;
    ModalAnswer modal([&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        QStringList texts;
        for (auto button : {QMessageBox::Yes, QMessageBox::No}) {
            if (box->button(button))
                texts << box->button(button)->text();
        }
        QCOMPARE(box->text(), QStringLiteral("port open err"));
        seen = QStringLiteral("%1 %2 %3 %4")
                   .arg(box->windowTitle())
                   .arg(box->icon())
                   .arg(box->parentWidget() != nullptr)
                   .arg(texts.join(','));
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    int got = 0;
    if (kind == "question")
        got = UiHelper::askQuestion("port open err");
    else
        UiHelper::showErrorBox("port open err");
    QCOMPARE(seen + " -> " + QString::number(got), shown);
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(UiHelperTest)
#include "tst_uihelper.moc"
