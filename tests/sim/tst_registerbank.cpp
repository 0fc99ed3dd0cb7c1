#include "modemcore.h"
#include "simtestsupport.h"

#include <QtTest>

// The modem's registers: range checks, storing, presets, and the listing as the tool reads it.
class RegisterBankTest : public QObject
{
    Q_OBJECT
private slots:
    void write_data();
    void write();
    void storeSurvivesPowerCycle();
    void presets_data();
    void presets();
    void listingParsesBack_data();
    void listingParsesBack();
};

void RegisterBankTest::write_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    const struct
    {
        const char *name;
        const char *low;
        const char *high;
        const char *belowLow; // nullptr where the low end is 0
        const char *aboveHigh;
    } ranges[] = {
        {"S101", "0", "2", nullptr, "3"},
        {"S103", "0", "4", nullptr, "5"},
        {"S104", "0", "4294967295", nullptr, "4294967296"},
        {"S105", "0", "65535", nullptr, "70000"},
        {"S108", "0", "30", nullptr, "31"},
        {"S110", "0", "1", nullptr, "2"},
        {"S113", "0", "255", nullptr, "256"},
        {"S114", "1", "254", "0", "255"},
        {"S118", "0", "65535", nullptr, "65536"},
        {"S133", "0", "2", nullptr, "3"},
        {"S140", "0", "65535", nullptr, "65536"},
        {"S141", "0", "1", nullptr, "2"},
        {"S142", "0", "2", nullptr, "3"},
        {"S143", "0", "1", nullptr, "2"},
        {"S159", "0", "1", nullptr, "2"},
        {"S220", "1", "254", "0", "255"},
        {"S221", "0", "65535", nullptr, "65536"},
        {"S244", "0", "2", nullptr, "3"},
    };
    for (const auto &r : ranges) {
        QTest::addRow("%s low end", r.name) << r.name << r.low << true;
        QTest::addRow("%s high end", r.name) << r.name << r.high << true;
        if (r.belowLow)
            QTest::addRow("%s below", r.name) << r.name << r.belowLow << false;
        QTest::addRow("%s above", r.name) << r.name << r.aboveHigh << false;
    }
    QTest::newRow("S102 last of the low run") << "S102"
                                              << "9" << true;
    QTest::newRow("S102 gap start") << "S102"
                                    << "10" << false;
    QTest::newRow("S102 gap end") << "S102"
                                  << "14" << false;
    QTest::newRow("S102 460800") << "S102"
                                 << "15" << true;
    QTest::newRow("S102 921600") << "S102"
                                 << "16" << true;
    QTest::newRow("S102 beyond") << "S102"
                                 << "17" << false;
    QTest::newRow("S160 one character") << "S160"
                                        << "k" << true;
    QTest::newRow("S160 sixteen") << "S160"
                                  << "0123456789abcdef" << true;
    QTest::newRow("S160 seventeen") << "S160"
                                    << "0123456789abcdefg" << false;
    QTest::newRow("S160 empty") << "S160"
                                << "" << false;
    QTest::newRow("S160 blank inside") << "S160"
                                       << "my key" << false;
    QTest::newRow("S160 tab inside") << "S160"
                                     << "my\tkey" << false;
    QTest::newRow("empty number") << "S105"
                                  << "" << false;
    QTest::newRow("blank choice") << "S133"
                                  << "-1" << false;
    QTest::newRow("not a number") << "S105"
                                  << "12a" << false;
    QTest::newRow("decimal point") << "S104"
                                   << "1.5" << false;
    QTest::newRow("leading blank") << "S105"
                                   << " 5" << false;
    QTest::newRow("far too long") << "S104"
                                  << "184467440737095516160" << false;
    QTest::newRow("unknown register") << "S999"
                                      << "1" << false;
    QTest::newRow("extra register") << "S150"
                                    << "63" << true;
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
    modem.receive("ATS105=17\r\rAT&W\rATS105=99\rATS104=5\r", 100);
    QCOMPARE(modem.registers().value("S105"), QStringLiteral("99"));
    QCOMPARE(modem.registers().storedValue("S105"), QStringLiteral("17"));
    const QString storedNetwork = modem.registers().storedValue("S104");
    QVERIFY(storedNetwork != "5");

    modem.powerCycle();
    QCOMPARE(modem.mode(), ModemCore::Mode::Data);
    QCOMPARE(modem.registers().value("S105"), QStringLiteral("17"));
    QCOMPARE(modem.registers().value("S104"), storedNetwork);
    QVERIFY(modem.receive("ATS105?\r", 5000).isEmpty()); // data mode after the power cycle
}

void RegisterBankTest::presets_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("networkType"); // S133; empty: refused
    QTest::addColumn<QString>("role");        // S101
    QTest::newRow("mesh master") << QByteArray("4") << "2"
                                 << "0";
    QTest::newRow("mesh slave") << QByteArray("5") << "2"
                                << "2";
    QTest::newRow("PMP master") << QByteArray("7") << "0"
                                << "0";
    QTest::newRow("PMP slave") << QByteArray("8") << "0"
                               << "2";
    QTest::newRow("PMP repeater") << QByteArray("9") << "0"
                                  << "1";
    QTest::newRow("PP master") << QByteArray("10") << "1"
                               << "0";
    QTest::newRow("PP slave") << QByteArray("11") << "1"
                              << "2";
    QTest::newRow("PP repeater") << QByteArray("12") << "1"
                                 << "1";
    for (const char *refused : {"0", "1", "2", "3", "6", "13", "", "07", "x"})
        QTest::addRow("code '%s' refused", refused) << QByteArray(refused) << ""
                                                    << "";
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

void RegisterBankTest::listingParsesBack_data()
{
    QTest::addColumn<QStringList>("writes");
    QTest::newRow("factory values") << QStringList();
    QTest::newRow("largest values")
        << QStringList{"S104=4294967295", "S105=65535", "S102=16", "S160=0123456789abcdef"};
    QTest::newRow("key that looks like entries") << QStringList{"S160=S101=9,S105"};
    QTest::newRow("key with an equals sign") << QStringList{"S160=a=b", "S221=0"};
}

void RegisterBankTest::listingParsesBack()
{
    QFETCH(QStringList, writes);
    ModemCore modem;
    modem.receive("+++", 0);
    for (const QString &write : writes)
        QCOMPARE(modem.receive("AT" + write.toLatin1() + '\r', 100).at(0).bytes.right(4),
                 QByteArray("OK\r\n"));
    const QByteArray reply = modem.receive("\rAT&V\r", 200).at(0).bytes;

    QVERIFY(reply.startsWith("AT&V\r\n"));
    QVERIFY(reply.endsWith("\r\nOK\r\n"));
    QCOMPARE(reply.indexOf("OK\r\n"), reply.size() - 4);
    const QStringList names = modem.registers().names();
    QVERIFY(names.size() > 20);
    for (const char *hidden : {"S150", "S236"})
        QVERIFY(names.contains(hidden));
    for (const QString &name : names)
        QCOMPARE(SimTest::listingValue(reply, name.toLatin1()),
                 modem.registers().value(name).toLatin1());
    for (const char *key :
         {"Hardware Version ", "Firmware Version ", "Software Version ", "Serial Number "}) {
        const QByteArray value = SimTest::identityValue(reply, key);
        QVERIFY2(!value.isEmpty() && value != "<not found>", key);
    }
    QSet<QByteArray> endings;
    for (const QString &name : names) {
        const int start = reply.indexOf('=', reply.indexOf(name.toLatin1())) + 1;
        const QByteArray after = reply.mid(start + modem.registers().value(name).size(), 2);
        endings << (after == "\r\n" ? after : after.left(1));
    }
    QCOMPARE(endings, (QSet<QByteArray>{" ", "\t", "\r\n"}));
}

QTEST_APPLESS_MAIN(RegisterBankTest)
#include "tst_registerbank.moc"
