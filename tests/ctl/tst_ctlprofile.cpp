#include "catalogue.h"
#include "profile.h"
#include "profilewriter.h"
#include "registercatalog.h"
#include "valuecheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTranslator>
#include <QtTest>

using Values = QMap<QString, QString>;

namespace {

// name=value pairs of a parsed profile, in file order.
QStringList pairs(const Profile &profile)
{
    QStringList result;
    for (const ProfileEntry &entry : profile.entries())
        result << entry.name + "=" + entry.value;
    return result;
}

} // namespace

// Profiles as files: the two formats, the checks against the catalogue, and what `read` writes
// coming back unchanged.
class ProfileTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void acceptedIni_data();
    void acceptedIni();
    void refused_data();
    void refused();
    void valueCheck_data();
    void valueCheck();
    void sameValue_data();
    void sameValue();
    void roundTrip_data();
    void roundTrip();
    void iniCommentsInEnglish();
    void jsonKeepsKinds();

private:
    QTranslator m_english;
};

void ProfileTest::initTestCase()
{
    initCatalogue();
    QVERIFY(m_english.load(":/tran/en_tr.qm"));
    QCoreApplication::installTranslator(&m_english);
}

void ProfileTest::acceptedIni_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("comments and blanks")
        << QByteArray("# a comment\n; another\n\n  S104 = 42  \nS101=2\n")
        << QStringList{"S104=42", "S101=2"};
    QTest::newRow("json after a byte-order mark, CRLF lines")
        << QByteArray("\xEF\xBB\xBF{\"registers\":\r\n{\"S104\": 1}}") << QStringList{"S104=1"};
    QTest::newRow("any case, CRLF lines")
        << QByteArray("s105=7\r\nS160=key\r\n") << QStringList{"S105=7", "S160=key"};
    QTest::newRow("quoted text") << QByteArray("S160=\" a \\\"b\\\" \\\\ \"\n")
                                 << QStringList{"S160= a \"b\" \\ "};
    QTest::newRow("empty free text") << QByteArray("S108=\n") << QStringList{"S108="};
    QTest::newRow("comment sign inside a value")
        << QByteArray("S160=a#b;c\n") << QStringList{"S160=a#b;c"};
    QTest::newRow("json scalars and objects")
        << QByteArray("{\"registers\": {\"S102\": 15, \"S104\": \"42\", "
                      "\"S160\": {\"value\": \"k\", \"label\": \"x\"}},"
                      " \"identity\": {\"Serial Number\": \"1\"}, \"port\": \"p\"}")
        << QStringList{"S102=15", "S104=42", "S160=k"};
}

void ProfileTest::acceptedIni()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QStringList problems;
    const auto profile = Profile::parse("p.ini", text, &problems);
    QVERIFY2(profile, qPrintable(problems.join('\n')));
    QCOMPARE(pairs(*profile), expected);
}

void ProfileTest::refused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unknown register")
        << QByteArray("S104=1\nS999=1\n") << QStringList{"p.ini:2: unknown register S999"};
    QTest::newRow("choice outside its items")
        << QByteArray("S102=10\n")
        << QStringList{"p.ini:1: S102: \"10\" is not one of "
                       "0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16"};
    QTest::newRow("outside the range")
        << QByteArray("\nS114=0\n") << QStringList{"p.ini:2: S114: \"0\" is not in 1..254"};
    QTest::newRow("identity field") << QByteArray("I4=123\n")
                                    << QStringList{"p.ini:1: I4: read from the modem, it cannot "
                                                   "be written"};
    QTest::newRow("set twice") << QByteArray("S105=1\ns105=2\n")
                               << QStringList{"p.ini:2: S105 is set twice"};
    QTest::newRow("every problem, in line order")
        << QByteArray("no equals sign\nS101=\"2\nS105=x\n")
        << QStringList{"p.ini:1: expected NAME=VALUE", "p.ini:2: S101: the quote is not closed",
                       "p.ini:3: S105: \"x\" is not in 0..65535"};
    QTest::newRow("not UTF-8") << QByteArray("S104=1\nS160=\xE9\n")
                               << QStringList{"p.ini:2: the line is not UTF-8 text"};
    QTest::newRow("nothing set") << QByteArray("# only a comment\n")
                                 << QStringList{"p.ini: the profile sets no register"};
    QTest::newRow("json syntax") << QByteArray("{\n \"registers\": {\n  \"S104\": 1,\n }\n}")
                                 << QStringList{"p.ini:4: object is missing after a comma"};
    QTest::newRow("json unknown register named by its line")
        << QByteArray(
               "{\n \"identity\": {},\n \"registers\": {\n  \"S104\": 1,\n  \"S777\": 2\n }\n}")
        << QStringList{"p.ini:5: unknown register S777"};
    QTest::newRow("json key given twice")
        << QByteArray("{\"registers\": {\n \"S104\": 1,\n \"S104\": 2}}")
        << QStringList{"p.ini:3: \"S104\" is given twice"};
    QTest::newRow("json value of the wrong kind")
        << QByteArray("{\"registers\": {\"S104\": [1]}}")
        << QStringList{"p.ini:1: S104: the value must be text or a number"};
    QTest::newRow("json key misspelt") << QByteArray("{\"register\": {\"S104\": 1}}")
                                       << QStringList{"p.ini:1: unknown key \"register\"",
                                                      "p.ini: \"registers\" must be an object"};
}

void ProfileTest::refused()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, expected);
    QStringList problems;
    QVERIFY(!Profile::parse("p.ini", text, &problems));
    QCOMPARE(problems, expected);
}

void ProfileTest::valueCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    const struct
    {
        const char *row, *name, *value;
        bool accepted;
    } rows[] = {
        {"S102 fastest rate", "S102", "16", true},
        {"S102 gap", "S102", "12", false},
        {"S110 blank item", "S110", "0", true},
        {"S141 beyond its items", "S141", "2", false},
        {"choice as a sign", "S133", "-1", false},
        {"S104 top", "S104", "4294967295", true},
        {"S104 beyond the top", "S104", "4294967296", false},
        {"S221 above its tooltip's range", "S221", "70000", true},
        {"decimal point", "S104", "1.5", false},
        {"S105 top", "S105", "65535", true},
        {"S220 bottom", "S220", "1", true},
        {"empty number", "S114", "", false},
        {"huge number", "S113", "99999999999999999999999", false},
        {"free text with blanks", "S160", "my key", true},
        {"free text, Latin-1", "S160", "clé", true},
        {"free text beyond Latin-1", "S160", "ключ", false},
        {"carriage return would end the command", "S108", "3\r0", false},
        {"C1 control character", "S160", "a\xc2\x9b", false},
        {"command signs", "S160", "a=b?", false},
        {"blank where the listing is the only reading", "S108", "3 0", false},
        {"the end of an answer", "S160", "OK", false},
        {"a register's name", "S160", "xS244", false},
    };
    for (const auto &r : rows)
        QTest::newRow(r.row) << r.name << QString::fromUtf8(r.value) << r.accepted;
}

void ProfileTest::valueCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    const QString problem = ValueCheck::problem(*RegisterCatalog::find(name), value);
    QVERIFY2(problem.isEmpty() == accepted, qPrintable(problem));
}

void ProfileTest::sameValue_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    const struct
    {
        const char *row, *name, *a, *b;
        bool same;
    } rows[] = {
        {"leading zeros of a number", "S105", "007", "7", true},
        {"leading zeros of a choice", "S101", "02", "2", true},
        {"different numbers", "S104", "42", "43", false},
        {"free text is exact", "S160", "007", "7", false},
        {"text in a number register", "S105", "x", "x", true},
    };
    for (const auto &r : rows)
        QTest::newRow(r.row) << r.name << r.a << r.b << r.same;
}

void ProfileTest::sameValue()
{
    QFETCH(QString, name);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(ValueCheck::same(*RegisterCatalog::find(name), a, b), same);
}

void ProfileTest::roundTrip_data()
{
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("key");
    for (const bool json : {false, true}) {
        const char *format = json ? "json" : "ini";
        QTest::addRow("%s plain", format) << json << "dr58key";
        QTest::addRow("%s blanks around", format) << json << "  two  blanks ";
        QTest::addRow("%s quotes and backslashes", format) << json << "\"a\\b\"";
        QTest::addRow("%s comment signs", format) << json << "#x;y";
        QTest::addRow("%s empty", format) << json << "";
    }
}

// What `read` writes, `apply` reads back as the same settings; identity fields, shown
// printable, are left out.
void ProfileTest::roundTrip()
{
    QFETCH(bool, json);
    QFETCH(QString, key);
    const Values values{{"I1", "H2\nS101=0\x1b"}, {"S101", "2"}, {"S102", "15"},
                        {"S104", "1234567"},      {"S110", "0"}, {"S160", key}};
    const QByteArray text =
        json ? ProfileWriter::json("/dev/pts/9", values) : ProfileWriter::ini("/dev/pts/9", values);
    QStringList problems;
    const auto profile = Profile::parse("read.out", text, &problems);
    QVERIFY2(profile, qPrintable(problems.join('\n') + "\n" + text));
    Values back;
    for (const ProfileEntry &entry : profile->entries())
        back.insert(entry.name, entry.value);
    Values expected = values;
    expected.remove("I1");
    QCOMPARE(back, expected);
}

void ProfileTest::iniCommentsInEnglish()
{
    const QString text = QString::fromUtf8(
        ProfileWriter::ini("/dev/ttyUSB0", {{"I4", "5821A"}, {"S102", "15"}, {"S105", "2"}}));
    QVERIFY(text.startsWith("# DR58 profile read from /dev/ttyUSB0\n# Serial Number: 5821A\n"));
    QVERIFY(text.contains("\n# Serial Baud Rate: 460800  [0 230400, 1 115200, 2 57600, 3 38400, "
                          "4 28800, 5 19200, 6 14400, 7 9600, 8 7200, 9 4800, 15 460800, "
                          "16 921600]\nS102=15\n"));
    QVERIFY(text.contains("\n# Unit Address  [0..65535]\nS105=2\n"));
    QVERIFY(text.contains("# S104 Network Address(ID): not in the modem's listing\n"));
    QVERIFY(!text.contains("S104="));
}

void ProfileTest::jsonKeepsKinds()
{
    const QJsonObject root =
        QJsonDocument::fromJson(
            ProfileWriter::json("p", {{"S101", "1"}, {"S104", "9"}, {"I2", "3.3.7"}}))
            .object();
    const QJsonObject registers = root.value("registers").toObject();
    const QJsonObject s101 = registers.value("S101").toObject();
    const QJsonObject s104 = registers.value("S104").toObject();
    QCOMPARE(s101.value("value").toInt(-1), 1);
    QCOMPARE(s101.value("item").toString(), QString("Repeater"));
    QCOMPARE(s104.value("value").toString(), QString("9"));
    QCOMPARE(s104.value("label").toString(), QString("Network Address(ID)"));
    QCOMPARE(root.value("identity").toObject().value("Firmware Version").toString(),
             QString("3.3.7"));
    QVERIFY(!registers.contains("I2"));
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_ctlprofile.moc"
