#include "appresources.h"
#include "at.h"
#include "init.h"
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
    void windowTexts_data();
    void windowTexts();
    void dialogTexts_data();
    void dialogTexts();
    void frame();
    void style();
    void doubleClickMaximisesAndRestores();
    void closeButtonClosesTheWindow();
    void chineseWithoutCatalogue();

private:
    QTranslator m_translator;
};

void ShellTest::initTestCase()
{
    QApplication *app = qApp;
    prepareApplication(*app, m_translator);
    QVERIFY(!m_translator.isEmpty());
}

void ShellTest::windowTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("english");
    const struct
    {
        const char *name, *property, *english;
    } rows[] = {
        {"labTitle", "text", "DR58 AT  PlatformV3.3"},
        {"label", "text", "Serial Port:"},
        {"btnUart", "text", "Open"},
        {"btnEnterAT", "text", "Enter AT Mode"},
        {"btnQuery", "text", "Query"},
        {"btnSave", "text", "Save"},
        {"btnExitAT", "text", "Exit AT Mode"},
        {"btnInit", "text", "Factory Reset"},
        {"btnUpdate", "text", "System Update"},
        {"btnClear", "text", "Clear"},
        {"label_101", "text", "Operating Mode"},
        {"label_102", "text", "Serial Baud Rate"},
        {"label_103", "text", "Wireless Link Rate"},
        {"label_104", "text", "Network Address(ID)"},
        {"label_105", "text", "Unit Address"},
        {"label_108", "text", "Output Power"},
        {"label_110", "text", "Serial Data Format"},
        {"label_113", "text", "Retransmissions"},
        {"label_114", "text", "Repeater Index"},
        {"label_118", "text", "Sync Address"},
        {"label_133", "text", "Network Type"},
        {"label_140", "text", "Destination Address"},
        {"label_141", "text", "Repeaters Y/N"},
        {"label_142", "text", "RS232/RS485"},
        {"label_143", "text", "Repeater Index Use GPIO "},
        {"label_159", "text", "Encryption"},
        {"label_160", "text", "Encryption Key"},
        {"label_220", "text", "TDMA TX Time Slot"},
        {"label_221", "text", "Max TDMA Address"},
        {"label_244", "text", "Channel Access Mode"},
        {"label_I1", "text", "Hardware Version"},
        {"label_I2", "text", "Firmware Version"},
        {"label_I3", "text", "Software Version"},
        {"label_I4", "text", "Serial Number"},
        {"S141", "toolTip", "Only the master side needs to be set"},
        {"S104", "toolTip",
         "Input range 0~4294967295\r\nAll devices on a network must have the same network "
         "address"},
        {"S140", "toolTip",
         "Input range 0~65535\r\nIn PP mode,When the unit address is set to 0, the destination "
         "address is automatically assigned\r\n            When the unit address is not 0, the "
         "destination address must be set to specify the network topology\r\nIn PMP mode,must "
         "manually set the correct destination address for each device"},
        {"S114", "toolTip",
         "Input range 1~254\r\nThis register indicates the relative position of the repeater on "
         "the network, \nMaximum number of packet retransmissions When multiple relays are "
         "used,\nit must be guaranteed that from the master to the slave, \nthe relay sequence "
         "number arrangement is monotonically increasing and can be discontinuous"},
    };
    for (const auto &r : rows)
        QTest::addRow("%s %s", r.name, r.property) << r.name << r.property << r.english;
}

void ShellTest::windowTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, property);
    QFETCH(QString, english);
    AT window;
    QObject *widget = window.findChild<QObject *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->property(property.toLatin1().constData()).toString(), english);
}

void ShellTest::dialogTexts_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("name"); // empty: the title; "box:i": item i of a drop-down
    QTest::addColumn<QString>("english");
    const struct
    {
        const char *row, *dialog, *name, *english;
    } rows[] = {
        {"init title", "init", "", "Restore Factory Defaults"},
        {"init label", "init", "label", "Restore  Defaults"},
        {"init first", "init", "ATF:0", "PMP Master"},
        {"init last", "init", "ATF:7", "Mesh With Center Slave"},
        {"upgrade title", "upgrade", "", "Update"},
        {"upgrade start", "upgrade", "btnUplaod", "Update"},
        {"upgrade file", "upgrade", "btnUpdatefile", "Select Update Files"},
    };
    for (const auto &r : rows)
        QTest::newRow(r.row) << r.dialog << r.name << r.english;
}

void ShellTest::dialogTexts()
{
    QFETCH(QString, dialog);
    QFETCH(QString, name);
    QFETCH(QString, english);
    std::unique_ptr<QDialog> d;
    if (dialog == "init")
        d = std::make_unique<init>();
    else
        d = std::make_unique<upgrade>();
    QString shown;
    if (name.isEmpty()) {
        shown = d->windowTitle();
    } else if (name.contains(':')) {
        auto *box = d->findChild<QComboBox *>(name.section(':', 0, 0));
        shown = box->itemText(name.section(':', 1).toInt());
    } else {
        shown = d->findChild<QWidget *>(name)->property("text").toString();
    }
    QCOMPARE(shown, english);
}

void ShellTest::frame()
{
    AT window;
    QCOMPARE(window.windowTitle(), QStringLiteral("DR58 AT  PlatformV3.3"));
    QCOMPARE(window.windowFlags(), Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                       Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                       Qt::Window);
    QCOMPARE(window.property("canMove"), QVariant(true));
    QCOMPARE(window.property("form"), QVariant(true));
    QCOMPARE(window.findChild<QWidget *>("widgetTitle")->property("form"), QVariant("title"));
    const struct
    {
        const char *name;
        ushort glyph;
    } buttons[] = {{"btnMenu_Min", 0xF068}, {"btnMenu_Max", 0xF067}, {"btnMenu_Close", 0xF00D}};
    for (const auto &b : buttons) {
        auto *button = window.findChild<QPushButton *>(b.name);
        QCOMPARE(button->text(), QString(QChar(b.glyph)));
        QCOMPARE(button->font().family(), QStringLiteral("FontAwesome"));
        QCOMPARE(button->font().pixelSize(), 20);
    }
    QVERIFY(!window.findChild<QPushButton *>("btnMenu_Max")->isEnabled());
    const QPixmap logo = window.findChild<QLabel *>("labIco")->pixmap(Qt::ReturnByValue);
    QCOMPARE(logo.size(), QSize(40, 40));
    QCOMPARE(window.findChild<QLabel *>("labTitle")->font().pointSize(), 18);
}

void ShellTest::style()
{
    AT window;
    QVERIFY(qApp->styleSheet().startsWith(
        "QPalette{background:#44494F;}*{outline:0px;color:#FFFFFF;}"));
    QCOMPARE(qApp->palette().color(QPalette::Button), QColor("#44494F"));
    QVERIFY(window.styleSheet().startsWith(
        "QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,"
        "QDateTimeEdit::drop-down{width:20px;}QComboBox::down-arrow,"));
    QVERIFY(window.styleSheet().endsWith("QToolButton:pressed{border-width:0px 0px 0px 3px;}"));
}

void ShellTest::doubleClickMaximisesAndRestores()
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
    QTest::mouseDClick(title, Qt::LeftButton);
    QCOMPARE(window.geometry(), normal);
    QCOMPARE(window.property("canMove"), QVariant(true));
}

void ShellTest::closeButtonClosesTheWindow()
{
    AT window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton *>("btnMenu_Close")->click();
    QVERIFY(!window.isVisible());
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
