#include "modalanswer.h"
#include "station.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <thread>

Q_DECLARE_METATYPE(SimModem::Fault)

// What the operator lives through when the modem misbehaves on the wire: it vanishes, sends
// noise, loses bytes or answers too late. The window must stay up, every wait must end, the
// operator must see what happened, and once the modem is back a fresh session must work.
class ModemFaultsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void vanishesDuringQuery();
    void vanishesDuringUpgrade();
    void noiseAroundReplies_data();
    void noiseAroundReplies();
    void noiseDuringUpgrade();
    void droppedBytes_data();
    void droppedBytes();
    void lateReply_data();
    void lateReply();

private:
    QString firmwareFile(int size);
    QTemporaryDir m_dir;
};

namespace {

constexpr int QueryLimit = 12000;   // milliseconds: five silent periods, five single queries
constexpr int UpgradeLimit = 30000; // milliseconds for a short upgrade or its failure

// Bytes that look like nothing the dialogue uses: no register name, no "AT", no "OK".
QByteArray noise(int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += QByteArray("#~noise~#\xfe\xff\x01", 12);
    return bytes.left(size);
}

// Reads the form as the operator sees it after a query, and compares it with the modem.
void expectFormMatchesModem(const Station &s)
{
    for (const char *name : {"S101", "S104", "S105", "S140", "S160", "S220", "S221", "S244"}) {
        if (auto *box = s.window->findChild<QComboBox *>(name))
            QVERIFY2(box->currentIndex() >= 0, name);
        else
            QCOMPARE(s.edit(name)->text(), s.modem.registerValue(name));
    }
    QVERIFY(!s.edit("I1")->text().isEmpty());
}

void clickAndTime(Station &s, const QString &button, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    s.click(button);
    QVERIFY2(clock.elapsed() < limitMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(s.button(button)->isEnabled());
}

// The modem is back on a new pseudo-terminal (as after unplugging and plugging it in again):
// the operator picks it, closes and reopens the port, and a whole session works again.
void reconnectAndQuery(Station &s)
{
    s.modem.stop();
    s.modem.powerCycle();
    QVERIFY(s.modem.start());
    PortList::addExtraPort(s.modem.portName());
    auto *ports = s.combo("UartCom");
    ports->showPopup();
    ports->hidePopup();
    ports->setCurrentText(s.modem.portName());
    QCOMPARE(ports->currentText(), s.modem.portName());
    if (s.button("btnUart")->text() != QStringLiteral("打开"))
        s.click("btnUart");
    QCOMPARE(s.button("btnUart")->text(), QStringLiteral("打开"));
    QVERIFY(s.enterAtMode());
    clickAndTime(s, "btnQuery", QueryLimit);
    expectFormMatchesModem(s);
}

// Drives the upgrade dialog the main window opens: picks the file, starts, answers the one
// box that ends the upgrade and closes the dialog. Only the first sight of the dialog starts it.
class UpgradeOperator
{
public:
    UpgradeOperator(const QString &file)
        : m_answer([this, file](QWidget *modal) { handle(modal, file); })
    {
    }
    QStringList boxes;
    bool dialogClosed = false;

private:
    void handle(QWidget *modal, const QString &file)
    {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (modal->objectName() != QStringLiteral("upgrade"))
            return;
        if (m_started) {
            dialogClosed = true;
            QTimer::singleShot(0, modal, [modal] { static_cast<QDialog *>(modal)->reject(); });
            return;
        }
        m_started = true;
        modal->findChild<QPushButton *>("btnUpdatefile")->setText(file);
        modal->findChild<QPushButton *>("btnUplaod")->click();
    }

    bool m_started = false;
    ModalAnswer m_answer;
};

} // namespace

void ModemFaultsTest::initTestCase()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path())); // the dialog remembers files in ./Setting.ini
}

QString ModemFaultsTest::firmwareFile(int size)
{
    const QString path = m_dir.filePath(QStringLiteral("fw%1.stz").arg(size));
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 29 + 3);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != size)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void ModemFaultsTest::vanishesDuringQuery()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.edit("S104")->setText("77");
    // Pull the plug once the listing is on its way but before it is complete. The window
    // blocks in its reads meanwhile, so the plug is pulled from another thread.
    const int before = s.modem.sent().size();
    std::thread unplug([&s, before] {
        while (s.modem.sent().size() < before + 60)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        s.modem.stop();
    });
    clickAndTime(s, "btnQuery", QueryLimit);
    unplug.join();
    QVERIFY(s.log().contains("AT&V"));
    QVERIFY(!s.log().contains("send: ATS160?")); // an unfinished listing ends the query
    QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));

    clickAndTime(s, "btnEnterAT", 3000); // a dead line answers nothing, and says so quickly
    reconnectAndQuery(s);
}

void ModemFaultsTest::vanishesDuringUpgrade()
{
    Station s;
    QVERIFY(s.enterAtMode());
    const QString file = firmwareFile(60 * 241);
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (s.modem.updateRequests(2) >= 10) {
            watch.stop();
            s.modem.stop();
        }
    });
    watch.start(5);
    UpgradeOperator op(file);
    clickAndTime(s, "btnUpdate", UpgradeLimit);
    QVERIFY(op.dialogClosed);
    QCOMPARE(op.boxes, QStringList{QStringLiteral("升级失败，请检查！！")});
    reconnectAndQuery(s);
}

void ModemFaultsTest::noiseAroundReplies_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("delay"); // milliseconds from the press to the burst; -1: just before
    QTest::addColumn<int>("size");  // bytes of noise
    QTest::newRow("before the greeting") << "btnEnterAT" << -1 << 60;
    QTest::newRow("before the listing") << "btnQuery" << -1 << 60;
    QTest::newRow("during the listing") << "btnQuery" << 100 << 300;
    QTest::newRow("during single queries") << "btnQuery" << 400 << 200;
}

void ModemFaultsTest::noiseAroundReplies()
{
    QFETCH(QString, button);
    QFETCH(int, delay);
    QFETCH(int, size);
    Station s;
    if (button == "btnEnterAT")
        QVERIFY(s.openPort());
    else
        QVERIFY(s.enterAtMode());
    s.click("btnClear");
    if (delay < 0)
        s.modem.sendRaw(noise(size));
    else
        QTimer::singleShot(delay, [&s, size] { s.modem.sendRaw(noise(size)); });
    clickAndTime(s, button, QueryLimit);
    QVERIFY(s.log().contains("#~noise~#"));
    if (button == "btnQuery")
        expectFormMatchesModem(s);
    else
        QVERIFY(s.modem.inAtMode());
    QTRY_VERIFY(s.modem.sent().endsWith("OK\r\n")); // the burst is over
    reconnectAndQuery(s);
}

// Noise between acknowledgements garbles the frame being gathered: the dialog treats it as a
// rejected reply and goes on; the modem still gets every chunk.
void ModemFaultsTest::noiseDuringUpgrade()
{
    Station s;
    QVERIFY(s.enterAtMode());
    const int size = 40 * 241;
    const QString file = firmwareFile(size);
    QTimer burst;
    int bursts = 0;
    connect(&burst, &QTimer::timeout, [&] {
        if (s.modem.updateRequests(2) >= 5 * (bursts + 1) && bursts < 3) {
            s.modem.sendRaw(noise(7 + bursts * 5));
            ++bursts;
        }
    });
    burst.start(5);
    UpgradeOperator op(file);
    clickAndTime(s, "btnUpdate", UpgradeLimit);
    QCOMPARE(bursts, 3);
    QCOMPARE(op.boxes.size(), 1);
    if (op.boxes.first() == QStringLiteral("升级成功，请重启设置！！"))
        QCOMPARE(s.modem.image().size(), size);
    else
        QCOMPARE(op.boxes.first(), QStringLiteral("升级失败，请检查！！"));
    reconnectAndQuery(s);
}

void ModemFaultsTest::droppedBytes_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("greeting") << "btnEnterAT";
    QTest::newRow("listing") << "btnQuery";
}

void ModemFaultsTest::droppedBytes()
{
    QFETCH(QString, button);
    Station s;
    if (button == "btnEnterAT")
        QVERIFY(s.openPort());
    else
        QVERIFY(s.enterAtMode());
    s.edit("S104")->setText("77");
    s.modem.setFault(SimModem::Fault::DropBytes, 1);
    clickAndTime(s, button, QueryLimit);
    // The operator sees the mangled reply. A mangled greeting does not count: the form keeps
    // what was typed. A mangled listing fills what it can; the single queries are intact.
    QVERIFY(s.log().contains(button == "btnEnterAT" ? "Welcme To" : "AT&V\n"));
    if (button == "btnEnterAT") {
        QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));
    } else {
        for (const char *name : {"S160", "S220", "S221"})
            QCOMPARE(s.edit(name)->text(), s.modem.registerValue(name));
    }
    reconnectAndQuery(s);
}

void ModemFaultsTest::lateReply_data()
{
    QTest::addColumn<int>("pause"); // milliseconds between the failed enter and the query
    QTest::newRow("arrives while idle") << 1000;
    QTest::newRow("arrives during the next wait") << 0;
}

void ModemFaultsTest::lateReply()
{
    QFETCH(int, pause);
    Station s;
    QVERIFY(s.openPort());
    s.modem.setLateReplyDelay(2500);
    s.modem.setFault(SimModem::Fault::LateReply, 1);
    s.edit("S104")->setText("77");
    clickAndTime(s, "btnEnterAT", 2500);
    QCOMPARE(s.log(), Station::shown("send: +++\r\n")); // the wait gave up: nothing to show
    QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));
    QTest::qWait(pause);
    clickAndTime(s, "btnQuery", QueryLimit);
    QVERIFY(s.modem.inAtMode());
    if (pause == 0) // the late greeting was taken as the listing's reply, and shown as such
        QVERIFY(s.log().contains(Station::shown("send: \rAT&V\r\r\nWelcome To Use DR58")));
    else
        expectFormMatchesModem(s);
    clickAndTime(s, "btnQuery", QueryLimit);
    expectFormMatchesModem(s);
}

QTEST_MAIN(ModemFaultsTest)
#include "tst_modemfaults.moc"
