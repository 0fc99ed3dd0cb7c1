#include "appresources.h"
#include "at.h"
#include "init.h"
#include "modalanswer.h"
#include "startup.h"
#include "uihelper.h"
#include "upgrade.h"

#include <QtTest>
#include <QtWidgets>

// The finished product as it starts: English texts, the dark style, its own title bar.
class ShellTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void englishTexts();
    void frame();
    void titleBarMaximisesRestoresAndCloses();
    void additionsBoxInEnglish();
    void chineseWithoutCatalogue();

private:
    QTranslator m_translator;
};

void ShellTest::initTestCase()
{
    prepareApplication(*qApp, m_translator);
    QVERIFY(!m_translator.isEmpty());
}

// Each window shows the catalogue's texts: button, label, tooltip, drop-down item, title.
void ShellTest::englishTexts()
{
    AT window;
    init presets;
    upgrade update;
    QCOMPARE(window.findChild<QPushButton *>("btnInit")->text(), QStringLiteral("Factory Reset"));
    QCOMPARE(window.findChild<QLabel *>("label_I1")->text(), QStringLiteral("Hardware Version"));
    QCOMPARE(window.findChild<QWidget *>("S140")->toolTip(),
             "Input range 0~65535\r\nIn PP mode,When the unit address is set to 0, the destination "
             "address is automatically assigned\r\n            When the unit address is not 0, the "
             "destination address must be set to specify the network topology\r\nIn PMP mode,must "
             "manually set the correct destination address for each device");
    QCOMPARE(presets.findChild<QComboBox *>("ATF")->itemText(0), QStringLiteral("PMP Master"));
    QCOMPARE(update.windowTitle(), QStringLiteral("Update"));
}

// The frameless frame: flags, drag opt-in, glyph buttons, logo, title font, the dark style.
void ShellTest::frame()
{
    AT window;
    QCOMPARE(window.windowTitle(), QStringLiteral("DR58 AT  PlatformV3.3"));
    QCOMPARE(window.size(), QSize(991, 674));
    QCOMPARE(window.windowFlags(), Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                       Qt::Window);
    QCOMPARE(window.property("canMove"), QVariant(true));
    QCOMPARE(window.property("form"), QVariant(true));
    QCOMPARE(window.findChild<QWidget *>("widgetTitle")->property("form"), QVariant("title"));
    QStringList glyphs;
    for (const char *name : {"btnMenu_Min", "btnMenu_Max", "btnMenu_Close"}) {
        auto *button = window.findChild<QPushButton *>(name);
        glyphs << QStringLiteral("%1 %2 %3 %4")
                      .arg(button->text())
                      .arg(button->font().family())
                      .arg(button->font().pixelSize())
                      .arg(button->isEnabled());
    }
    QCOMPARE(glyphs, QStringList({QChar(0xF068) + QString(" FontAwesome 20 1"),
                                  QChar(0xF067) + QString(" FontAwesome 20 0"),
                                  QChar(0xF00D) + QString(" FontAwesome 20 1")}));
    QCOMPARE(window.findChild<QLabel *>("labIco")->pixmap(Qt::ReturnByValue).size(), QSize(40, 40));
    QCOMPARE(window.findChild<QLabel *>("labTitle")->font().pointSize(), 18);
    QVERIFY(qApp->styleSheet().startsWith("QPalette{background:#44494F;}"));
    QCOMPARE(qApp->palette().color(QPalette::Button), QColor("#44494F"));
    QVERIFY(window.styleSheet().startsWith("QComboBox::drop-down,QDateEdit::drop-down,"));
}

void ShellTest::titleBarMaximisesRestoresAndCloses()
{
    AT window;
    window.resize(700, 500);
    window.move(10, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect normal = window.geometry();
    QWidget *title = window.findChild<QWidget *>("widgetTitle");
    QTest::mouseDClick(title, Qt::LeftButton);
    // The offscreen screen (800 x 600) is smaller than the window's minimum size, which clamps
    // the size: the window still takes the screen's origin and covers its whole available area.
    const QRect screen = UiHelper::screenRect(true);
    QCOMPARE(window.geometry().topLeft(), screen.topLeft());
    QVERIFY(window.geometry().contains(screen));
    QCOMPARE(window.property("canMove"), QVariant(false));
    AT other; // each window keeps its own state: the other one maximises too
    QTest::mouseDClick(other.findChild<QWidget *>("widgetTitle"), Qt::LeftButton);
    QCOMPARE(other.property("canMove"), QVariant(false));
    QTest::mouseDClick(title, Qt::LeftButton);
    QCOMPARE(window.geometry(), normal);
    QCOMPARE(window.property("canMove"), QVariant(true));
    window.findChild<QPushButton *>("btnMenu_Close")->click();
    QVERIFY(!window.isVisible());
}

// The box of the window's own additions speaks the window's language.
void ShellTest::additionsBoxInEnglish()
{
    AT window;
    QStringList seen;
    ModalAnswer answer([&](QWidget *box) {
        seen = boxFrame(box) << static_cast<QMessageBox *>(box)->text().section('\n', 0, 0);
        static_cast<QDialog *>(box)->accept();
    });
    QMetaObject::invokeMethod(&window, "openProfile", Q_ARG(QString, "/nonexistent/p.ini"));
    QCOMPARE(seen, QStringList({"Error", "OK", "The profile cannot be used:"}));
}

void ShellTest::chineseWithoutCatalogue()
{
    qApp->removeTranslator(&m_translator);
    AT window;
    QCOMPARE(window.windowTitle(), QStringLiteral("DR58 AT配置平台V3.3"));
    QCOMPARE(window.findChild<QPushButton *>("btnUpdate")->text(), QStringLiteral("升级"));
    qApp->installTranslator(&m_translator);
}

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
