#include "modemcore.h"

#include <QtTest>

// The modem's registers: range checks, storing and presets.
class RegisterBankTest : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void storeSurvivesPowerCycle();
    void presets_data();
    void presets();
};

// One register of each kind of check, at the ends of its range.
void RegisterBankTest::write_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    const auto rows = [](const char *name, const QStringList &accepted,
                         const QStringList &refused) {
        for (const QString &value : accepted)
            QTest::addRow("%s=%s", name, qPrintable(value)) << name << value << true;
        for (const QString &value : refused)
            QTest::addRow("%s=%s refused", name, qPrintable(value)) << name << value << false;
    };
    rows("S114", {"1", "254"}, {"0", "255"});
    rows("S104", {"4294967295"}, {"4294967296", "184467440737095516160", "1.5"});
    rows("S105", {"65535"}, {"70000", "", "12a"});
    rows("S102", {"9", "15", "16"}, {"10", "14", "17"}); // no wire values 10 to 14
    rows("S160", {"0123456789abcdef"}, {"0123456789abcdefg", "", "my key"});
    rows("S150", {"63"}, {}); // a register the form does not show
    rows("S999", {}, {"1"});
}

void RegisterBankTest::write()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    ModemCore modem;
    modem.receive("+++", 0);
    const QString before = modem.registers().value(name);
    const QByteArray command = "ATS" + name.mid(1).toLatin1() + '=' + value.toLatin1() + '\r';
    const QVector<SimReply> replies = modem.receive(command, 1000);
    QCOMPARE(replies.size(), 1);
    QCOMPARE(replies.at(0).bytes,
             command.chopped(1) + "\r\n" + (accepted ? "OK\r\n" : "ERROR\r\n"));
    QCOMPARE(modem.registers().value(name), accepted ? value : before);
}

void RegisterBankTest::storeSurvivesPowerCycle()
{
    ModemCore modem;
    modem.receive("+++", 0);
    const QString factoryNetwork = modem.registers().value("S104");
    modem.receive("ATS105=17\r\rAT&W\rATS105=99\rATS104=5\r", 100);
    QCOMPARE(modem.registers().storedValue("S105"), QStringLiteral("17"));
    modem.powerCycle();
    QCOMPARE(modem.registers().value("S105"), QStringLiteral("17"));
    QCOMPARE(modem.registers().value("S104"), factoryNetwork);
    QVERIFY(modem.receive("ATS105?\r", 5000).isEmpty()); // data mode after the power cycle
}

void RegisterBankTest::presets_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("networkType"); // S133; empty: refused
    QTest::addColumn<QString>("role");        // S101
    const struct
    {
        const char *code, *networkType, *role;
    } rows[] = {{"4", "2", "0"}, {"9", "0", "1"}, {"11", "1", "2"}, // mesh, PMP, PP
                {"6", "", ""},   {"13", "", ""},  {"07", "", ""}};
    for (const auto &r : rows)
        QTest::addRow("AT&F%s", r.code) << QByteArray(r.code) << r.networkType << r.role;
}

void RegisterBankTest::presets()
{
    QFETCH(QByteArray, code);
    QFETCH(QString, networkType);
    QFETCH(QString, role);
    ModemCore modem;
    modem.receive("+++", 0);
    modem.receive("ATS133=1\rATS101=1\rATS104=777\r", 100);
    const QVector<SimReply> replies = modem.receive("AT&F" + code + '\r', 200);
    QCOMPARE(replies.size(), 1);
    const bool accepted = !networkType.isEmpty();
    QCOMPARE(replies.at(0).bytes, "AT&F" + code + "\r\n" + (accepted ? "OK\r\n" : "ERROR\r\n"));
    QCOMPARE(modem.registers().value("S133"), accepted ? networkType : QStringLiteral("1"));
    QCOMPARE(modem.registers().value("S101"), accepted ? role : QStringLiteral("1"));
    QCOMPARE(modem.registers().value("S104") == "777", !accepted);
    for (const QString &name : modem.registers().names())
        QVERIFY2(RegisterBank::accepts(name, modem.registers().value(name)), qPrintable(name));
}

QTEST_APPLESS_MAIN(RegisterBankTest)
#include "tst_registerbank.moc"
