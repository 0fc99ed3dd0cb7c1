#include "applyrun.h"
#include "atsession.h"
#include "configjobs.h"
#include "console.h"
#include "datatable.h"
#include "english.h"
#include "exitcode.h"
#include "jobchain.h"
#include "modemreader.h"
#include "openline.h"
#include "portholders.h"
#include "portjobs.h"
#include "profile.h"
#include "profilediff.h"
#include "progresstext.h"
#include "runprinter.h"
#include "serialline.h"
#include "simmodem.h"

#include <QtTest>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

using Values = QMap<QString, QString>;

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

} // namespace

// The pieces of dr58ctl free of the executable: what differs, how a run ends and how it is
// shown; and an apply against a simulated modem that fails after it was read.
class LogicTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installEnglish()); }

    void differences()
    {
        QStringList problems;
        const auto profile = Profile::parse(
            "p.ini", "S160=newkey\nS105=0007\nS104=77\nS101=0\nS118=5\nS102=15\nS108=07\n",
            &problems);
        QVERIFY2(profile, qPrintable(problems.join('\n')));
        const Values modem{{"S101", "2"}, {"S104", "77"}, {"S105", "7"},
                           {"S108", "7"}, {"S141", "2"},  {"S160", "dr58key"}};
        QStringList found;
        for (const Difference &d : ProfileDiff::differences(*profile, modem))
            found << d.name() + ":" + d.current.value_or("none") + "->" + d.wanted;
        // In register order; a value the modem did not give differs, equal numbers written
        // differently do not, equal free texts written differently do.
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
