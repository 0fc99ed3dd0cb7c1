#include "appinit.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(Qt::MouseButton)

namespace {

// A window that counts the mouse events reaching it, to tell consumed events from delivered ones.
class Probe : public QWidget
{
public:
    int presses = 0;
    int moves = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        ++presses;
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        ++moves;
        event->accept();
    }
};

// Delivers a synthetic mouse event the way the window system does: through the application.
void sendMouse(QWidget *to, QEvent::Type type, const QPoint &global,
               Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(5, 5), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

} // namespace

class AppInitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void instanceIsShared();
    void drag_data();
    void drag();
    void pressPassesAndDragMovesAreConsumed();
    void releaseEndsDrag();
    void clearingCanMoveStopsDrag();
    void pressOnIgnoringChildDragsWindow();
    void pressOnButtonChildDoesNotDrag();

private:
    QWidget m_releaseTarget; // opted in, so a release sent to it ends any drag between tests
};

void AppInitTest::initTestCase()
{
    AppInit::instance()->start();
    m_releaseTarget.setProperty("canMove", true);
}

void AppInitTest::cleanup()
{
    sendMouse(&m_releaseTarget, QEvent::MouseButtonRelease, QPoint(0, 0));
}

void AppInitTest::instanceIsShared()
{
    AppInit *first = AppInit::instance();
    QVERIFY(first);
    QCOMPARE(AppInit::instance(), first);
    QVERIFY(!first->parent());
}

void AppInitTest::drag_data()
{
    QTest::addColumn<QVariant>("canMove");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("moveTo");
    QTest::addColumn<QPoint>("expected");

    const QVariant yes(true);
    QTest::newRow("left press keeps the grab point under the cursor")
        << yes << Qt::LeftButton << QPoint(100, 100) << QPoint(150, 120) << QPoint(170, 135)
        << QPoint(120, 115);
    QTest::newRow("dragged onto negative coordinates")
        << yes << Qt::LeftButton << QPoint(10, 20) << QPoint(30, 25) << QPoint(-300, -50)
        << QPoint(-320, -55);
    QTest::newRow("right press does not drag")
        << yes << Qt::RightButton << QPoint(100, 100) << QPoint(150, 120) << QPoint(170, 135)
        << QPoint(100, 100);
    QTest::newRow("middle press does not drag")
        << yes << Qt::MiddleButton << QPoint(100, 100) << QPoint(150, 120) << QPoint(170, 135)
        << QPoint(100, 100);
    QTest::newRow("canMove false never moves")
        << QVariant(false) << Qt::LeftButton << QPoint(100, 100) << QPoint(150, 120)
        << QPoint(170, 135) << QPoint(100, 100);
    QTest::newRow("without canMove never moves")
        << QVariant() << Qt::LeftButton << QPoint(100, 100) << QPoint(150, 120) << QPoint(170, 135)
        << QPoint(100, 100);
}

void AppInitTest::drag()
{
    QFETCH(QVariant, canMove);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, start);
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, moveTo);
    QFETCH(QPoint, expected);

    Probe window;
    if (canMove.isValid())
        window.setProperty("canMove", canMove);
    window.move(start);

    sendMouse(&window, QEvent::MouseButtonPress, pressAt, button);
    sendMouse(&window, QEvent::MouseMove, moveTo, button);
    QCOMPARE(window.pos(), expected);
}

void AppInitTest::pressPassesAndDragMovesAreConsumed()
{
    Probe window;
    window.setProperty("canMove", true);
    window.move(100, 100);

    sendMouse(&window, QEvent::MouseButtonPress, QPoint(110, 110));
    QCOMPARE(window.presses, 1);
    sendMouse(&window, QEvent::MouseMove, QPoint(120, 130));
    sendMouse(&window, QEvent::MouseMove, QPoint(140, 90));
    QCOMPARE(window.moves, 0);
    QCOMPARE(window.pos(), QPoint(130, 80));
}

void AppInitTest::releaseEndsDrag()
{
    Probe window;
    window.setProperty("canMove", true);
    window.move(100, 100);

    sendMouse(&window, QEvent::MouseButtonPress, QPoint(110, 110));
    sendMouse(&window, QEvent::MouseMove, QPoint(120, 130));
    sendMouse(&window, QEvent::MouseButtonRelease, QPoint(120, 130), Qt::RightButton);
    sendMouse(&window, QEvent::MouseMove, QPoint(300, 300));
    QCOMPARE(window.pos(), QPoint(110, 120));
    QCOMPARE(window.moves, 1);
}

void AppInitTest::clearingCanMoveStopsDrag()
{
    Probe window;
    window.setProperty("canMove", true);
    window.move(100, 100);

    sendMouse(&window, QEvent::MouseButtonPress, QPoint(110, 110));
    window.setProperty("canMove", false);
    sendMouse(&window, QEvent::MouseMove, QPoint(200, 200));
    QCOMPARE(window.pos(), QPoint(100, 100));
    QCOMPARE(window.moves, 1);
}

void AppInitTest::pressOnIgnoringChildDragsWindow()
{
    QWidget window;
    window.setProperty("canMove", true);
    window.move(100, 100);
    auto *label = new QLabel(QStringLiteral("title"), &window);

    // A plain label ignores mouse events, so they travel on to the window.
    sendMouse(label, QEvent::MouseButtonPress, QPoint(150, 120));
    sendMouse(label, QEvent::MouseMove, QPoint(170, 135));
    QCOMPARE(window.pos(), QPoint(120, 115));
}

void AppInitTest::pressOnButtonChildDoesNotDrag()
{
    QWidget window;
    window.setProperty("canMove", true);
    window.move(100, 100);
    auto *button = new QPushButton(QStringLiteral("x"), &window);

    sendMouse(button, QEvent::MouseButtonPress, QPoint(110, 110));
    sendMouse(button, QEvent::MouseMove, QPoint(170, 135));
    QCOMPARE(window.pos(), QPoint(100, 100));
}

QTEST_MAIN(AppInitTest)
#include "tst_appinit.moc"
