#include "modalanswer.h"
#include "uihelper.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class UiHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void makeFrameless_data();
    void makeFrameless();
    void centerOnScreen();
    void boxes_data();
    void boxes();
};

void UiHelperTest::makeFrameless_data()
{
    QTest::addColumn<bool>("toolWindow");
    QTest::addColumn<bool>("stayOnTop");
    QTest::addColumn<bool>("systemMenu");
    QTest::addColumn<int>("expected"); // Qt::WindowFlags as int

    const int frameless = int(Qt::Window | Qt::FramelessWindowHint);
    const int menu =
        int(Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    QTest::newRow("nothing added") << false << false << false << frameless;
    QTest::newRow("everything") << true << true << true
                                << (frameless | int(Qt::Tool | Qt::WindowStaysOnTopHint) | menu);
}

void UiHelperTest::makeFrameless()
{
    QFETCH(bool, toolWindow);
    QFETCH(bool, stayOnTop);
    QFETCH(bool, systemMenu);
    QFETCH(int, expected);

    // Earlier flags are replaced, not kept.
    QWidget form(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowContextHelpButtonHint |
                              Qt::WindowCloseButtonHint);
    UiHelper::makeFrameless(&form, toolWindow, stayOnTop, systemMenu);

    QCOMPARE(int(form.windowFlags()), expected);
    QCOMPARE(form.property("form"), QVariant(true));
    QCOMPARE(form.property("canMove"), QVariant(true));
}

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

void UiHelperTest::boxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QString>("buttons"); // their texts, in the order Yes, No
    QTest::addColumn<int>("result");

    const QString ok = QStringLiteral("确 定");
    const QString both = QStringLiteral("确 定,取 消");
    QTest::newRow("information") << "info" << QMessageBox::Yes << QStringLiteral("提示")
                                 << QMessageBox::Information << ok << 0;
    QTest::newRow("error") << "error" << QMessageBox::Yes << QStringLiteral("错误")
                           << QMessageBox::Critical << ok << 0;
    QTest::newRow("question confirmed") << "question" << QMessageBox::Yes << QStringLiteral("询问")
                                        << QMessageBox::Question << both << int(QMessageBox::Yes);
    QTest::newRow("question cancelled") << "question" << QMessageBox::No << QStringLiteral("询问")
                                        << QMessageBox::Question << both << int(QMessageBox::No);
}

// Parentless boxes with fixed, untranslated titles and button texts.
void UiHelperTest::boxes()
{
    QFETCH(QString, kind);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, title);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QString, buttons);
    QFETCH(int, result);

    const QString text = QStringLiteral("/dev/ttyUSB0 open err");
    QStringList seen;
    ModalAnswer modal([&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        seen << box->windowTitle() << box->text() << QString::number(box->icon())
             << QString::number(box->parentWidget() != nullptr);
        QStringList texts;
        for (auto button : {QMessageBox::Yes, QMessageBox::No}) {
            if (box->button(button))
                texts << box->button(button)->text();
        }
        seen << texts.join(',');
        box->button(answer)->click();
    });
    int got = 0;
    if (kind == "question")
        got = UiHelper::askQuestion(text);
    else if (kind == "error")
        UiHelper::showErrorBox(text);
    else
        UiHelper::showInfoBox(text);

    QCOMPARE(got, result);
    QCOMPARE(modal.seen(), 1);
    QCOMPARE(seen, QStringList({title, text, QString::number(icon), "0", buttons}));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(UiHelperTest)
#include "tst_uihelper.moc"
