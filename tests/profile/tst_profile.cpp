#include "datatable.h"
#include "english.h"
#include "networkrules.h"
#include "profile.h"
#include "profilewriter.h"
#include "siteplan.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

using Values = QMap<QString, QString>;

// Radios written "A: S101=0 S105=1; B: S101=2".
QVector<NetworkRadio> radiosOf(const QString &text)
{
    QVector<NetworkRadio> radios;
    for (const QString &radio : text.split("; ")) {
        radios.append({radio.section(": ", 0, 0), {}});
        for (const QString &setting : radio.section(": ", 1).split(' ', Qt::SkipEmptyParts))
            radios.last().values.insert(setting.section('=', 0, 0), setting.section('=', 1));
    }
    return radios;
}

} // namespace

// What a profile file holds, what `read` writes, site plans and the network rules, with the
// English texts of the catalogue.
class ProfileTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installEnglish()); }

    void parseProfile_data()
    {
        table({"text", "result"}, // name=value pairs, or the problems, joined by "|"
              {{"comments, blanks, any case",
                "# a comment\n; another\n\n  s104 = 42  \nS160=a#b;c\n", "S104=42|S160=a#b;c"},
               {"quoted text, CRLF lines", "S160=\" a \\\"b\\\" \\\\ \"\r\nS108=\r\n",
                "S160= a \"b\" \\ |S108="},
               {"json after a byte-order mark, CRLF lines",
                "\xEF\xBB\xBF{\"registers\":\r\n{\"S104\": 1}}", "S104=1"},
               {"json scalars and objects",
                "{\"registers\": {\"S102\": 15, \"S104\": \"42\", \"S160\": {\"value\": \"k\", "
                "\"label\": \"x\"}}, \"identity\": {\"Serial Number\": \"1\"}, \"port\": \"p\"}",
                "S102=15|S104=42|S160=k"},
               {"every problem, in line order", "no equals sign\nS101=\"2\nS105=x\nI4=1\nS999=1\n",
                "p.ini:1: expected NAME=VALUE|p.ini:2: S101: the quote is not closed|"
                "p.ini:3: S105: \"x\" is not in 0..65535|"
                "p.ini:4: I4: read from the modem, it cannot be written|"
                "p.ini:5: unknown register S999"},
               {"choice outside its items", "S102=10\n",
                "p.ini:1: S102: \"10\" is not one of 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16"},
               {"outside the range", "\nS114=0\n", "p.ini:2: S114: \"0\" is not in 1..254"},
               {"set twice", "S105=1\ns105=2\n", "p.ini:2: S105 is set twice"},
               {"not UTF-8", "S104=1\nS160=\xE9\n", "p.ini:2: the line is not UTF-8 text"},
               {"nothing set", "# only a comment\n", "p.ini: the profile sets no register"},
               {"json syntax", "{\n \"registers\": {\n  \"S104\": 1,\n }\n}",
                "p.ini:4: object is missing after a comma"},
               {"json problems named by their lines",
                "{\n \"identity\": {},\n \"registers\": {\n  \"S104\": [1],\n  \"S777\": 2\n }\n}",
                "p.ini:4: S104: the value must be text or a number|p.ini:5: unknown register S777"},
               {"json key given twice", "{\"registers\": {\n \"S104\": 1,\n \"S104\": 2}}",
                "p.ini:3: \"S104\" is given twice"},
               {"json key misspelt", "{\"register\": {\"S104\": 1}}",
                "p.ini:1: unknown key \"register\"|p.ini: \"registers\" must be an object"}});
    }
    void parseProfile()
    {
        QFETCH(QByteArray, text);
        const QString result = cell("result");
        QStringList problems, pairs;
        const auto profile = Profile::parse("p.ini", text, &problems);
        QCOMPARE(bool(profile), problems.isEmpty());
        for (const ProfileEntry &entry : profile ? profile->entries() : QVector<ProfileEntry>())
            pairs << entry.name + "=" + entry.value;
        QCOMPARE((profile ? pairs : problems).join('|'), result);
    }

    // What `read` writes, in either format, `apply` reads back as the same settings; identity
    // fields, shown printable, are left out.
    void profileRoundTrip_data()
    {
        table({"key"}, {{"plain", "dr58key"},
                        {"blanks, quotes, backslashes, comment signs", " \"a\\b\"#x;y  "},
                        {"empty", ""}});
    }
    void profileRoundTrip()
    {
        const QString key = cell("key");
        const Values values{{"I1", "H2\nS101=0\x1b"}, {"S101", "2"}, {"S102", "15"},
                            {"S104", "1234567"},      {"S110", "0"}, {"S160", key}};
        Values expected = values;
        expected.remove("I1");
        for (const QByteArray &text : {ProfileWriter::ini("/dev/pts/9", values),
                                       ProfileWriter::json("/dev/pts/9", values)}) {
            QStringList problems;
            const auto profile = Profile::parse("read.out", text, &problems);
            QVERIFY2(profile, qPrintable(problems.join('\n') + "\n" + text));
            Values back;
            for (const ProfileEntry &entry : profile->entries())
                back.insert(entry.name, entry.value);
            QCOMPARE(back, expected);
        }
    }

    // Beyond each rule broken once (tested end to end): what is not judged, values compared by
    // number, a network without a master, TDMA on a point-to-point network.
    void networkRules_data()
    {
        table({"radios", "breaches"},
              {{"unset values not judged", "A: S101=0 S105=1; B: S105=2 S133=0; C: S104=5", ""},
               {"key judged with encryption on everywhere", "A: S159=1 S160=x; B: S159=1 S160=y",
                "shared: S160=x on A, S160=y on B"},
               {"key not judged with encryption off", "A: S159=0 S160=x; B: S159=0 S160=y", ""},
               {"numbers by value", "A: S101=0 S105=01 S104=007; B: S101=2 S105=1 S104=7",
                "unit-address: S105=1 on A and B"},
               {"no master", "A: S101=2; B: S101=1 S114=1; C: S101=2",
                "one-master: no master (S101=0): S101=2 on A and C, S101=1 on B"},
               {"TDMA point to point", "A: S101=0 S105=0 S133=1 S244=2 S221=5; B: S101=2 S105=0",
                "tdma: S133=1 on A with TDMA (S244=1 or 2), which takes S133=0 or 2\n"
                "tdma: S105=0 on B outside the master A's S105+1..S221 (1..5)"}});
    }
    void networkRules()
    {
        QStringList lines;
        for (const Breach &breach : NetworkRules::check(radiosOf(cell("radios"))))
            lines << breach.text;
        QCOMPARE(lines.join('\n'), cell("breaches"));
    }

    // A plan made from radios, written as INI and as JSON, reads back as the same radios, what
    // all share in [network]; identities are left out.
    void planRoundTrip()
    {
        const QVector<NetworkRadio> radios =
            radiosOf("SN-1: I4=SN-1 S101=0 S104=9 S160=\"q\\; SN-2: I4=SN-2 S101=2 S104=9 S160=#k");
        const SitePlan plan = SitePlan::fromRadios(radios);
        QCOMPARE(plan.network().size(), 1);
        for (const QByteArray &text : {plan.ini(), plan.json()}) {
            QStringList problems;
            const auto back = SitePlan::parse("plan", text, &problems);
            QVERIFY2(back, qPrintable(problems.join('\n') + '\n' + text));
            const QVector<NetworkRadio> read = back->networkRadios();
            QCOMPARE(read.size(), radios.size());
            for (int i = 0; i < radios.size(); ++i) {
                Values expected = radios.at(i).values;
                expected.remove("I4");
                QCOMPARE(read.at(i).name, radios.at(i).name);
                QCOMPARE(read.at(i).values, expected);
            }
        }
    }

    void iniCommentsInEnglish()
    {
        const QString text = QString::fromUtf8(
            ProfileWriter::ini("/dev/ttyUSB0", {{"I4", "5821A"}, {"S102", "15"}, {"S105", "2"}}));
        QVERIFY(text.startsWith("# DR58 profile read from /dev/ttyUSB0\n# Serial Number: 5821A\n"));
        QVERIFY(text.contains("\n# Serial Baud Rate: 460800  [0 230400, 1 115200, 2 57600, "
                              "3 38400, 4 28800, 5 19200, 6 14400, 7 9600, 8 7200, 9 4800, "
                              "15 460800, 16 921600]\nS102=15\n"));
        QVERIFY(text.contains("\n# Unit Address  [0..65535]\nS105=2\n"));
        QVERIFY(text.contains("# S104 Network Address(ID): not in the modem's listing\n"));
        QVERIFY(!text.contains("S104="));
    }

    void jsonKeepsKinds()
    {
        const QByteArray json =
            ProfileWriter::json("p", {{"S101", "1"}, {"S104", "9"}, {"I2", "3.3.7"}});
        QCOMPARE(QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact),
                 QByteArray("{\"identity\":{\"Firmware Version\":\"3.3.7\"},\"port\":\"p\","
                            "\"registers\":{\"S101\":{\"item\":\"Repeater\",\"label\":"
                            "\"Operating Mode\",\"value\":1},\"S104\":{\"label\":"
                            "\"Network Address(ID)\",\"value\":\"9\"}}}"));
    }
};

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"
