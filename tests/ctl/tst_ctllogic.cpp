#include "applyrun.h"
#include "atsession.h"
#include "catalogue.h"
#include "configjobs.h"
#include "console.h"
#include "exitcode.h"
#include "jobchain.h"
#include "modemreader.h"
#include "networkrules.h"
#include "openline.h"
#include "portholders.h"
#include "portjobs.h"
#include "profile.h"
#include "profilediff.h"
#include "profilewriter.h"
#include "progresstext.h"
#include "registervalues.h"
#include "runprinter.h"
#include "serialline.h"
#include "simmodem.h"
#include "siteplan.h"
#include "valuecheck.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTranslator>
#include <QtTest>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

using Values = QMap<QString, QString>;

// Identity lines, then "<name> <label>=<value>" entries ended by a blank, a tab or a line end.
const QByteArray Listing = "AT&V\r\nHardware Version DR58-H2.1\r\n\r\n"
                           "S101 Operating mode=02\tS102 Serial baud=10\tS104 Network ID=77 "
                           "S141 Repeaters=2\r\nS110 Serial format=x\r\nS160 Key=dr58key\r\nOK\r\n";

// A table of byte-string columns; the first entry of each row names it.
void table(std::initializer_list<const char *> columns,
           std::initializer_list<std::initializer_list<const char *>> rows)
{
    for (const char *column : columns)
        QTest::addColumn<QByteArray>(column);
    for (const auto &row : rows) {
        auto data = &QTest::newRow(*row.begin());
        for (auto it = row.begin() + 1; it != row.end(); ++it)
            *data << QByteArray(*it);
    }
}

// The current row's entry in a byte-string column, as UTF-8 text.
QString cell(const char *column)
{
    return QString::fromUtf8(
        *static_cast<QByteArray *>(QTest::qData(column, qMetaTypeId<QByteArray>())));
}

QString shown(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("?");
}

PortResult port(int code, const QString &name = "p",
                JobResult::Result result = JobResult::Result::Applied, const QString &detail = "")
{
    JobResult job = JobResult::failure(code, detail);
    job.result = result;
    return {name, job};
}

// A line open at 9600 baud to the modem, started; none (the problem logged) when it cannot be.
std::unique_ptr<ModemLine> lineTo(SimModem &modem)
{
    QString error;
    if (!modem.start(&error))
        qWarning() << error;
    return openLine(PortAddress(modem.portName()), 9600).line;
}

// A job that counts its runs and gives `result`.
PortJob counted(int &runs, const JobResult &result)
{
    return [&runs, result](const PortContext &, ModemLine &) {
        ++runs;
        return result;
    };
}

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

// The pieces of dr58ctl free of the executable: what a reply says, what a profile file holds
// and what `read` writes, what differs, how a run ends and how it is shown; and an apply against
// a simulated modem that fails after it was read.
class LogicTest : public QObject
{
    Q_OBJECT
    QTranslator m_english;

private slots:
    void initTestCase()
    {
        initCatalogue();
        QVERIFY(m_english.load(":/tran/en_tr.qm"));
        QCoreApplication::installTranslator(&m_english);
    }

    void listingValues_data()
    {
        table({"name", "value"}, // value "-" when absent, "?" when unreadable
              {{"choice, as its wire value", "S101", "2"},
               {"S102 in the gap of its values", "S102", "?"},
               {"choice beyond its items", "S141", "?"},
               {"choice that is no number", "S110", "?"},
               {"free text", "S160", "dr58key"},
               {"identity", "I1", "DR58-H2.1"},
               {"identity missing", "I2", "-"},
               {"register missing", "S105", "?"}});
    }
    void listingValues()
    {
        const QString name = cell("name");
        const QString value = cell("value");
        const auto values = RegisterValues::fromListing(Listing);
        QCOMPARE(values.contains(name) ? shown(values.value(name)) : QStringLiteral("-"), value);
        // Without its echo the reply is no listing: no register in it is read.
        QVERIFY(name.startsWith('I') || !RegisterValues::fromListing(Listing.mid(6)).value(name));
    }

    void singleAnswer_data()
    {
        table({"reply", "answer"}, // "<name>=<value>", "?" when unreadable; empty: none
              {{"text", "ATS160?\r\nsecret\r\nOK\r\n", "S160=secret"},
               {"no value line", "ATS244?\r\nOK\r\n", "S244=?"},
               {"value not followed by OK", "ATS160?\r\nkey\r\nERR OK\r\n", "S160=?"},
               {"beyond the items", "ATS244?\r\n3\r\nOK\r\n", "S244=?"},
               {"unknown register", "ATS150?\r\n12\r\nOK\r\n", ""},
               {"identity is never queried", "ATI1?\r\nx\r\nOK\r\n", ""}});
    }
    void singleAnswer()
    {
        QFETCH(QByteArray, reply);
        const QString answer = cell("answer");
        const auto read = RegisterValues::fromSingleAnswer(reply);
        QCOMPARE(read ? read->name + "=" + shown(read->value) : QString(), answer);
    }

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

    void valueCheck_data()
    {
        table({"name", "value", "accepted"},
              {{"S102 fastest rate", "S102", "16", "1"},
               {"S102 gap", "S102", "12", ""},
               {"choice as a sign", "S133", "-1", ""},
               {"S104 top", "S104", "4294967295", "1"},
               {"S104 beyond the top", "S104", "4294967296", ""},
               {"huge number", "S113", "99999999999999999999999", ""},
               {"S221 above its tooltip's range", "S221", "70000", "1"},
               {"decimal point", "S104", "1.5", ""},
               {"free text with blanks, Latin-1", "S160", "my clé", "1"},
               {"free text beyond Latin-1", "S160", "ключ", ""},
               {"carriage return would end the command", "S108", "3\r0", ""},
               {"C1 control character", "S160", "a\xc2\x9b", ""},
               {"command signs", "S160", "a=b?", ""},
               {"blank where the listing is the only reading", "S108", "3 0", ""},
               {"the end of an answer", "S160", "OK", ""},
               {"a register's name", "S160", "xS244", ""}});
    }
    void valueCheck()
    {
        const QString name = cell("name");
        const QString value = cell("value");
        QFETCH(QByteArray, accepted);
        const QString problem = ValueCheck::problem(*RegisterCatalog::find(name), value);
        QVERIFY2(problem.isEmpty() == !accepted.isEmpty(), qPrintable(problem));
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

    void differences()
    {
        QStringList problems;
        const auto profile = Profile::parse(
            "p.ini", "S160=newkey\nS105=0007\nS104=77\nS101=0\nS118=5\nS102=15\nS108=07\n",
            &problems);
        QVERIFY2(profile, qPrintable(problems.join('\n')));
        Values modem{{"S105", "7"}, {"S108", "7"}};
        const auto read = RegisterValues::fromListing(Listing);
        for (auto it = read.begin(); it != read.end(); ++it) {
            if (it.value())
                modem.insert(it.key(), *it.value());
        }
        QStringList found;
        for (const Difference &d : ProfileDiff::differences(*profile, modem))
            found << d.name() + ":" + d.current.value_or("none") + "->" + d.wanted;
        // In register order; an unreadable value differs, equal numbers written differently
        // do not, equal free texts written differently do.
        QCOMPARE(found, QStringList({"S101:2->0", "S102:none->15", "S108:7->07", "S118:none->5",
                                     "S160:dr58key->newkey"}));
    }

    void describeDifference_data()
    {
        table(
            {"name", "current", "wanted", "text"}, // current "-": not reported
            {{"choice", "S102", "7", "15",
              "S102 Serial Baud Rate: modem 7 (9600), profile 15 (460800)"},
             {"blank item", "S110", "1", "0",
              "S110 Serial Data Format: modem 1 (8N1), profile 0 (blank)"},
             {"no such item", "S141", "2", "1",
              "S141 Repeaters Y/N: modem 2 (no such item), profile 1 (YES)"},
             {"free text", "S160", "-", "", "S160 Encryption Key: modem unreadable, profile \"\""},
             {"label without its trailing blank", "S143", "0", "1",
              "S143 Repeater Index Use GPIO: modem 0 (OFF), profile 1 (ON)"}});
    }
    void describeDifference()
    {
        const QString name = cell("name");
        const QString wanted = cell("wanted");
        const QString text = cell("text");
        const QString current = cell("current");
        const Difference difference{RegisterCatalog::find(name), wanted,
                                    current == "-" ? std::nullopt
                                                   : std::optional<QString>(current)};
        QCOMPARE(ProfileDiff::describe(difference), text);
    }

    // The first failure in port order, a failure before a difference.
    void exitCodeOfSeveralPorts()
    {
        const auto exitCode = [](std::initializer_list<int> codes) {
            QVector<PortResult> results;
            for (int code : codes)
                results << port(code);
            return PortJobs::exitCode(results);
        };
        QCOMPARE(exitCode({0, ExitCode::Different, 0}), ExitCode::Different);
        QCOMPARE(exitCode({0, ExitCode::NoAnswer, ExitCode::Refused}), ExitCode::NoAnswer);
        QCOMPARE(exitCode({ExitCode::Different, ExitCode::PortMissing}), ExitCode::PortMissing);
    }

    void summaryTableAligns()
    {
        QCOMPARE(RunPrinter::summaryTable(
                     {port(0, "/dev/ttyUSB0", JobResult::Result::Applied,
                           "3 written and read back, stored"),
                      port(ExitCode::Refused, "/dev/pts/12", JobResult::Result::Failed,
                           "S108 Output Power: the modem refused")}),
                 QString("port          result   detail\n"
                         "/dev/ttyUSB0  applied  3 written and read back, stored\n"
                         "/dev/pts/12   failed   S108 Output Power: the modem refused\n"));
    }

    // The words of the summary and the report; "different" is no failure, a refusal is.
    void resultWords()
    {
        using R = JobResult::Result;
        const std::pair<R, const char *> words[] = {{R::Read, "read"},
                                                    {R::Equal, "equal"},
                                                    {R::Different, "different"},
                                                    {R::Applied, "applied"},
                                                    {R::Planned, "planned"},
                                                    {R::Reset, "reset"},
                                                    {R::Probed, "probed"},
                                                    {R::BackedUp, "backed up"},
                                                    {R::Upgraded, "upgraded"},
                                                    {R::Refused, "refused"},
                                                    {R::Vanished, "vanished"},
                                                    {R::Failed, "failed"},
                                                    {R::Interrupted, "interrupted"}};
        for (const auto &[result, word] : words)
            QCOMPARE(JobResult::wordOf(result), QString(word));
        QVERIFY(!JobResult::different("differs in S104", "").isFailure());
        QVERIFY(JobResult::refused(ExitCode::NotInPlan, "not in the plan").isFailure());
        QCOMPARE(JobResult::interrupted(130, "interrupted").code, 130);
    }

    // A chain runs its second job only after the first succeeded; a retry ends when its
    // condition, its bound or the stop says so.
    void jobChains()
    {
        SimModem modem;
        const std::unique_ptr<ModemLine> line = lineTo(modem);
        QVERIFY(line);
        Stop stop;
        const PortContext context{"p", "p: ", false, stop};
        int runs = 0;
        JobResult upgraded = JobResult::done(JobResult::Result::Upgraded, "9 kB/s", "p: up\n");
        upgraded.firmwareSha256 = "ab";
        const PortJob applied =
            counted(runs, JobResult::done(JobResult::Result::Applied, "1 written", "p: on\n"));
        const JobResult both = JobChain::then(counted(runs, upgraded), applied)(context, *line);
        QCOMPARE(both.word() + "; " + both.detail + "; " + both.output + both.firmwareSha256,
                 QString("applied; upgraded: 9 kB/s; 1 written; p: up\np: on\nab"));
        const JobResult silent = JobResult::failure(ExitCode::NoAnswer, "silent");
        QCOMPARE(JobChain::then(counted(runs, silent), applied)(context, *line).detail,
                 QString("silent"));
        QCOMPARE(runs, 3);
        const auto retries = [&](int boundMs) {
            runs = 0;
            const auto again = [&runs](const JobResult &) { return runs < 3; };
            JobChain::retried(counted(runs, silent), again, boundMs)(context, *line);
            return runs;
        };
        QCOMPARE(retries(60000), 3);
        QCOMPARE(retries(0), 1);
        stop.request(130);
        QCOMPARE(retries(60000), 1);
    }

    // A stop requested while a job runs, without a signal: nothing more is written, the modem
    // is returned to data mode and the job reports what it did with the stop's code.
    void stopWithoutSignal()
    {
        SimModem modem;
        const std::unique_ptr<ModemLine> line = lineTo(modem);
        QVERIFY(line);
        QStringList problems;
        const auto profile = Profile::parse("p.ini", "S104=5\n", &problems);
        QVERIFY2(profile, qPrintable(problems.join('\n')));
        Stop stop;
        const auto choose = [&](const Reading &) {
            stop.request(143);
            return ConfigJobs::Choice{profile, {}, {}};
        };
        const JobResult result =
            ConfigJobs::apply(choose, false, true)({"p", "", false, stop}, *line);
        QCOMPARE(QString::number(result.code) + " " + result.word() + ": " + result.detail,
                 QString("143 interrupted: interrupted; nothing written"));
        QVERIFY(!modem.received().contains("ATS104="));
        QVERIFY(modem.received().endsWith("\rATA\r"));
    }

    void holderAdvice()
    {
        QVERIFY(PortHolders::advice("/dev/ttyUSB0", PortHolders::UsbIds{"0403", "6001"})
                    .contains("udev rule 'ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
                              "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' into"));
    }

    // A file name part for every spelling of a port.
    void portFileNames()
    {
        using Names = std::array<const char *, 2>; // port, file name part
        for (const Names &names :
             {Names{"/dev/pts/3", "pts-3"}, Names{"ttyUSB0", "ttyUSB0"},
              Names{"/dev/./ttyUSB0", ".-ttyUSB0"}, Names{"/tmp/dr58", "-tmp-dr58"}})
            QCOMPARE(ConfigJobs::portFileName(names[0]), QString(names[1]));
    }

    void progressTexts()
    {
        QCOMPARE(ProgressText::bar(241, 500, 10), QString("[####------]  48% 241/500 bytes"));
        QCOMPARE(ProgressText::bar(0, 0, 10), QString("[##########] 100% 0/0 bytes"));
        QCOMPARE(ProgressText::throughput(4820, 5200),
                 QString("4820 bytes in 5.2 s (926 bytes/s)"));
        QCOMPARE(ProgressText::throughput(0, 0), QString("0 bytes in 0.0 s (0 bytes/s)"));
    }

    void printableText()
    {
        QCOMPARE(Console::printable(QString::fromUtf8("a\x1b[2J\tb\n\xc2\x9b\xc3\xa9")),
                 QString::fromUtf8("a\\x1b[2J\\x09b\\x0a\\x9b\xc3\xa9"));
    }

    void applyStopsAtFirstFailure_data()
    {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<SimModem::Fault>("faultAfterReading");
        QTest::addColumn<QString>("outcome");
        // The modem keeps the output power as a number, so "07" comes back as "7".
        QTest::newRow("read back different")
            << QByteArray("S108=07\n") << SimModem::Fault::None
            << "8: S108 Output Power: wrote \"07\", read back \"7\"; "
               "written: none; failed: S108; not written: none";
        QTest::newRow("no answer")
            << QByteArray("S104=5\nS105=9\n") << SimModem::Fault::Silent
            << "7: S104 Network Address(ID): no answer to the write of 5 (the modem may or may "
               "not have taken it); written: none; failed: S104; not written: S105";
        QTest::newRow("store not confirmed")
            << QByteArray("S104=1234567\n") << SimModem::Fault::Silent
            << "7: the modem did not confirm the store (AT&W); written: none";
    }
    void applyStopsAtFirstFailure()
    {
        QFETCH(QByteArray, profile);
        QFETCH(SimModem::Fault, faultAfterReading);
        QFETCH(QString, outcome);
        SimModem modem;
        QString error;
        QVERIFY2(modem.start(&error), qPrintable(error));
        SerialLine line;
        QVERIFY(line.open(modem.portName(), 9600));
        AtSession session(line);
        QVERIFY(session.enter());
        const auto reading = ModemReader::read(session);
        QVERIFY(reading);
        QStringList problems;
        const auto wanted = Profile::parse("p.ini", profile, &problems);
        QVERIFY2(wanted, qPrintable(problems.join('\n')));
        const auto plan = ProfileDiff::differences(*wanted, reading->values);
        modem.setFault(faultAfterReading);
        modem.clearReceived();
        const ApplyOutcome applied = ApplyRun::apply(session, plan, true, Stop());
        QCOMPARE(QString::number(applied.code) + ": " + applied.failure + "; " +
                     ApplyRun::groups(applied),
                 outcome);
        QVERIFY(!applied.stored);
        // The store is tried only when every register went in.
        QCOMPARE(modem.received().contains("AT&W"), applied.failedRegister.isEmpty());
        for (const Difference &difference : plan)
            QVERIFY(modem.storedValue(difference.name()) != difference.wanted);
    }
};

QTEST_GUILESS_MAIN(LogicTest)
#include "tst_ctllogic.moc"
