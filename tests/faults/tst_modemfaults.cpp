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
    void spoiledReplies_data();
    void spoiledReplies();
    void lateReply_data();
    void lateReply();

private:
    QTemporaryDir m_dir;
};

namespace {

constexpr int QueryLimit = 12000;   // milliseconds: five silent periods, five single queries
constexpr int UpgradeLimit = 30000; // milliseconds for a short upgrade or its failure

// Bytes that look like nothing the dialogue uses: no register name, no "AT", no "OK".
QByteArray bytesOfNoise(int size)
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

} // namespace

void ModemFaultsTest::initTestCase()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path())); // the dialog remembers files in ./Setting.ini
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
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (s.modem.sent().size() < before + 60 && std::chrono::steady_clock::now() < deadline)
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

// The plug is pulled ten chunks into an upgrade: the operator is told it failed, closes the
// dialog, and works on once the modem is back.
void ModemFaultsTest::vanishesDuringUpgrade()
{
    Station s;
    QVERIFY(s.enterAtMode());
    const QString file = m_dir.filePath("fw.stz");
    QFile image(file);
    QVERIFY(image.open(QIODevice::WriteOnly) && image.resize(60 * 241));
    image.close();
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (s.modem.updateRequests(2) >= 10) {
            watch.stop();
            s.modem.stop();
        }
    });
    watch.start(5);
    QStringList boxes;
    bool started = false;
    ModalAnswer answer([&](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
        } else if (!std::exchange(started, true)) {
            modal->findChild<QPushButton *>("btnUpdatefile")->setText(file);
            modal->findChild<QPushButton *>("btnUplaod")->click();
        } else {
            static_cast<QDialog *>(modal)->reject();
        }
    });
    clickAndTime(s, "btnUpdate", UpgradeLimit);
    QCOMPARE(boxes, QStringList{QStringLiteral("升级失败，请检查！！")});
    reconnectAndQuery(s);
}

void ModemFaultsTest::spoiledReplies_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("noise"); // bytes of noise; 0: a byte of the reply dropped instead
    QTest::addColumn<QByteArray>("command"); // the noise comes just before the answer to it
    QTest::addColumn<QString>("shown");      // what the log shows of the spoiled reply
    QTest::newRow("noise before the greeting")
        << "btnEnterAT" << 60 << QByteArray("+++") << "#~noise~#";
    QTest::newRow("noise during the listing")
        << "btnQuery" << 300 << QByteArray("AT&V\r") << "#~noise~#";
    QTest::newRow("noise during single queries")
        << "btnQuery" << 200 << QByteArray("ATS160?\r") << "#~noise~#";
    QTest::newRow("greeting lost a byte") << "btnEnterAT" << 0 << QByteArray() << "Welcme To";
    QTest::newRow("listing lost a byte") << "btnQuery" << 0 << QByteArray() << "AT&V\n";
}

// Noise is shown and the reply still read; a reply that lost a byte is shown as it came: a
// mangled greeting does not count (the form keeps what was typed), a mangled listing fills
// what it can and the single queries after it are intact.
void ModemFaultsTest::spoiledReplies()
{
    QFETCH(QString, button);
    QFETCH(int, noise);
    QFETCH(QByteArray, command);
    QFETCH(QString, shown);
    Station s;
    QVERIFY(button == "btnEnterAT" ? s.openPort() : s.enterAtMode());
    s.click("btnClear");
    s.edit("S104")->setText("77");
    if (noise == 0)
        s.modem.setFault(SimModem::Fault::DropBytes, 1);
    else
        s.modem.sendBeforeAnswerTo(command, bytesOfNoise(noise));
    clickAndTime(s, button, QueryLimit);
    QVERIFY(s.log().contains(shown));
    if (button == "btnEnterAT" && noise > 0)
        QVERIFY(s.modem.inAtMode());
    else if (button == "btnEnterAT")
        QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));
    else if (noise > 0)
        expectFormMatchesModem(s);
    else
        for (const char *name : {"S160", "S220", "S221"})
            QCOMPARE(s.edit(name)->text(), s.modem.registerValue(name));
}

void ModemFaultsTest::lateReply_data()
{
    QTest::addColumn<bool>("duringNextWait"); // or while nothing waits
    QTest::newRow("arrives while idle") << false;
    QTest::newRow("arrives during the next wait") << true;
}

void ModemFaultsTest::lateReply()
{
    QFETCH(bool, duringNextWait);
    Station s;
    QVERIFY(s.openPort());
    s.modem.setLateReplyDelay(SimModem::UntilNextCommand);
    s.modem.setFault(SimModem::Fault::LateReply, 1);
    s.edit("S104")->setText("77");
    clickAndTime(s, "btnEnterAT", QueryLimit);
    QCOMPARE(s.log(), Station::shown("send: +++\r\n")); // the wait gave up: nothing to show
    QCOMPARE(s.edit("S104")->text(), QStringLiteral("77"));
    if (!duringNextWait) {
        s.modem.releaseHeldReplies();
        QTRY_VERIFY(!s.modem.sending());
    }
    clickAndTime(s, "btnQuery", QueryLimit);
    QVERIFY(s.modem.inAtMode());
    if (duringNextWait) // the late greeting was taken as the listing's reply, and shown as such
        QVERIFY(s.log().contains(Station::shown("send: \rAT&V\r\r\nWelcome To Use DR58")));
    else
        expectFormMatchesModem(s);
    // The replies the late one pushed back may still be on the wire; once the line is quiet,
    // the next command throws them away before it is written.
    QTRY_VERIFY(!s.modem.sending());
    clickAndTime(s, "btnQuery", QueryLimit);
    expectFormMatchesModem(s);
}

QTEST_MAIN(ModemFaultsTest)
#include "tst_modemfaults.moc"
