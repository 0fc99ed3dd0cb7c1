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
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    void mouseMoveEvent(QMouseEvent *) override { ++moves; }
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
    void drag_data();
    void drag();
    void pressOnChild();

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

// The window starts at (100, 100); the press is at (150, 120), the moves go to (170, 135) and
// then (180, 140).
void AppInitTest::drag_data()
{
    QTest::addColumn<QVariant>("canMove");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("between"); // what happens between the press and the moves
    QTest::addColumn<QPoint>("expected");
    const QVariant yes(true);
    const QPoint start(100, 100);
    QTest::newRow("left press keeps the grab point under the cursor")
        << yes << Qt::LeftButton << QString() << QPoint(130, 120);
    QTest::newRow("right press does not drag") << yes << Qt::RightButton << QString() << start;
    QTest::newRow("without canMove never moves")
        << QVariant() << Qt::LeftButton << QString() << start;
    QTest::newRow("a right-button release ends the drag")
        << yes << Qt::LeftButton << "release" << start;
    QTest::newRow("clearing canMove stops the drag") << yes << Qt::LeftButton << "clear" << start;
}

// The press always reaches the window; the moves of a drag are consumed, all others delivered.
void AppInitTest::drag()
{
    QFETCH(QVariant, canMove);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, between);
    QFETCH(QPoint, expected);
    Probe window;
    if (canMove.isValid())
        window.setProperty("canMove", canMove);
    window.move(100, 100);
    const QPoint press(150, 120);
    sendMouse(&window, QEvent::MouseButtonPress, press, button);
    if (between == "release")
        sendMouse(&window, QEvent::MouseButtonRelease, press, Qt::RightButton);
    if (between == "clear")
        window.setProperty("canMove", false);
    sendMouse(&window, QEvent::MouseMove, press + QPoint(20, 15), button);
    sendMouse(&window, QEvent::MouseMove, press + QPoint(30, 20), button);
    QCOMPARE(window.pos(), expected);
    QCOMPARE(window.presses, 1);
    QCOMPARE(window.moves, expected == QPoint(100, 100) ? 2 : 0);
}

// A plain label ignores mouse events, so they travel on to the window; a button keeps them.
void AppInitTest::pressOnChild()
{
    for (const bool button : {false, true}) {
        QWidget window;
        window.setProperty("canMove", true);
        window.move(100, 100);
        QWidget *child = button ? static_cast<QWidget *>(new QPushButton("x", &window))
                                : new QLabel("title", &window);
        sendMouse(child, QEvent::MouseButtonPress, QPoint(150, 120));
        sendMouse(child, QEvent::MouseMove, QPoint(170, 135));
        QCOMPARE(window.pos(), button ? QPoint(100, 100) : QPoint(120, 115));
        cleanup();
    }
}

QTEST_MAIN(AppInitTest)
#include "tst_appinit.moc"
