#include "modalanswer.h"
#include "station.h"

// The operator's configuration session against the simulated modem, and the ways it fails.
class SessionTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<QSerialPort::SerialPortError>(); }
    void wholeSession();
    void failedWrites_data();
    void failedWrites();
    void busyGuardLeavesNoTrace();
    void presetDialog_data();
    void presetDialog();
    void serialRateRoundTrip();
    void splitReplyIsGathered();
    void partialReplyLoggedAfterSilence();
    void babblingModemIsCutOff();
};

void SessionTest::wholeSession()
{
    Station s;
    s.modem.setRegisterValue("S105", "17");
    s.modem.setRegisterValue("S160", "secret1");
    s.modem.setRegisterValue("S133", "1");
    QVERIFY(s.enterAtMode());
    s.edit("S105")->setText("stale");
    s.click("btnQuery");

    QCOMPARE(s.edit("S105")->text(), QStringLiteral("17"));
    QCOMPARE(s.edit("S160")->text(), QStringLiteral("secret1"));
    QCOMPARE(s.combo("S133")->currentText(), QStringLiteral("点对点"));
    QVERIFY(s.log().contains("Hardware Version " + s.edit("I1")->text() + "\n"));
    QVERIFY(s.log().contains("Serial Number " + s.edit("I4")->text() + "\n"));
    for (const QString name : {"S105", "S160", "S133", "I1"})
        QCOMPARE(s.mark(name), QStringLiteral("border-color :black "));
    for (const char *name : {"S101", "S102", "S103", "S104", "S108", "S110", "S113", "S114", "S118",
                             "S140", "S141", "S142", "S143", "S159", "S220", "S221", "S244"}) {
        if (auto *box = s.window->findChild<QComboBox *>(name))
            QVERIFY2(box->currentIndex() >= 0, name);
        else
            QCOMPARE(s.edit(name)->text(), s.modem.registerValue(name));
    }

    s.edit("S105")->clear();
    QTest::keyClicks(s.edit("S105"), "1234");
    QCOMPARE(s.mark("S105"), QStringLiteral("border-color :yellow "));
    s.click("ButtonS105");
    QCOMPARE(s.mark("S105"), QStringLiteral("border-color :#478CB6 "));
    QCOMPARE(s.modem.registerValue("S105"), QStringLiteral("1234"));

    s.click("btnSave");
    QCOMPARE(s.modem.storedValue("S105"), QStringLiteral("1234"));
    s.click("btnExitAT");
    QVERIFY(!s.modem.inAtMode());
    QVERIFY(s.edit("S105")->text().isEmpty());
    QCOMPARE(s.combo("S133")->currentIndex(), -1);
    QCOMPARE(s.mark("S105"), QStringLiteral("border-color :black "));

    QCOMPARE(s.modem.received(), QByteArray("+++\rAT&V\rATS160?\rATS244?\rATS221?\rATS220?\r"
                                            "ATS143?\rATS105=1234\r\rAT&W\r\rATA\r"));
    QVERIFY(s.log().startsWith(Station::shown("send: +++\r\n\r\nWelcome To Use DR58\r\nOK\r\n")));
}

void SessionTest::failedWrites_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("port closed after a query") << "closed";
    QTest::newRow("modem refuses") << "refuses";
    QTest::newRow("modem silent") << "silent";
    QTest::newRow("port closed while waiting") << "closing";
}

void SessionTest::failedWrites()
{
    QFETCH(QString, how);
    Station s;
    QVERIFY(s.enterAtMode());
    if (how == "closed") { // the query's last reply must not be judged again
        s.click("btnQuery");
        s.click("btnUart");
    }
    if (how == "silent" || how == "closing")
        s.modem.setFault(SimModem::Fault::Silent);
    if (how == "closing") // in the first phase of the write's wait
        s.whenModemReceived("ATS105=70000\r", [&] { s.click("btnUart"); });
    s.click("btnClear");
    QTest::keyClicks(s.edit("S105"), "70000");
    s.click("ButtonS105");
    QCOMPARE(s.mark("S105"), QStringLiteral("border-color :red "));
    QCOMPARE(s.log().contains("send: "), how != "closed");
    if (how == "refuses")
        QVERIFY(s.log().contains("ERROR"));
    QVERIFY(s.modem.registerValue("S105") != "70000");
    if (how.startsWith("clos")) { // a closed port: nothing more is sent, logged or judged
        s.modem.clearReceived();
        s.click("btnQuery");
        QVERIFY(s.log().endsWith(Station::shown("\r\n串口未打开\r\n")));
        QCOMPARE(s.log().count("串口未打开"), how == "closed" ? 2 : 1);
        QVERIFY(s.modem.received().isEmpty());
    }
}

void SessionTest::busyGuardLeavesNoTrace()
{
    Station s;
    s.modem.setFault(SimModem::Fault::Silent);
    QVERIFY(s.openPort());
    s.whenModemReceived("+++", [&] {
        QVERIFY(!s.button("btnEnterAT")->isEnabled());
        s.click("btnSave");
        s.click("btnQuery");
    });
    s.click("btnEnterAT");
    QCOMPARE(s.modem.received(), QByteArray("+++"));
    QCOMPARE(s.log(), Station::shown("send: +++\r\n"));
    QVERIFY(s.button("btnEnterAT")->isEnabled());
}

void SessionTest::presetDialog_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("untouched") << -1 << true << QByteArray("AT&F7\r");
    QTest::newRow("last item") << 7 << true << QByteArray("AT&F5\r");
    QTest::newRow("cancel") << 3 << false << QByteArray();
}

void SessionTest::presetDialog()
{
    QFETCH(int, item);
    QFETCH(bool, accept);
    QFETCH(QByteArray, wire);
    Station s;
    QVERIFY(s.enterAtMode());
    s.modem.clearReceived();
    QString title;
    ModalAnswer answer([&](QWidget *dialog) {
        title = dialog->windowTitle();
        if (item >= 0)
            dialog->findChild<QComboBox *>("ATF")->setCurrentIndex(item);
        auto *box = dialog->findChild<QDialogButtonBox *>("buttonBox");
        box->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    s.click("btnInit");
    QCOMPARE(title, QStringLiteral("设备恢复出厂设置"));
    QCOMPARE(s.modem.received(), wire);
}

void SessionTest::serialRateRoundTrip()
{
    Station s;
    s.modem.setRegisterValue("S102", "15");
    QVERIFY(s.enterAtMode());
    s.click("btnQuery");
    QCOMPARE(s.combo("S102")->currentText(), QStringLiteral("460800"));
    s.modem.clearReceived();
    s.click("ButtonS102");
    QCOMPARE(s.modem.received(), QByteArray("ATS102=15\r\n"));
    QCOMPARE(s.mark("S102"), QStringLiteral("border-color :#478CB6 "));
}

void SessionTest::splitReplyIsGathered()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.modem.setFault(SimModem::Fault::SplitReply);
    s.click("btnQuery");
    QCOMPARE(s.edit("S160")->text(), s.modem.registerValue("S160"));
}

void SessionTest::partialReplyLoggedAfterSilence()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.modem.setFault(SimModem::Fault::PartialThenSilent);
    s.edit("S104")->setText("55");
    QElapsedTimer clock;
    clock.start();
    s.click("btnQuery");
    // Five silent periods after the first part of the listing, then no single query follows.
    QVERIFY2(clock.elapsed() >= 4900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(s.modem.received().count('?'), 0);
    QCOMPARE(s.edit("S104")->text(), QStringLiteral("55"));
}

void SessionTest::babblingModemIsCutOff()
{
    Station s;
    QVERIFY(s.enterAtMode());
    s.modem.setFault(SimModem::Fault::Babble);
    QElapsedTimer clock;
    clock.start();
    s.click("btnQuery");
    QVERIFY(clock.elapsed() < 40000);
    QVERIFY(s.log().size() > 1000);
    s.modem.setFault(SimModem::Fault::None);
    QTRY_VERIFY(!s.modem.sending());
    s.click("btnQuery");
    QCOMPARE(s.edit("S104")->text(), s.modem.registerValue("S104"));
}

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
