#include "modalanswer.h"
#include "station.h"

// Opening and closing the port, and what a single command puts on the wire and in the log.
class SerialLinkTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void toggleReportsState();
    void baudChosenWhileClosedAppliesAtOpen();
    void openFailureShowsBox();
    void sendWritesExactBytes();
    void sendDiscardsPendingInput();
    void portListKeepsSelection();
};

void SerialLinkTest::toggleReportsState()
{
    Station s;
    const QString port = s.modem.portName();
    QVERIFY(s.openPort());
    QCOMPARE(s.status(), port + " open,9600,8N1");
    QCOMPARE(s.find("statusbar")->styleSheet(), QStringLiteral("color:white"));
    QCOMPARE(s.button("btnUart")->text(), QStringLiteral("关闭"));
    QCOMPARE(s.button("btnUart")->styleSheet(), QStringLiteral("color: red"));
    QTRY_VERIFY_WITH_TIMEOUT(s.status().isEmpty(), 3000);

    s.click("btnUart");
    QCOMPARE(s.status(), port + " closed");
    QCOMPARE(s.find("statusbar")->styleSheet(), QStringLiteral("color:red"));
    QCOMPARE(s.button("btnUart")->text(), QStringLiteral("打开"));
    QCOMPARE(s.button("btnUart")->styleSheet(), QStringLiteral("color: white"));
}

void SerialLinkTest::baudChosenWhileClosedAppliesAtOpen()
{
    Station s;
    s.combo("UartComBaud")->setCurrentText("115200");
    emit s.combo("UartComBaud")->activated(0);
    QVERIFY(s.openPort());
    QCOMPARE(s.status(), s.modem.portName() + " open,115200,8N1");
    QTRY_COMPARE(s.modem.baudRate(), 115200);
}

// A port another program holds cannot be opened: a box says so and the panel stays closed.
void SerialLinkTest::openFailureShowsBox()
{
    Station s;
    const QString port = s.modem.portName();
    QSerialPort other(port);
    QVERIFY(other.open(QIODevice::ReadWrite));
    QString title, text, buttonText;
    ModalAnswer answer([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        title = box->windowTitle();
        text = box->text();
        buttonText = box->button(QMessageBox::Yes)->text();
        box->button(QMessageBox::Yes)->click();
    });
    s.click("btnUart");
    QCOMPARE(QStringList({title, text, buttonText}),
             QStringList({"提示", port + " open err", "确 定"}));
    QCOMPARE(s.button("btnUart")->text(), QStringLiteral("打开"));
    QCOMPARE(s.button("btnUart")->styleSheet(), QStringLiteral("color: white"));
    QVERIFY(s.status().isEmpty());
    QVERIFY(s.log().isEmpty());
}

void SerialLinkTest::sendWritesExactBytes()
{
    Station s;
    QVERIFY(s.openPort());
    const QString command = QStringLiteral("ATS160=k\xe9y\r");
    s.send(command);
    QTRY_COMPARE(s.modem.received(), QByteArray("ATS160=k\xe9y\r"));
    QCOMPARE(s.log(), Station::shown("send: " + command));
}

void SerialLinkTest::sendDiscardsPendingInput()
{
    Station s;
    QVERIFY(s.openPort());
    s.modem.sendRaw("stale reply\r\nOK\r\n");
    QTRY_COMPARE(s.modem.sent().size(), 17); // in the port's buffer or the line's input queue
    s.click("btnEnterAT");
    QVERIFY(s.modem.inAtMode());
    QVERIFY(!s.log().contains("stale"));
}

void SerialLinkTest::portListKeepsSelection()
{
    Station s;
    auto *ports = s.combo("UartCom");
    PortList::addExtraPort("/dev/second-modem");
    ports->showPopup();
    ports->hidePopup();
    QCOMPARE(ports->currentText(), s.modem.portName());
    QVERIFY(ports->findText("/dev/second-modem") >= 0);
}

QTEST_MAIN(SerialLinkTest)
#include "tst_seriallink.moc"
