#include "uihelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(QMessageBox::Icon)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

// What the operator saw in a modal box before the wanted button was clicked.
struct SeenBox
{
    bool shown = false;
    bool hasParent = true;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString yesText;
    QString noText;
    bool hasNo = false;
};

// Runs a blocking box call while a timer waits for the box, records it and clicks `answer`.
int answerBox(const std::function<int()> &call, QMessageBox::StandardButton answer, SeenBox &seen)
{
    QTimer poll;
    poll.setInterval(10); // milliseconds
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        seen.shown = true;
        seen.hasParent = box->parentWidget() != nullptr;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.yesText = box->button(QMessageBox::Yes)->text();
        seen.hasNo = box->button(QMessageBox::No) != nullptr;
        if (seen.hasNo)
            seen.noText = box->button(QMessageBox::No)->text();
        box->button(answer)->click();
    });
    poll.start();
    return call();
}

} // namespace

class UiHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void makeFrameless_data();
    void makeFrameless();
    void centerOnScreen_data();
    void centerOnScreen();
    void screenRectWithOneScreen();
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
    QTest::newRow("main window") << false << false << true << (frameless | menu);
    QTest::newRow("nothing added") << false << false << false << frameless;
    QTest::newRow("tool window") << true << false << false << (frameless | int(Qt::Tool));
    QTest::newRow("stay on top") << false << true << false
                                 << (frameless | int(Qt::WindowStaysOnTopHint));
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

void UiHelperTest::centerOnScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("odd width and height") << QSize(101, 51);
    QTest::newRow("even") << QSize(400, 300);
    QTest::newRow("main window size") << QSize(991, 674);
    QTest::newRow("odd and larger than the screen") << QSize(3001, 2001);
}

void UiHelperTest::centerOnScreen()
{
    QFETCH(QSize, size);
    QWidget form;
    form.resize(size);

    UiHelper::centerOnScreen(&form);

    // Each half is truncated on its own, so odd sizes do not round up.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint expected(area.left() + area.width() / 2 - size.width() / 2,
                          area.top() + area.height() / 2 - size.height() / 2);
    QCOMPARE(form.pos(), expected);
}

void UiHelperTest::screenRectWithOneScreen()
{
    QCOMPARE(QGuiApplication::screens().size(), 1);
    QCursor::setPos(-5000, -5000); // off every screen: the first screen is used
    QCOMPARE(UiHelper::screenIndexAtCursor(), 0);
    const QScreen *screen = QGuiApplication::primaryScreen();
    QCOMPARE(UiHelper::screenRect(true), screen->availableGeometry());
    QCOMPARE(UiHelper::screenRect(false), screen->geometry());
}

void UiHelperTest::boxes_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<bool>("hasNo");
    QTest::addColumn<int>("result");

    QTest::newRow("information") << "info" << QMessageBox::Yes << QStringLiteral("提示")
                                 << QMessageBox::Information << false << 0;
    QTest::newRow("error") << "error" << QMessageBox::Yes << QStringLiteral("错误")
                           << QMessageBox::Critical << false << 0;
    QTest::newRow("question confirmed") << "question" << QMessageBox::Yes << QStringLiteral("询问")
                                        << QMessageBox::Question << true << int(QMessageBox::Yes);
    QTest::newRow("question cancelled") << "question" << QMessageBox::No << QStringLiteral("询问")
                                        << QMessageBox::Question << true << int(QMessageBox::No);
}

void UiHelperTest::boxes()
{
    QFETCH(QString, kind);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, title);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(bool, hasNo);
    QFETCH(int, result);

    const QString text = QStringLiteral("/dev/ttyUSB0 open err");
    const std::function<int()> call = [&] {
        if (kind == QLatin1String("question"))
            return UiHelper::askQuestion(text);
        if (kind == QLatin1String("error"))
            UiHelper::showErrorBox(text);
        else
            UiHelper::showInfoBox(text);
        return 0;
    };

    SeenBox seen;
    QCOMPARE(answerBox(call, answer, seen), result);
    QVERIFY(seen.shown);
    QVERIFY(!seen.hasParent);
    QCOMPARE(seen.title, title);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.icon, icon);
    QCOMPARE(seen.yesText, QStringLiteral("确 定"));
    QCOMPARE(seen.hasNo, hasNo);
    if (hasNo)
        QCOMPARE(seen.noText, QStringLiteral("取 消"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(UiHelperTest)
#include "tst_uihelper.moc"
