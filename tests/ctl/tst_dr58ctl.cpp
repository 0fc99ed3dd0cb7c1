#include "fullfs.h"
#include "registercatalog.h"
#include "ser2net.h"
#include "simmodem.h"
#include "transcript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>
#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

Q_DECLARE_METATYPE(SimModem::Fault)

namespace {

const QByteArray ReadCommands = "+++\rAT&V\rATS160?\rATS244?\rATS221?\rATS220?\rATS143?\r";
const QByteArray DataMode = "\rATA\r";

struct Run
{
    int code;
    QString out;
    QString err;
};

// Firmware bytes that never spell an AT string.
QByteArray firmware(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 31 + 7);
    return bytes;
}

// A server on 127.0.0.1 that sends zeros without pause to the first client, until it goes.
class FloodServer
{
public:
    FloodServer()
    {
        if (::listen(m_listener.socket(), 1) != 0)
            qFatal("flood server: %s", strerror(errno));
        m_thread = std::thread([this] {
            const int peer = ::accept(m_listener.socket(), nullptr, nullptr);
            const QByteArray zeros(65536, '\0');
            while (peer >= 0 && ::send(peer, zeros.constData(), zeros.size(), MSG_NOSIGNAL) > 0) {
            }
            if (peer >= 0)
                ::close(peer);
        });
    }
    ~FloodServer()
    {
        ::shutdown(m_listener.socket(), SHUT_RDWR); // ends an accept still waiting
        m_thread.join();
    }
    int port() const { return m_listener.port(); }

private:
    LoopbackPort m_listener;
    std::thread m_thread;
};

using Registers = QMap<QString, QPair<QString, QString>>; // name: working, stored

Registers snapshot(const SimModem &modem)
{
    Registers registers;
    for (const RegisterInfo &reg : RegisterCatalog::registers()) {
        if (reg.kind != FieldKind::Info)
            registers.insert(reg.name,
                             {modem.registerValue(reg.name), modem.storedValue(reg.name)});
    }
    return registers;
}

} // namespace

// dr58ctl as a script sees it: the real executable against simulated modems, several at once.
class CtlTest : public QObject
{
    Q_OBJECT
    std::vector<std::unique_ptr<SimModem>> m_modems;
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_process;

    QString port(int i) { return modem(i).portName(); }
    SimModem &modem(int i)
    {
        while (int(m_modems.size()) <= i) {
            m_modems.push_back(std::make_unique<SimModem>());
            QString error;
            if (!m_modems.back()->start(&error))
                qFatal("simulated modem: %s", qPrintable(error));
        }
        return *m_modems.at(size_t(i));
    }

    QStringList ports(int count)
    {
        QStringList arguments;
        for (int i = 0; i < count; ++i)
            arguments << "--port" << port(i);
        return arguments;
    }

    // Radios of one network: modem i reports serial[i] and has the settings of line i
    // ("S101=0 S105=1"), with the network's on every one.
    void network(const QStringList &serials, const QStringList &settings,
                 const QString &shared = {})
    {
        for (int i = 0; i < serials.size(); ++i) {
            modem(i).setIdentity(SimModem::Identity::SerialNumber, serials.at(i));
            for (const QString &setting :
                 QString(shared + ' ' + settings.at(i)).split(' ', Qt::SkipEmptyParts))
                modem(i).setRegisterValue(setting.section('=', 0, 0), setting.section('=', 1));
            modem(i).clearReceived();
        }
    }

    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = m_dir->filePath(name);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString fifo(const QString &name)
    {
        const QString path = m_dir->filePath(name);
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
            qFatal("cannot make the FIFO %s", qPrintable(path));
        return path;
    }

    static bool isFifo(const QString &path)
    {
        struct stat status = {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
               S_ISFIFO(status.st_mode);
    }

    void start(const QStringList &arguments)
    {
        m_process.start(DR58CTL_PATH, arguments);
        QVERIFY(m_process.waitForStarted());
    }

    Run finish()
    {
        if (!m_process.waitForFinished(60000))
            qFatal("dr58ctl did not finish");
        return {m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1,
                QString::fromUtf8(m_process.readAllStandardOutput()),
                QString::fromUtf8(m_process.readAllStandardError())};
    }

    Run run(const QStringList &arguments)
    {
        start(arguments);
        return finish();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        m_process.setStandardOutputFile({});
        m_process.setWorkingDirectory({});
        m_modems.clear();
        m_dir.reset();
    }

    void helpDocumentsExitCodes()
    {
        const Run help = run({"apply", "--help"});
        QCOMPARE(help.code, 0);
        QVERIFY2(help.out.startsWith("Usage: dr58ctl apply [options]"), qPrintable(help.out));
        QVERIFY2(help.out.contains("  3  bad profile"), qPrintable(help.out));
        QVERIFY2(help.out.contains("  11 a profile, plan, report, transcript or standard output"),
                 qPrintable(help.out));
    }

    void refusedBeforeSending_data()
    {
        QTest::addColumn<QStringList>(
            "arguments"); // {port}: a simulated modem, {bare}: its short name
        QTest::addColumn<QByteArray>("content"); // of {file}; null: none; "@": a folder; "|": FIFO
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QByteArray none;
        QTest::newRow("bad baud") << QStringList{"read", "--port", "{port}", "--baud", "fast"}
                                  << none << 2
                                  << "--baud: \"fast\" is not a whole number from 50 to 4000000, "
                                     "nor \"auto\"";
        QTest::newRow("port twice") << QStringList{"read", "--port", "{port}", "--port", "{bare}"}
                                    << none << 2 << "\"{port}\" and \"{bare}\" are the same port";
        QTest::newRow("server port twice")
            << QStringList{"read", "--port", "tcp://127.0.0.1:4001", "--port",
                           "tcp://localhost:4001"}
            << none << 2
            << "\"tcp://127.0.0.1:4001\" and \"tcp://localhost:4001\" are the same port";
        QTest::newRow("station folder a file")
            << QStringList{"watch", "{file}", "--dir", "{file}"} << QByteArray("S104=5\n") << 2
            << "--dir: \"{file}\" is not a folder";
        QTest::newRow("unknown preset")
            << QStringList{"reset", "--preset", "PMP King", "--port", "{port}"} << none << 2
            << "unknown preset \"PMP King\"";
        QTest::newRow("output without %p for several ports")
            << QStringList{"read", "--port", "{port}", "--port", "/dev/null", "--output", "x.ini"}
            << none << 2 << "--output needs %p when several ports are given";
        QTest::newRow("port missing") << QStringList{"read", "--port", "{file}"} << none << 4
                                      << "{file}: no such serial port";
        static const LoopbackPort closed;
        const QString refused = QString("rfc2217://127.0.0.1:%1").arg(closed.port());
        QTest::newRow("nobody listening")
            << QStringList{"read", "--port", refused} << none << 6
            << refused + ": cannot connect: connection refused (is the server running, on that "
                         "port?)";
        QTest::newRow("server port without a number")
            << QStringList{"read", "--port", "rfc2217://127.0.0.1"} << none << 2
            << "\"rfc2217://127.0.0.1\" is not SCHEME://HOST:PORT";
        QTest::newRow("rate for a raw TCP port")
            << QStringList{"read", "--port", "tcp://127.0.0.1:1", "--baud", "9600"} << none << 2
            << "--baud is meaningless for \"tcp://127.0.0.1:1\": a tcp:// port has the rate its "
               "server is set to";
        const QStringList apply{"apply", "{file}", "--port", "{port}"};
        QTest::newRow("profile with an unknown register")
            << apply << QByteArray("S104=1\nS1O5=2\n") << 3 << "{file}:2: unknown register S1O5";
        QTest::newRow("profile too large")
            << apply << QByteArray(70000, '#') << 3
            << "{file}: larger than 65536 bytes, too large for a profile";
        QTest::newRow("profile not a regular file")
            << apply << QByteArray("@") << 3 << "{file}: not a regular file";
        QTest::newRow("plan breaking a rule")
            << apply << QByteArray("[radio SN-A]\nS101=0\n[radio SN-B]\nS101=0\n") << 3
            << "{file}: the plan breaks a network rule: one-master: S101=0 on SN-A and SN-B";
        QTest::newRow("plan with a setting outside a section")
            << apply << QByteArray("S104=1\n[radio SN-A]\nS101=0\n") << 3
            << "{file}:1: S104 is outside a section: [network] or [radio SERIAL] comes first";
        QTest::newRow("profile missing")
            << apply << none << 3 << "{file}: No such file or directory";
        QTest::newRow("firmware empty") << QStringList{"upgrade", "{file}", "--port", "{port}"}
                                        << QByteArray("") << 3 << "{file}: empty";
        QTest::newRow("station firmware empty")
            << QStringList{"watch", "{file}", "--firmware", "{file}"} << QByteArray("") << 3
            << "{file}: empty";
        QTest::newRow("transcript a directory")
            << QStringList{"read", "--port", "{port}", "--transcript", "{file}"} << QByteArray("@")
            << 3 << "{file}: Is a directory";
        QTest::newRow("report a FIFO without a reader")
            << QStringList{"read", "--port", "{port}", "--report", "{file}"} << QByteArray("|") << 3
            << "{file}: a FIFO that no reader opened within 2 s";
    }

    void refusedBeforeSending()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString path = content.isNull() ? m_dir->filePath("absent")
                             : content == "@" ? m_dir->path()
                             : content == "|" ? fifo("fifo")
                                              : file("profile.ini", content);
        const QMap<QString, QString> words{
            {"{file}", path}, {"{bare}", port(0).mid(int(strlen("/dev/")))}, {"{port}", port(0)}};
        for (auto it = words.begin(); it != words.end(); ++it) {
            arguments.replaceInStrings(it.key(), it.value());
            message.replace(it.key(), it.value());
        }
        const Run result = run(arguments);
        QCOMPARE(result.code, code);
        QVERIFY2(result.err.startsWith("dr58ctl: " + message + (code == 2 ? "" : "\n")),
                 qPrintable(result.err));
        QCOMPARE(result.err.contains("--help"), code == 2);
        QVERIFY(modem(0).received().isEmpty());
    }

    // The whole round: a profile read from one modem, edited and applied to three at once, changes
    // exactly the edited registers on each, working and stored, and leaves nothing to differ.
    void readEditApplyOnThreeModems()
    {
        const QString profilePath = file("modem.ini", "replaced, and no longer readable by others");
        const Run read = run({"read", "--port", port(0), "--output", profilePath});
        QCOMPARE(read.code, 0);
        QCOMPARE(QFile::permissions(profilePath) & 0x0FFF, QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(modem(0).received(), ReadCommands + DataMode);
        QVERIFY(!modem(0).inAtMode());

        QFile profileFile(profilePath);
        QVERIFY(profileFile.open(QIODevice::ReadOnly));
        QString profile = QString::fromUtf8(profileFile.readAll());
        const QMap<QString, QString> edits{
            {"S102", "16"}, {"S104", "424242"}, {"S133", "2"}, {"S160", "frisé"}};
        for (auto it = edits.begin(); it != edits.end(); ++it) {
            const QRegularExpression line("\n" + it.key() + "=[^\n]*\n");
            QVERIFY(profile.contains(line));
            profile.replace(line, "\n" + it.key() + "=" + it.value() + "\n");
        }
        const QString edited = file("edited.ini", profile.toUtf8());
        QVector<Registers> before;
        for (int i = 0; i < 3; ++i) {
            before << snapshot(modem(i));
            modem(i).clearReceived();
        }

        const Run apply = run(QStringList{"apply", edited} + ports(3));
        QCOMPARE(apply.code, 0);
        for (int i = 0; i < 3; ++i) {
            Registers expected = before.at(i);
            for (auto it = edits.begin(); it != edits.end(); ++it)
                expected.insert(it.key(), {it.value(), it.value()});
            QCOMPARE(snapshot(modem(i)), expected);
            QCOMPARE(modem(i).received(), ReadCommands +
                                              "ATS102=16\r\nATS102?\rATS104=424242\rATS104?\r"
                                              "ATS133=2\rATS133?\rATS160=fris\xe9\rATS160?\r"
                                              "\rAT&W\r" +
                                              DataMode + "+++ATS102?\r" + DataMode);
            QVERIFY(apply.out.contains(port(i) + ": 4 written and read back, stored\n" + port(i) +
                                       ": serial rate changed from 9600 to 921600, confirmed\n"));
            QVERIFY(apply.err.contains(QRegularExpression(
                "\n" + QRegularExpression::escape(port(i)) + " +applied +4 written")));
        }

        const Run diff = run(QStringList{"diff", edited} + ports(3));
        QCOMPARE(diff.code, 0);
        for (int i = 0; i < 3; ++i)
            QVERIFY(diff.out.contains(port(i) + ": no difference\n"));
    }

    // Each port fails on its own and is reported as soon as it is done: the modem that answers
    // noise before the silent one, whose waits last 2 s each: "+++", the check, "+++" twice more.
    void failuresNamePortAndRegister()
    {
        modem(1).setFault(SimModem::Fault::Silent);
        modem(2).setFault(SimModem::Fault::Garbage);
        QVector<Registers> before;
        for (int i = 0; i < 3; ++i)
            before << snapshot(modem(i));
        // The modem takes at most 30 in S108.
        const Run result =
            run(QStringList{"apply", file("p.ini", "S104=99\nS108=31\n")} + ports(3));

        QCOMPARE(result.code, 8); // the first port's failure
        for (const QString &line :
             {QString("%1: S108 Output Power: the modem refused \"31\"").arg(port(0)),
              QString("%1: written: S104 (not stored); failed: S108; not written: none")
                  .arg(port(0))})
            QVERIFY2(result.err.contains("dr58ctl: " + line + "\n"), qPrintable(result.err));
        const int noGreeting = result.err.indexOf(
            QString("dr58ctl: %1: the modem answered \"+++\" without its greeting (3 tries)\n")
                .arg(port(2)));
        QVERIFY2(noGreeting >= 0, qPrintable(result.err));
        QVERIFY2(result.err.indexOf(QString("dr58ctl: %1: no answer from the modem to \"+++\" (3 "
                                            "tries) or to \"ATS102?\"\n")
                                        .arg(port(1))) > noGreeting,
                 qPrintable(result.err));
        QCOMPARE(modem(1).received(), QByteArray("+++\rATS102?\r++++++"));
        QCOMPARE(modem(0).registerValue("S104"), QString("99"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(result.err.contains(
                QRegularExpression("\n" + QRegularExpression::escape(port(i)) + " +failed +")));
            for (const RegisterInfo &reg : RegisterCatalog::registers()) {
                if (reg.kind != FieldKind::Info)
                    QCOMPARE(modem(i).storedValue(reg.name), before.at(i).value(reg.name).second);
            }
        }
    }

    // A modem left in AT mode is recognised by the check instead of a second "+++"; one that
    // misses the first "+++" gets in on the second.
    void entersAtModeLeftOrMissed_data()
    {
        QTest::addColumn<bool>("leftInAtMode");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("left in AT mode") << true << "+++\rATS102?\r" + ReadCommands.mid(3);
        QTest::newRow("first +++ missed") << false << "+++\rATS102?\r" + ReadCommands;
    }

    void entersAtModeLeftOrMissed()
    {
        QFETCH(bool, leftInAtMode);
        QFETCH(QByteArray, sent);
        if (leftInAtMode) {
            QSerialPort line(port(0));
            QVERIFY(line.open(QIODevice::ReadWrite));
            line.write("+++");
            QTRY_VERIFY(modem(0).inAtMode());
        }
        modem(0).setFault(SimModem::Fault::EscapeIgnored, leftInAtMode ? -1 : 1);
        modem(0).clearReceived();
        QCOMPARE(run({"read", "--port", port(0)}).code, 0);
        QCOMPARE(modem(0).received(), sent + DataMode);
    }

    // Each port detects its modem's rate on its own; a silent one and one that talks without
    // pause fail within the bound.
    void detectsRate()
    {
        modem(0).setLineBaud(57600);
        modem(0).setIdentity(SimModem::Identity::SerialNumber, "SN-0042");
        modem(1).setLineBaud(19200);
        modem(2).setFault(SimModem::Fault::Silent);
        modem(3).setFault(SimModem::Fault::Chatter);
        QElapsedTimer clock;
        clock.start();
        const Run probe = run(QStringList{"probe", "--baud", "auto"} + ports(4));
        const QString noModem = "no greeting to \"+++\" nor answer to \"ATS102?\" at any of the 12 "
                                "serial rates (tried 9600, 115200, 57600, 38400, 19200, 230400, "
                                "28800, 14400, 7200, 4800, 460800, 921600)";
        QVERIFY(clock.elapsed() < 30000);
        QCOMPARE(probe.code, 7);
        QVERIFY2(probe.out.startsWith(port(0) + ": baud: 57600\n" + port(0) + ": I1: DR58-H2.1\n" +
                                      port(0) + ": I2: 3.3.7 (2023-04-19)\n" + port(0) +
                                      ": I3: 1.0.12\n" + port(0) + ": I4: SN-0042\n" + port(1) +
                                      ": baud: 19200\n"),
                 qPrintable(probe.out));
        for (const QString &line : QStringList{port(0) + ": the modem answers at 57600 baud",
                                               port(2) + ": " + noModem, port(3) + ": " + noModem})
            QVERIFY2(probe.err.contains("dr58ctl: " + line + "\n"), qPrintable(probe.err));
        const Run read = run({"read", "--baud", "auto", "--port", port(0)});
        QCOMPARE(read.code, 0);
        QVERIFY2(read.out.contains("\nS102=2\n"), qPrintable(read.out));
        const QString report = m_dir->filePath("probe.jsonl");
        const Run json = run({"probe", "--baud", "57600", "--format", "json", "--port", port(0),
                              "--report", report});
        const QJsonObject identity{
            {"I1", "DR58-H2.1"}, {"I2", "3.3.7 (2023-04-19)"}, {"I3", "1.0.12"}, {"I4", "SN-0042"}};
        QJsonObject printed = identity;
        printed.insert("port", port(0));
        printed.insert("baud", 57600);
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).object(), printed);
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(records.readAll()).object().value("identity").toObject(),
                 identity);
    }

    // Where a profile or a report goes: standard output ("-", /dev/stdout into the test's pipe) and
    // a FIFO the test reads are written as they are; a device or a file system that takes nothing
    // fails with exit 11 and one message naming the file and the reason, no file left behind,
    // the device still a device, the modem back in data mode all the same.
    void outputTargets_data()
    {
        QTest::addColumn<QString>("option");
        // {fifo}: a FIFO, {socket}: a listening local socket, {device}: a node of /dev/full's
        // device, {full}: a full file system
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message"); // on standard error with exit 11; empty: exit 0
        QTest::newRow("- for the profile") << "--output"
                                           << "-"
                                           << "";
        QTest::newRow("- for the report") << "--report"
                                          << "-"
                                          << "";
        QTest::newRow("/dev/stdout") << "--output"
                                     << "/dev/stdout"
                                     << "";
        QTest::newRow("FIFO") << "--output"
                              << "{fifo}"
                              << "";
        QTest::newRow("socket") << "--output"
                                << "{socket}"
                                << "";
        QTest::newRow("device") << "--output"
                                << "{device}"
                                << "{port}: cannot write {device}: No space left on device";
        QTest::newRow("profile on a full file system")
            << "--output"
            << "{full}/p.ini"
            << "{port}: cannot write {full}/p.ini: No space left on device";
        QTest::newRow("report on a full file system")
            << "--report"
            << "{full}/r.jsonl"
            << "{full}/r.jsonl: cannot append: No space left on device";
    }

    void outputTargets()
    {
        QFETCH(QString, option);
        QFETCH(QString, target);
        QFETCH(QString, message);
        const QString full = m_dir->filePath("full");
        std::unique_ptr<FullFileSystem> fullSystem;
        if (target.contains("{full}")) {
            fullSystem = std::make_unique<FullFileSystem>(full);
            if (!fullSystem->problem().isEmpty())
                QSKIP(qPrintable(fullSystem->problem()));
        }
        const QString pipe = fifo("fifo");
        QString device = m_dir->filePath("full-device");
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
            device = "/dev/full"; // not root: nor can /dev be written to
        const QString socketPath = m_dir->filePath("socket");
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(socketPath).constData(),
                     sizeof address.sun_path - 1);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
                ::listen(listener, 1) == 0);
        const QMap<QString, QString> words{{"{fifo}", pipe},
                                           {"{socket}", socketPath},
                                           {"{device}", device},
                                           {"{full}", full},
                                           {"{port}", port(0)}};
        for (auto it = words.begin(); it != words.end(); ++it) {
            target.replace(it.key(), it.value());
            message.replace(it.key(), it.value());
        }
        m_process.setWorkingDirectory(m_dir->path());
        start({"read", "--port", port(0), option, target});
        const int reader =
            ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        const Run result = finish();
        const auto drained = [](int fd) {
            QByteArray bytes;
            char buffer[4096];
            for (ssize_t size; fd >= 0 && (size = ::read(fd, buffer, sizeof buffer)) > 0;)
                bytes.append(buffer, int(size));
            ::close(fd);
            return bytes;
        };
        const QByteArray fromFifo = drained(reader);
        ::fcntl(listener, F_SETFL, O_NONBLOCK);
        const QByteArray fromSocket = drained(::accept(listener, nullptr, nullptr));
        ::close(listener);

        QCOMPARE(result.code, message.isEmpty() ? 0 : 11);
        QCOMPARE(result.err, message.isEmpty() ? QString() : "dr58ctl: " + message + "\n");
        QCOMPARE(modem(0).received(), ReadCommands + DataMode);
        const QString profile = target == pipe         ? QString::fromUtf8(fromFifo)
                                : target == socketPath ? QString::fromUtf8(fromSocket)
                                                       : result.out;
        if (message.isEmpty() || option == "--report")
            QVERIFY2(profile.startsWith("# DR58 profile read from " + port(0) + "\n") &&
                         profile.contains("\nS104=1234567\n"),
                     qPrintable(profile));
        if (target == "-" && option == "--report")
            QVERIFY2(result.out.contains("S244=0\n{\"time\":"), qPrintable(result.out));
        QVERIFY(isFifo(pipe) && !QFile::exists(m_dir->filePath("-")));
        QVERIFY(QFileInfo(socketPath).exists() && !QFileInfo(socketPath).isFile());
        QVERIFY(QFileInfo(device).exists() && !QFileInfo(device).isFile());
        if (fullSystem)
            QCOMPARE(QDir(full).entryList(QDir::Files | QDir::Hidden),
                     option == "--report" ? QStringList({"filler", "r.jsonl"})
                                          : QStringList{"filler"});
    }

    // A station whose standard output has closed (a "| tee" ended with Ctrl-C) goes on: the radio
    // under way when the signal comes is returned to data mode and recorded as interrupted.
    void closedOutputInterrupted()
    {
        const QString output = fifo("out");
        const int reader =
            ::open(QFile::encodeName(output).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reader >= 0);
        m_process.setStandardOutputFile(output);
        const QString dir = m_dir->filePath("by-id");
        const QString report = m_dir->filePath("r.jsonl");
        QVERIFY(QDir().mkdir(dir));
        modem(0).setLateReplyDelay(1000); // time to act while the read-back is awaited
        modem(0).setFaultOn("ATS104?\r", SimModem::Fault::LateReply, 1);
        start({"watch", file("p.ini", "S104=5\nS108=20\n"), "--dir", dir, "--report", report});
        ::close(reader);
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QFile::link(port(0), dir + "/radio"));
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).received().endsWith("ATS104?\r"), 20000);
        ::kill(pid_t(m_process.processId()), SIGINT);
        const Run result = finish();

        QCOMPARE(result.code, 130);
        QVERIFY2(result.err.contains("\ndr58ctl: standard output: Broken pipe\n"),
                 qPrintable(result.err));
        QVERIFY(modem(0).received().endsWith("ATS104?\r" + DataMode));
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        QCOMPARE(records.permissions() & 0x0FFF, QFile::ReadUser | QFile::WriteUser);
        const QJsonObject record = QJsonDocument::fromJson(records.readAll()).object();
        QCOMPARE(record.value("result").toString(), QString("interrupted"));
        QCOMPARE(record.value("exit").toInt(), 130);
        QCOMPARE(record.value("not_written").toArray(), QJsonArray{"S108"});
    }

    // A station whose report cannot keep a record takes no more radios: it ends once the radio
    // under way is done, applied and back in data mode, with exit 11 and the loss said once.
    void stationEndsWhenRecordLost()
    {
        FullFileSystem full(m_dir->filePath("full"));
        if (!full.problem().isEmpty())
            QSKIP(qPrintable(full.problem()));
        const QString report = m_dir->filePath("full/r.jsonl");
        const QString dir = m_dir->filePath("by-id");
        QVERIFY(QDir().mkdir(dir));
        start({"watch", file("p.ini", "S104=5\n"), "--dir", dir, "--report", report});
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QFile::link(port(0), dir + "/radio"));
        const Run result = finish();

        QCOMPARE(result.code, 11);
        QVERIFY2(result.err.contains("\ndr58ctl: " + report +
                                     ": cannot append: No space left on device\n"),
                 qPrintable(result.err));
        QCOMPARE(result.err.count("No space left"), 1);
        QCOMPARE(modem(0).storedValue("S104"), QString("5"));
        QVERIFY(modem(0).received().endsWith(DataMode));
    }

    void unreadableValue_data()
    {
        QTest::addColumn<SimModem::Fault>("fault");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");  // in the modem
        QTest::addColumn<QString>("wanted"); // in the profile
        QTest::addColumn<QString>("diff");
        QTest::newRow("outside its items")
            << SimModem::Fault::None << "S141"
            << "2"
            << "1"
            << "S141 Repeaters Y/N: modem unreadable, profile 1 (YES)";
        // The listing's "my" is the key cut at its blank, never a reading.
        QTest::newRow("its own query refused")
            << SimModem::Fault::QueryError << "S160"
            << "my key"
            << "my"
            << "S160 Encryption Key: modem unreadable, profile \"my\"";
    }

    // A value that cannot be read whole and confirmed: read names it and writes no profile, diff
    // reports it (in JSON as null), apply writes and verifies it.
    void unreadableValue()
    {
        QFETCH(SimModem::Fault, fault);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, wanted);
        QFETCH(QString, diff);
        modem(0).setRegisterValue(name, value);
        // The key's query, the first single query of each reading.
        const auto faulty = [&](int replies) { modem(0).setFault(fault, replies); };
        faulty(1);
        const QString output = m_dir->filePath("modem.ini");
        const Run read = run({"read", "--port", port(0), "--output", output});
        QCOMPARE(read.code, 7);
        QVERIFY2(read.err.contains(port(0) + ": unreadable values of " + name +
                                   "; no profile written\n"),
                 qPrintable(read.err));
        QVERIFY(!QFile::exists(output));
        const QString profile = file("p.ini", (name + "=" + wanted + "\n").toUtf8());
        faulty(1);
        const Run compared = run({"diff", profile, "--port", port(0)});
        QCOMPARE(compared.code, 1);
        QVERIFY2(compared.out.contains(diff + "\n"), qPrintable(compared.out));
        faulty(1);
        const Run json = run({"diff", profile, "--port", port(0), "--format", "json"});
        QCOMPARE(json.code, 1);
        QCOMPARE(json.out, "{\"differences\":[{\"modem\":null,\"profile\":\"" + wanted +
                               "\",\"register\":\"" + name + "\"}],\"port\":\"" + port(0) +
                               "\"}\n");
        faulty(1);
        QCOMPARE(run({"apply", profile, "--port", port(0)}).code, 0);
        QCOMPARE(modem(0).storedValue(name), wanted);
    }

    // A port gone while the single queries are answered leaves no profile.
    void readCutShortByVanishing()
    {
        modem(0).setLateReplyDelay(600); // time enough to act while the key's answer is on its way
        modem(0).setFault(SimModem::Fault::LateReply);
        const QString output = m_dir->filePath("modem.ini");
        start({"read", "--port", port(0), "--output", output});
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).received().endsWith("ATS160?\r"), 20000);
        modem(0).stop();
        const Run result = finish();
        QCOMPARE(result.code, 6);
        QVERIFY2(result.err.startsWith("dr58ctl: " + port(0) +
                                       ": the port failed while in use: the device went away "
                                       "(unplugged?)\n"),
                 qPrintable(result.err));
        QVERIFY(!QFile::exists(output));
    }

    // A signal ends a reply that never ends within a second (then "ATA" has its two seconds).
    void signalDuringEndlessReply()
    {
        modem(0).setLateReplyDelay(600); // time enough to set the babble while the listing waits
        modem(0).setFault(SimModem::Fault::LateReply);
        start({"read", "--port", port(0)});
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).received().endsWith("\rAT&V\r"), 20000);
        modem(0).setFault(SimModem::Fault::Babble);
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).received().endsWith("ATS160?\r"), 5000);
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(m_process.processId()), SIGINT);
        const Run read = finish();
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(read.code, 130);
        QVERIFY(modem(0).received().endsWith("ATS160?\r" + DataMode));
    }

    void applyVariants_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("working");
        QTest::addColumn<QString>("line");
        QTest::newRow("dry run")
            << "--dry-run"
            << "1234567"
            << "S104 Network Address(ID): modem 1234567, profile 5: would write";
        QTest::newRow("no save") << "--no-save"
                                 << "5"
                                 << "1 written and read back, not stored";
    }

    void applyVariants()
    {
        QFETCH(QString, option);
        QFETCH(QString, working);
        QFETCH(QString, line);
        const Run result =
            run({"apply", file("p.ini", "S104=5\nS101=2\n"), option, "--port", port(0)});
        QCOMPARE(result.code, 0);
        QVERIFY2(result.out.contains(line + "\n"), qPrintable(result.out));
        QCOMPARE(modem(0).registerValue("S104"), working);
        QCOMPARE(modem(0).storedValue("S104"), QString("1234567"));
        QVERIFY(!modem(0).received().contains("AT&W"));
        if (option == "--dry-run")
            QCOMPARE(modem(0).received(), ReadCommands + DataMode);
    }

    // An apply cut short once the first register is read back: by a signal, which still returns
    // the modem to data mode (and says so when the modem does not confirm it), or by the modem
    // vanishing. Nothing more is written or stored.
    void applyCutShort_data()
    {
        QTest::addColumn<int>("signal");       // 0: the modem vanishes
        QTest::addColumn<bool>("silentAfter"); // the modem answers nothing more
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // PORT stands for the port
        const QString stopped =
            "PORT: interrupted; written: S104 (not stored); not written: S108\n";
        QTest::newRow("SIGINT") << SIGINT << false << 130 << stopped;
        QTest::newRow("SIGTERM, no answer to ATA")
            << SIGTERM << true << 143
            << "PORT: the modem did not confirm its return to data mode (\"ATA\")\ndr58ctl: " +
                   stopped;
        QTest::newRow("unplugged")
            << 0 << false << 6
            << "PORT: the port failed while in use: the device went away (unplugged?)\n";
    }

    void applyCutShort()
    {
        QFETCH(int, signal);
        QFETCH(bool, silentAfter);
        QFETCH(int, code);
        QFETCH(QString, message);
        // The read-back's answer comes a second late, half the time dr58ctl gives it: a second
        // for the test to act while dr58ctl waits, a second to spare for a busy machine.
        modem(0).setLateReplyDelay(1000);
        modem(0).setFaultOn("ATS104?\r", SimModem::Fault::LateReply, 1);
        start({"apply", file("p.ini", "S104=5\nS108=20\n"), "--port", port(0)});
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).received().endsWith("ATS104?\r"), 20000);
        if (silentAfter)
            modem(0).setFault(SimModem::Fault::Silent); // the read-back's answer is on its way
        if (signal)
            ::kill(pid_t(m_process.processId()), signal);
        else
            modem(0).stop();
        const Run result = finish();
        QCOMPARE(result.code, code);
        QVERIFY2(result.err.startsWith("dr58ctl: " + message.replace("PORT", port(0))),
                 qPrintable(result.err));
        if (signal)
            QVERIFY(modem(0).received().endsWith("ATS104?\r" + DataMode));
    }

    // A station fed by devices that appear one after another in a directory made after it
    // started: one refuses a write, one vanishes during its run, one comes back and is handled
    // again. Each modem gets its line, its report record and its bytes in the transcript.
    void stationProvisionsDevicesAsTheyAppear()
    {
        const QString dir = m_dir->filePath("by-id/");
        const QString report = m_dir->filePath("report.jsonl");
        const QString transcript = m_dir->filePath("transcript.log");
        for (int i : {0, 2})
            modem(i).setRegisterValue("S108", "31"); // modem 1 alone is to take 31, and refuses
        modem(3).setFault(SimModem::Fault::Silent);
        start({"watch", file("p.ini", "S104=5\nS108=31\n"), "--dir", dir, "--count", "5",
               "--report", report, "--transcript", transcript});
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QDir().mkdir(dir));
        const auto plug = [&](int i) { return QFile::link(port(i), dir + QString::number(i)); };
        for (int i = 0; i < 4; ++i) {
            QVERIFY(modem(i).setIdentity(SimModem::Identity::SerialNumber, QString("SN%1").arg(i)));
            QVERIFY(plug(i));
            QTRY_VERIFY(modem(i).received().startsWith("+++"));
        }
        QVERIFY(QFile::remove(dir + "3"));
        modem(3).stop();
        QTRY_VERIFY(modem(0).received().endsWith(DataMode));
        QVERIFY(QFile::remove(dir + "0")); // unplugged and plugged in again at once
        QVERIFY(plug(0));
        const Run result = finish();

        QCOMPARE(result.code, 8);
        QCOMPARE(result.out.count('\n'), 5);
        for (const char *line : {"1  SN1  failed  ", "3  -  vanished  "})
            QVERIFY2(result.out.contains(dir + line), qPrintable(result.out));
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        QStringList summaries;
        const QRegularExpression keys(
            "^\\{\"time\":\"[-0-9T:.]+Z\",\"command\":\"watch\",\"port\":.*"
            "\"baud\":9600,\"exit\":.*\"result\":.*\"detail\":.*"
            "\"identity\":\\{\"I1\":.*\"I4\":.*\\},\"written\":.*"
            "\"failed\":.*\"not_written\":.*\"seconds\":.*"
            "\"firmware_sha256\":null\\}$");
        for (const QByteArray &line : records.readAll().split('\n')) {
            QVERIFY(line.isEmpty() || keys.match(line).hasMatch());
            const QJsonObject record = QJsonDocument::fromJson(line).object();
            const auto names = [&](const char *key) {
                return record.value(key).toVariant().toStringList().join(' ');
            };
            if (!line.isEmpty())
                summaries << QStringList{record.value("port").toString().remove(dir),
                                         QString::number(record.value("exit").toInt()),
                                         record.value("result").toString(),
                                         record.value("identity")["I4"].toString("null"),
                                         names("written"),
                                         names("failed"),
                                         names("not_written")}
                                 .join('|');
        }
        summaries.sort();
        QCOMPARE(summaries, QStringList({"0|0|applied|SN0|S104||", "0|0|applied|SN0|||",
                                         "1|8|failed|SN1|S104|S108|", "2|0|applied|SN2|S104||",
                                         "3|6|vanished|null|||"}));

        QFile log(transcript);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.permissions() & 0x0FFF, QFile::ReadUser | QFile::WriteUser);
        const QRegularExpression form("^[-0-9]{10}T[0-9:]{8}\\.[0-9]{3}Z (\\S+) ([<>]) (.+)$");
        QStringList sent;
        QString received;
        for (const QString &line : QString(log.readAll()).split('\n', Qt::SkipEmptyParts)) {
            const auto match = form.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            if (match.captured(1) != dir + "1")
                continue;
            if (match.captured(2) == ">")
                sent << match.captured(3);
            else
                received += match.captured(3);
        }
        QCOMPARE(sent.mid(0, 2), QStringList({"+++", "\\rAT&V\\r"}));
        QCOMPARE(sent.join(QString()), Transcript::escaped(modem(1).received()));
        QVERIFY(received.startsWith("\\r\\nWelcome To Use DR58\\r\\nOK\\r\\n"));
        QCOMPARE(received, Transcript::escaped(modem(1).sent().replace("dr58key", "*******")));
    }

    // The key crosses the line in the listing, its single query, the write and its read-back:
    // the transcript hides each of its characters unless --show-secrets.
    void transcriptHidesTheKey_data()
    {
        QTest::addColumn<bool>("show");
        QTest::newRow("hidden") << false;
        QTest::newRow("--show-secrets") << true;
    }

    void transcriptHidesTheKey()
    {
        QFETCH(bool, show);
        const QString transcript = m_dir->filePath("t.log");
        QStringList arguments{
            "apply", file("p.ini", "S160=n3wkey\n"), "--port", port(0), "--transcript", transcript};
        QCOMPARE(run(arguments + (show ? QStringList{"--show-secrets"} : QStringList())).code, 0);
        QFile log(transcript);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QString sent, received;
        for (const QString &line : QString(log.readAll()).split('\n', Qt::SkipEmptyParts))
            (line.section(' ', 2, 2) == ">" ? sent : received) += line.section(' ', 3);
        const auto hidden = [show](QByteArray bytes) {
            return show ? bytes : bytes.replace("dr58key", "*******").replace("n3wkey", "******");
        };
        QVERIFY(modem(0).received().contains("ATS160=n3wkey\r"));
        QCOMPARE(sent, Transcript::escaped(hidden(modem(0).received())));
        QVERIFY(modem(0).sent().contains("Encryption key=dr58key\r\n"));
        QVERIFY(modem(0).sent().contains("ATS160?\r\nn3wkey\r\nOK"));
        QCOMPARE(received, Transcript::escaped(hidden(modem(0).sent())));
    }

    // Backups go to a private folder per serial number; restore applies the chosen one of the
    // radio's own, with the checks and read-backs of apply. A serial number that is no safe file
    // name is refused, a radio without a backup left alone.
    void backupAndRestoreBySerialNumber()
    {
        const QString dir = m_dir->filePath("backups");
        for (const auto &[i, serial] : {std::pair{0, "SN-A"}, {1, "../up"}, {2, "SN-B"}})
            QVERIFY(modem(i).setIdentity(SimModem::Identity::SerialNumber, serial));
        modem(0).setRegisterValue("S104", "111");
        const Run first = run(QStringList{"backup", "--dir", dir} + ports(2));
        QCOMPARE(first.code, 7);
        QVERIFY2(first.err.contains(port(1) + ": the serial number \"../up\" is not a safe file "
                                              "name: no backup used or written\n"),
                 qPrintable(first.err));
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), {"SN-A"});
        modem(0).setRegisterValue("S104", "222");
        QCOMPARE(run({"backup", "--dir", dir, "--port", port(0)}).code, 0);
        const QStringList files = QDir(dir + "/SN-A").entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        for (const QString &path : {dir, QString(dir + "/SN-A")})
            QCOMPARE(QFile::permissions(path) & 0x0FFF,
                     QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        QCOMPARE(QFile::permissions(dir + "/SN-A/" + files.at(0)) & 0x0FFF,
                 QFile::ReadUser | QFile::WriteUser);

        modem(0).setRegisterValue("S104", "333");
        modem(2).clearReceived();
        const Run restore = run(
            {"restore", "--dir", dir, "--at", files.at(0), "--port", port(0), "--port", port(2)});
        QCOMPARE(restore.code, 3);
        QCOMPARE(modem(0).registerValue("S104"), QString("111"));
        QCOMPARE(modem(0).storedValue("S104"), QString("111"));
        QVERIFY2(restore.out.contains(port(0) + ": backup " + dir + "/SN-A/" + files.at(0) + "\n" +
                                      port(0) +
                                      ": S104 Network Address(ID): modem 333, "
                                      "profile 111: written\n"),
                 qPrintable(restore.out));
        QVERIFY2(
            restore.err.contains(port(2) + ": no backup of SN-B in " + dir + "/SN-B at or before "),
            qPrintable(restore.err));
        QCOMPARE(modem(2).received(), "+++\rAT&V\r" + DataMode); // no single query once refused
    }

    // A stored new serial rate is followed: the modem, back in data mode, is entered at the new
    // rate (an RFC 2217 server's line set to it) and its S102 read back. One that stays at the
    // old rate is found there; a raw TCP server's fixed rate is named as the operator's to change.
    void rateChangeFollowed_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QByteArray>("after"); // sent after the store and the return to data mode
        const QString confirmed = "serial rate changed from 9600 to 115200, confirmed\n";
        const QByteArray check = "+++ATS102?\r" + DataMode;
        QTest::newRow("confirmed") << "local" << false << 0 << confirmed << check;
        QTest::newRow("confirmed, rfc2217") << "rfc2217" << false << 0 << confirmed << check;
        QTest::newRow("tcp") << "tcp" << false << 0
                             << "serial rate changed from 9600 to 115200, not confirmed: a "
                                "tcp:// port has the rate its server is set to; set the server's "
                                "line to 115200 8N1 for the modem to answer again\n"
                             << QByteArray();
        QTest::newRow("silent at the new rate")
            << "local" << true << 7
            << "dr58ctl: PORT: serial rate changed from 9600 to 115200 was stored, but the modem "
               "does not answer at 115200; it answers at 9600\n"
            << check; // after what 9600 made of the bytes sent at 115200
    }

    void rateChangeFollowed()
    {
        QFETCH(QString, via);
        QFETCH(bool, kept);
        QFETCH(int, code);
        QFETCH(QString, said);
        QFETCH(QByteArray, after);
        modem(0).setLineBaud(9600);
        if (kept)
            modem(0).setFault(SimModem::Fault::RateKept);
        Ser2net server(port(0));
        const QString name = via == "local" ? port(0)
                             : via == "tcp" ? server.tcp()
                                            : server.rfc2217();
        const QString report = m_dir->filePath("r.jsonl");
        const Run result =
            run({"apply", file("p.ini", "S102=1\n"), "--port", name, "--report", report});
        QCOMPARE(result.code, code);
        QVERIFY2((kept ? result.err : result.out).contains(said.replace("PORT", name)),
                 qPrintable(result.out + result.err));
        QCOMPARE(modem(0).storedValue("S102"), QString("1"));
        QCOMPARE(modem(0).lineBaud(), kept ? 9600 : 115200);
        QVERIFY(!modem(0).inAtMode());
        const QByteArray stored = "ATS102=1\r\nATS102?\r\rAT&W\r" + DataMode;
        const QByteArray received = modem(0).received();
        QVERIFY(received.contains(stored));
        const QByteArray rest = received.mid(received.indexOf(stored) + stored.size());
        QVERIFY2(kept ? rest.endsWith(after) : rest == after, rest.toHex().constData());
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        QCOMPARE(
            QJsonDocument::fromJson(records.readAll()).object().value("serial_rate"),
            QJsonObject({{"from", 9600}, {"to", 115200}, {"confirmed", !kept && via != "tcp"}}));
    }

    // A busy port names every process holding it: this test's own open port and a process named
    // as the modem manager that probes new serial devices, with the udev rule that keeps it
    // away. A station waits until that one lets go of a new device before it sends anything.
    void busyPortNamesItsHolders()
    {
        QVERIFY(QFile::link("/usr/bin/perl", m_dir->filePath("ModemManager")));
        QProcess manager;
        manager.start(
            m_dir->filePath("ModemManager"),
            {"-e", "open(my $f, '+<', $ARGV[0]) or die; $| = 1; print 'held'; <STDIN>", port(0)});
        QVERIFY(manager.waitForReadyRead());
        QSerialPort held(port(0));
        QVERIFY(held.open(QIODevice::ReadWrite));
        const Run busy = run({"read", "--port", port(0)});
        QCOMPARE(busy.code, 6);
        std::map<qint64, QString> holders{
            // in the order of their pids
            {QCoreApplication::applicationPid(), QCoreApplication::arguments().join(' ')},
            {manager.processId(),
             QStringList{manager.program(), "-e", manager.arguments().at(1), port(0)}.join(' ')}};
        QStringList named;
        for (const auto &[pid, commandLine] : holders)
            named << QString("pid %1 (%2)").arg(pid).arg(commandLine);
        QCOMPARE(
            busy.err,
            QString("dr58ctl: %1: the port is in use by another program: %2; ModemManager "
                    "probes every new serial device: to make ModemManager leave this adapter "
                    "alone, put the udev rule 'KERNEL==\"%3\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"' "
                    "into a file in /etc/udev/rules.d/, run \"udevadm control --reload\" "
                    "and plug the adapter in again\n")
                .arg(port(0), named.join(", "), port(0).mid(5)));
        held.close();

        const QString dir = m_dir->filePath("by-id");
        QVERIFY(QDir().mkdir(dir));
        start({"watch", file("p.ini", "S104=5\n"), "--dir", dir, "--count", "1"});
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QFile::link(port(0), dir + "/radio"));
        QByteArray said;
        const QByteArray waiting = QString("/radio: ModemManager (pid %1) has the device open; "
                                           "waiting up to 30 s for it to let go\n")
                                       .arg(manager.processId())
                                       .toUtf8();
        QTRY_VERIFY2((said += m_process.readAll()).contains(waiting), said.constData());
        QTest::qWait(500);
        QVERIFY(modem(0).received().isEmpty());
        manager.closeWriteChannel();
        QCOMPARE(finish().code, 0);
        QVERIFY(modem(0).received().contains("ATS104=5\r"));
        QVERIFY(manager.waitForFinished());
    }

    // "ports --format json" describes the ports "ports" lists, each with the same keys.
    void portsAsJson()
    {
        const Run text = run({"ports"});
        const Run json = run({"ports", "--format", "json"});
        QCOMPARE(json.code, 0);
        QStringList devices;
        for (const QJsonValue &port : QJsonDocument::fromJson(json.out.toUtf8()).array()) {
            QCOMPARE(port.toObject().keys(),
                     QStringList({"by_id", "description", "device", "manufacturer", "product_id",
                                  "serial_number", "vendor_id"}));
            devices << port["device"].toString().mid(5) + '\n';
        }
        QCOMPARE(devices.join(QString()), text.out);
    }

    // A --dir link re-pointed to another folder is followed: what is there already is left
    // alone, what is plugged in after is provisioned.
    void stationFollowsRepointedLink()
    {
        const QString link = m_dir->filePath("station");
        for (const char *folder : {"a", "b"})
            QVERIFY(QDir(m_dir->path()).mkdir(folder));
        QVERIFY(QFile::link(m_dir->filePath("a"), link));
        QVERIFY(QFile::link(port(0), m_dir->filePath("b/there")));
        start({"watch", file("p.ini", "S104=5\n"), "--dir", link, "--count", "1"});
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QFile::link(m_dir->filePath("b"), link + ".new"));
        QVERIFY(::rename(qPrintable(link + ".new"), qPrintable(link)) == 0);
        QTRY_VERIFY(QString(m_process.peek(4096)).contains("1 already there left alone\n"));
        QVERIFY(QFile::link(port(1), m_dir->filePath("b/plugged")));
        const Run result = finish();
        QCOMPARE(result.code, 0);
        QVERIFY2(result.out.startsWith(link + "/plugged  5821A0419017  applied  "),
                 qPrintable(result.out));
        QVERIFY(modem(0).received().isEmpty());
    }

    // With --firmware each radio is upgraded before the profile is applied, and its record names
    // the firmware; files beside the devices are no devices.
    void stationUpgradesFirst()
    {
        const QByteArray image = firmware(1500);
        const QString report = m_dir->filePath("r.jsonl");
        start({"watch", file("p.ini", "S104=5\n"), "--dir", m_dir->path(), "--count", "1",
               "--firmware", file("fw.stz", image), "--report", report});
        m_process.setReadChannel(QProcess::StandardError);
        QVERIFY(m_process.waitForReadyRead()); // watching
        QVERIFY(QFile::link(port(0), m_dir->filePath("radio")));
        QCOMPARE(finish().code, 0);
        QCOMPARE(modem(0).image(), image);
        QCOMPARE(modem(0).storedValue("S104"), QString("5"));
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        const QJsonObject record = QJsonDocument::fromJson(records.readAll()).object();
        QCOMPARE(record.value("firmware_sha256").toString(),
                 QString(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex()));
        QVERIFY(record.value("detail").toString().startsWith("upgraded: 1500 bytes in "));
    }

    void jsonProfileRoundTrip()
    {
        const Run read = run({"read", "--format", "json", "--port", port(0)});
        QCOMPARE(read.code, 0);
        QJsonObject root = QJsonDocument::fromJson(read.out.toUtf8()).object();
        QCOMPARE(root.value("port").toString(), port(0));
        QJsonObject registers = root.value("registers").toObject();
        registers.insert("S101", QJsonObject{{"value", 1}});
        root.insert("registers", registers);
        const Run apply =
            run({"apply", file("p.json", QJsonDocument(root).toJson()), "--port", port(1)});
        QCOMPARE(apply.code, 0);
        Registers expected = snapshot(modem(0));
        expected.insert("S101", {"1", "1"});
        QCOMPARE(snapshot(modem(1)), expected);
    }

    void resetRestoresPreset()
    {
        for (const bool save : {false, true}) {
            const QStringList store = save ? QStringList{"--save"} : QStringList{};
            const Run result = run(
                QStringList{"reset", "--preset", "mesh with center SLAVE", "--port", port(save)} +
                store);
            QCOMPARE(result.code, 0);
            QCOMPARE(result.out, QString("preset Mesh With Center Slave (AT&F5) restored%1\n")
                                     .arg(save ? ", stored" : ""));
            QCOMPARE(modem(save).received(),
                     "+++AT&F5\r" + QByteArray(save ? "\rAT&W\r" : "") + DataMode);
            QCOMPARE(modem(save).registerValue("S133"), QString("2"));
            QCOMPARE(modem(save).storedValue("S133"), QString(save ? "2" : "0"));
        }
    }

    // A chunk refused once (modem 0) or lost once (modem 1) is sent again: 7 chunks, 8 writes.
    void upgradesSeveralModems()
    {
        const QByteArray image = firmware(1500);
        modem(0).setFault(SimModem::Fault::UpdateRefuseChunk, 1);
        modem(1).setFault(SimModem::Fault::UpdateDropChunk, 1);
        const Run result = run(QStringList{"upgrade", file("fw.stz", image)} + ports(2));
        QCOMPARE(result.code, 0);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(modem(i).image(), image);
            QCOMPARE(modem(i).updateRequests(2), 8);
            QVERIFY(modem(i).received().startsWith("+++\rAT&UP\r"));
            QVERIFY(result.out.contains(
                QRegularExpression("(^|\n)" + QRegularExpression::escape(port(i)) +
                                   ": upgraded: 1500 bytes in [0-9.]+ s \\([0-9]+ bytes/s\\)\n")));
            // Not a terminal: plain progress lines.
            QVERIFY(result.err.contains(port(i) + ": 0/1500 bytes (0%)\n"));
            QVERIFY(result.err.contains(port(i) + ": 1500/1500 bytes (100%)\n"));
        }
    }

    // An upgrade cut short leaves the modem in its update mode; run again, it is sent UPDATE_START
    // after "+++" and the check go unanswered, and completes.
    void upgradeResumes()
    {
        const QByteArray image = firmware(4000);
        const QString path = file("fw.stz", image);
        start({"upgrade", path, "--port", port(0)});
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).updateRequests(2) > 1, 20000);
        ::kill(pid_t(m_process.processId()), SIGINT);
        const Run cut = finish();
        QCOMPARE(cut.code, 130);
        QVERIFY2(cut.err.contains("; the modem is left in its update mode, not in AT mode\n"),
                 qPrintable(cut.err));
        QVERIFY(modem(0).inUpdateMode());
        modem(0).clearReceived();
        const Run rerun = run({"upgrade", path, "--port", port(0)});
        QCOMPARE(rerun.code, 0);
        QVERIFY(modem(0).received().startsWith("+++\rATS102?\r++++++"));
        QCOMPARE(modem(0).image(), image);
        QVERIFY(!modem(0).inUpdateMode());
    }

    // Over RFC 2217 the server's line takes the rate (the modem sees it), and the modem behind
    // it receives what a local modem in the same run receives.
    void applyThroughServerAndLocally()
    {
        Ser2net server(port(0));
        start({"apply", file("p.ini", "S104=424242\n"), "--baud", "19200", "--port",
               server.rfc2217(), "--port", port(1)});
        QTRY_COMPARE(modem(0).baudRate(), 19200);
        const Run result = finish();
        QCOMPARE(result.code, 0);
        QCOMPARE(modem(0).received(), modem(1).received());
        QCOMPARE(modem(0).storedValue("S104"), QString("424242"));
    }

    // An upgrade that keeps the settings: a backup first, then, once the modem answers again,
    // what the new firmware reset is written back, verified and stored, the versions shown. A
    // register the new firmware refuses is named, and the backup stays.
    void upgradeKeepsSettings_data()
    {
        QTest::addColumn<SimModem::Fault>("fault");
        QTest::addColumn<QString>("s108"); // 31: more than the modem takes in a write
        QTest::addColumn<QStringList>("restored");
        QTest::newRow("registers reset")
            << SimModem::Fault::UpgradeResets << "30" << QStringList{"S104", "S160"};
        QTest::newRow("registers kept")
            << SimModem::Fault::UpgradeNewVersion << "30" << QStringList{};
        QTest::newRow("a register refused")
            << SimModem::Fault::UpgradeResets << "31" << QStringList{"S104"};
    }

    void upgradeKeepsSettings()
    {
        QFETCH(SimModem::Fault, fault);
        QFETCH(QString, s108);
        QFETCH(QStringList, restored);
        modem(0).setRegisterValue("S104", "4242");
        modem(0).setRegisterValue("S108", s108);
        modem(0).setRegisterValue("S160", "k1");
        QVERIFY(modem(0).setIdentity(SimModem::Identity::SerialNumber, "SN-U"));
        const QString report = m_dir->filePath("r.jsonl");
        const QString backups = m_dir->filePath("b");
        modem(0).setFault(fault);
        Registers before = snapshot(modem(0));
        for (auto &values : before)
            values.second = values.first; // the working values, stored

        const Run result = run({"upgrade", file("fw.stz", firmware(1500)), "--port", port(0),
                                "--keep-settings", "--backup-dir", backups, "--report", report});
        const QStringList files = QDir(backups + "/SN-U").entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QString backup = backups + "/SN-U/" + files.at(0);
        QFile backupFile(backup);
        QVERIFY(backupFile.open(QIODevice::ReadOnly));
        QVERIFY(backupFile.readAll().contains("\nS104=4242\n"));
        QCOMPARE(modem(0).image(), firmware(1500));
        if (s108 == "31") {
            QCOMPARE(result.code, 8);
            QVERIFY2(result.err.contains("dr58ctl: " + port(0) +
                                         ": upgraded; not restored: S108, S160: S108 Output "
                                         "Power: the modem refused \"31\"\n") &&
                         result.err.contains(": upgraded, but the settings were not all "
                                             "restored; they are kept in " +
                                             backup + "\n"),
                     qPrintable(result.err));
            QCOMPARE(modem(0).registerValue("S160"), QString("dr58key"));
        } else {
            QCOMPARE(result.code, 0);
            QVERIFY2(result.out.endsWith("firmware (I2): 3.3.7 (2023-04-19) before, 3.4.0 "
                                         "(2026-11-30) after\nsoftware (I3): 1.0.12 before, "
                                         "1.1.0 after\nupgraded, settings kept\n"),
                     qPrintable(result.out));
            QCOMPARE(snapshot(modem(0)), before);
        }
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        const QJsonObject record = QJsonDocument::fromJson(records.readAll()).object();
        QCOMPARE(record.value("identity_before")["I2"].toString(), QString("3.3.7 (2023-04-19)"));
        QCOMPARE(record.value("identity")["I2"].toString(), QString("3.4.0 (2026-11-30)"));
        QCOMPARE(record.value("restored").toVariant().toStringList(), restored);
    }

    void upgradeThroughServer_data()
    {
        QTest::addColumn<bool>("rfc2217");
        QTest::newRow("RFC 2217 at 115200 baud") << true;
        QTest::newRow("raw TCP at the server's 9600 baud") << false;
    }

    // An image of 0xFF bytes (the telnet escape) arrives byte for byte, no chunk sent twice.
    void upgradeThroughServer()
    {
        QFETCH(bool, rfc2217);
        Ser2net server(port(0));
        const QByteArray image(3000, '\xff');
        const QStringList line =
            rfc2217 ? QStringList{server.rfc2217(), "--baud", "115200"} : QStringList{server.tcp()};
        const Run result = run(QStringList{"upgrade", file("fw.stz", image), "--port"} + line);
        QCOMPARE(result.code, 0);
        QCOMPARE(modem(0).image(), image);
        QCOMPARE(modem(0).updateRequests(2), 13);
    }

    void serverGoneMidUpgrade()
    {
        Ser2net server(port(0));
        start({"upgrade", file("fw.stz", firmware(30000)), "--port", server.rfc2217()});
        QTRY_VERIFY_WITH_TIMEOUT(modem(0).updateRequests(2) > 2, 20000);
        server.kill();
        const Run result = finish();
        QCOMPARE(result.code, 6);
        QVERIFY2(result.err.contains(server.rfc2217() +
                                     ": the port failed while in use: the server closed the "
                                     "connection\n"),
                 qPrintable(result.err));
        QCOMPARE(modem(0).updateRequests(3), 0);
    }

    // A server that floods its line fails its port with a clear message; the other port's job
    // goes on.
    void floodingServer()
    {
        FloodServer server;
        const QString flooding = QString("tcp://127.0.0.1:%1").arg(server.port());
        const Run result = run({"read", "--port", flooding, "--port", port(0)});
        QCOMPARE(result.code, 6);
        QVERIFY2(result.err.contains("dr58ctl: " + flooding +
                                     ": the port failed during \"+++\": the server sends faster "
                                     "than a serial line carries (over 1048576 bytes unread)\n"),
                 qPrintable(result.err));
        QVERIFY(result.err.contains(
            QRegularExpression("\n" + QRegularExpression::escape(port(0)) + " +read ")));
    }

    void upgradeFailures_data()
    {
        QTest::addColumn<SimModem::Fault>("fault");
        QTest::addColumn<QString>("announceTimeout"); // seconds
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("never announces")
            << SimModem::Fault::UpdateNeverAnnounce << "1" << 7
            << "the modem did not enter its update mode (no \"UPDATE\" within 1 s)";
        QTest::newRow("chunks always refused") << SimModem::Fault::UpdateRefuseChunk << "20" << 9
                                               << "chunk 0 at byte 0 of 1500 was not accepted";
        QTest::newRow("chunks always lost") << SimModem::Fault::UpdateDropChunk << "20" << 9
                                            << "chunk 0 at byte 0 of 1500 was not accepted";
    }

    // A failed upgrade never sends UPDATE_END, so the modem never takes an incomplete image.
    void upgradeFailures()
    {
        QFETCH(SimModem::Fault, fault);
        QFETCH(QString, announceTimeout);
        QFETCH(int, code);
        QFETCH(QString, message);
        modem(0).setFault(fault);
        const Run result = run({"upgrade", file("fw.stz", firmware(1500)), "--announce-timeout",
                                announceTimeout, "--port", port(0)});
        QCOMPARE(result.code, code);
        QVERIFY2(result.err.endsWith(QString("dr58ctl: %1: %2\n").arg(port(0), message)),
                 qPrintable(result.err));
        QCOMPARE(modem(0).updateRequests(2), code == 9 ? 3 : 0); // each chunk has two re-sends
        QCOMPARE(modem(0).updateRequests(3), 0);
        QVERIFY(modem(0).image().isEmpty());
    }

    // Each network rule broken once in a plan of three radios (a master, a repeater and a slave
    // on TDMA) and named with its radios and values; and plans that are not well formed.
    void netCheck_data()
    {
        QTest::addColumn<QStringList>("sections"); // the radios': a master, a repeater, a slave
        QTest::addColumn<QByteArray>("tail");      // INI after them, or a whole JSON plan
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // the start of it
        const QStringList sound{"S101=0\nS105=1\nS141=1\nS221=12\nS160=k3y\n",
                                "S101=1\nS105=3\nS114=1\nS160=k3y\n",
                                "S101=2\nS105=2\nS114=2\nS160=k3y\n"};
        const auto changed = [&](int radio, const QString &from, const QString &to) {
            QStringList sections = sound;
            sections[radio].replace(from, to);
            return sections;
        };
        QTest::newRow("sound") << sound << QByteArray() << 0
                               << "3 radios: every network rule holds\n"
                               << QString();
        QTest::newRow("shared") << changed(2, "S160=k3y", "S160=other") << QByteArray() << 3
                                << "shared: S160=k3y on SN-A and SN-B, S160=other on SN-C\n"
                                << QString();
        QTest::newRow("one-master") << changed(2, "S101=2", "S101=0") << QByteArray() << 3
                                    << "one-master: S101=0 on SN-A and SN-C\n"
                                    << QString();
        QTest::newRow("unit-address") << changed(2, "S105=2", "S105=3") << QByteArray() << 3
                                      << "unit-address: S105=3 on SN-B and SN-C\n"
                                      << QString();
        QTest::newRow("unit-address zero and outside TDMA")
            << changed(2, "S105=2", "S105=0") << QByteArray() << 3
            << "unit-address: S105=0 on SN-C in a point-to-multipoint network (S133=0)\n"
               "tdma: S105=0 on SN-C outside the master SN-A's S105+1..S221 (2..12)\n"
            << QString();
        QTest::newRow("tdma") << changed(0, "S221=12", "S221=2") << QByteArray() << 3
                              << "tdma: S105=3 on SN-B outside the master SN-A's S105+1..S221 "
                                 "(2..2)\n"
                              << QString();
        QTest::newRow("repeaters") << changed(0, "S141=1", "S141=0") << QByteArray() << 3
                                   << "repeaters: S141=0 on SN-A (the master), with the repeater "
                                      "SN-B (S101=1)\n"
                                   << QString();
        QStringList relays = changed(2, "S101=2", "S101=1");
        relays[2].replace("S114=2", "S114=1");
        QTest::newRow("repeater index")
            << relays << QByteArray() << 3 << "repeaters: S114=1 on SN-B and SN-C\n"
            << QString();
        QTest::newRow("serial twice") << sound << QByteArray("[radio SN-A]\n") << 3 << QString()
                                      << "{file}:22: the serial number SN-A is given twice "
                                         "(first on line 6)\n";
        QTest::newRow("register in both")
            << changed(1, "S114=1", "S104=5") << QByteArray() << 3 << QString()
            << "{file}:15: S104 is set both in [network] and in "
               "[radio SN-B]\n";
        QTest::newRow("unknown section")
            << sound << QByteArray("[radios SN-D]\n") << 3 << QString()
            << "{file}:22: unknown section [radios SN-D]: expected [network] or [radio SERIAL]\n";
        QTest::newRow("JSON, radios in the file's order")
            << QStringList()
            << QByteArray("{\"network\": {\"S104\": 5},\n \"radios\": {\n"
                          "  \"SN-B\": {\"S101\": 0},\n  \"SN-A\": "
                          "{\"S101\": 0}}}\n")
            << 3 << "one-master: S101=0 on SN-B and SN-A\n"
            << QString();
        QTest::newRow("JSON serial twice")
            << QStringList()
            << QByteArray("{\"radios\": {\n \"SN-A\": {\"S101\": 0},\n \"SN-A\": {}}}\n") << 3
            << QString() << "{file}:3: \"SN-A\" is given twice\n";
    }

    void netCheck()
    {
        QFETCH(QStringList, sections);
        QFETCH(QByteArray, tail);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QByteArray text =
            sections.isEmpty() ? "" : "[network]\nS104=20261207\nS133=0\nS244=1\nS159=1\n";
        for (int i = 0; i < sections.size(); ++i)
            text += "[radio SN-" + QByteArray(1, char('A' + i)) + "]\n" + sections.at(i).toUtf8();
        const QString plan = file("site.ini", text + tail);
        const Run result = run({"net", "check", plan});
        QCOMPARE(result.code, code);
        QCOMPARE(result.out, out);
        QVERIFY2(result.err.startsWith(err.isEmpty() ? QString()
                                                     : "dr58ctl: " + err.replace("{file}", plan)),
                 qPrintable(result.err));
    }

    // A sound network audited clean, read into a plan that passes its check and its audit; then
    // two radios changed break two rules and differ from the plan: each problem named, and each
    // radio's record lists its own.
    void netAuditAndPlan()
    {
        const QString master = "S101=0 S105=1 S118=1 S140=2 S141=1";
        network({"SN-A", "SN-B", "SN-C"},
                {master, "S101=1 S105=3 S114=1 S118=1 S140=1", "S101=2 S105=2 S118=1 S140=1"},
                "S104=20261207 S244=1 S221=12");
        const QString missing = m_dir->filePath("gone");
        const Run unread = run(QStringList{"net", "audit", "--port", missing} + ports(3));
        QCOMPARE(unread.code, 4); // a radio not read fails the audit as it fails any command
        QCOMPARE(unread.out, QString());
        for (int i = 0; i < 3; ++i)
            modem(i).clearReceived();
        const Run sound = run(QStringList{"net", "audit"} + ports(3));
        QCOMPARE(sound.code, 0);
        QCOMPARE(sound.out, QString("3 radios: every network rule holds\n"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(modem(i).received(), ReadCommands + DataMode);

        const QString plan = m_dir->filePath("site.ini");
        const QString graph = m_dir->filePath("site.dot");
        const Run planned =
            run(QStringList{"net", "plan", "--output", plan, "--graph", graph} + ports(3));
        QCOMPARE(planned.code, 0);
        QCOMPARE(planned.out, "site plan of 3 radios in " + plan + "\n");
        QCOMPARE(QFile::permissions(plan) & 0x0FFF, QFile::ReadUser | QFile::WriteUser);
        QFile planFile(plan);
        QVERIFY(planFile.open(QIODevice::ReadOnly));
        const QString planText = QString::fromUtf8(planFile.readAll());
        for (const char *part : {"\n[network]\nS102=7\nS103=4\nS104=20261207\n",
                                 "\n[radio SN-A]\nS101=0\nS105=1\nS140=2\nS141=1\n",
                                 "\n[radio SN-C]\nS101=2\nS105=2\nS140=1\nS141=0\n"})
            QVERIFY2(planText.contains(part), qPrintable(planText));
        QCOMPARE(run({"net", "check", plan}).code, 0);
        QFile graphFile(graph);
        QVERIFY(graphFile.open(QIODevice::ReadOnly));
        const QByteArray dot = graphFile.readAll();
        QCOMPARE(dot, QByteArray("digraph network {\n  node [shape=box];\n"
                                 "  r0 [label=\"Master\\nSN-A\\nS105=1\"];\n"
                                 "  r1 [label=\"Repeater\\nSN-B\\nS105=3\"];\n"
                                 "  r2 [label=\"Slave\\nSN-C\\nS105=2\"];\n"
                                 "  r0 -> r2 [label=S140, style=dashed];\n"
                                 "  r1 -> r0 [label=S118];\n"
                                 "  r1 -> r0 [label=S140, style=dashed];\n"
                                 "  r2 -> r0 [label=S118];\n"
                                 "  r2 -> r0 [label=S140, style=dashed];\n}\n"));
        const Run same = run(QStringList{"net", "audit", plan} + ports(3));
        QCOMPARE(same.out, QString("3 radios: every network rule holds, each as planned\n"));
        const Run partial = run(QStringList{"net", "audit", plan} + ports(2));
        QCOMPARE(partial.code, 1);
        QCOMPARE(partial.out, QString("[radio SN-C] of the plan is on none of the ports given\n"));

        modem(1).setRegisterValue("S104", "7");
        modem(2).setRegisterValue("S105", "3");
        modem(0).setRegisterValue("S140", "9");
        const QString report = m_dir->filePath("audit.jsonl");
        const Run broken =
            run(QStringList{"net", "audit", plan, "--report", report, "--graph", graph} + ports(3));
        QCOMPARE(broken.code, 1);
        const QString shared = "shared: S104=20261207 on SN-A and SN-C, S104=7 on SN-B";
        const QString twice = "unit-address: S105=3 on SN-B and SN-C";
        const QString differsA = "SN-A: S140 Destination Address: modem 9, plan 2";
        const QString differsB = "SN-B: S104 Network Address(ID): modem 7, plan 20261207";
        const QString differsC = "SN-C: S105 Unit Address: modem 3, plan 2";
        QCOMPARE(broken.out,
                 QStringList({shared, twice, differsA, differsB, differsC, ""}).join('\n'));
        graphFile.close();
        QVERIFY(graphFile.open(QIODevice::ReadOnly));
        const QByteArray red = graphFile.readAll();
        for (const char *line : {"  r1 [label=\"Repeater\\nSN-B\\nS105=3\", color=red];\n",
                                 "  r0 [label=\"Master\\nSN-A\\nS105=1\"];\n",
                                 "  n0 [shape=note, label=\"S140=9 on SN-A names no radio\", "
                                 "color=red];\n  r0 -> n0 [color=red, style=dashed];\n"})
            QVERIFY2(red.contains(line), red.constData());
        QFile records(report);
        QVERIFY(records.open(QIODevice::ReadOnly));
        const QList<QStringList> problems{{differsA}, {shared, twice, differsB}, {twice, differsC}};
        for (int i = 0; i < 3; ++i) {
            const QJsonObject record = QJsonDocument::fromJson(records.readLine()).object();
            QCOMPARE(record.value("port").toString(), port(i));
            QCOMPARE(record.value("problems").toVariant().toStringList(), problems.at(i));
        }
    }

    // A plan applied to three radios gives each the network's values and its own section's,
    // written in register order and stored; a fourth radio, not in the plan, is refused once its
    // listing has given its serial number, and only "ATA" follows. A diff in JSON is JSON alone.
    void applyPlan()
    {
        network({"SN-A", "SN-B", "SN-C", "SN-D"}, {"", "", "", ""});
        const QString plan =
            file("site.ini", "[network]\nS104=424242\nS159=1\n[radio SN-A]\nS101=0\nS105=1\n"
                             "S141=1\n[radio SN-B]\nS101=1\nS105=3\n[radio SN-C]\nS105=4\n");
        const QString report = m_dir->filePath("apply.jsonl");
        const Run applied = run(QStringList{"apply", plan, "--report", report} + ports(3));
        QCOMPARE(applied.code, 0);
        QFile reportFile(report);
        QVERIFY(reportFile.open(QIODevice::ReadOnly));
        const QString records = QString::fromUtf8(reportFile.readAll());
        const QByteArray shared = "ATS104=424242\rATS104?\r";
        const QList<QByteArray> writes{
            "ATS101=0\rATS101?\r" + shared + "ATS105=1\rATS105?\rATS141=1\rATS141?\r",
            "ATS101=1\rATS101?\r" + shared + "ATS105=3\rATS105?\r", shared + "ATS105=4\rATS105?\r"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(modem(i).received(),
                     ReadCommands + writes.at(i) + "ATS159=1\rATS159?\r\rAT&W\r" + DataMode);
            QCOMPARE(modem(i).storedValue("S104"), QString("424242"));
            QVERIFY(applied.out.contains(port(i) + ": plan section [radio SN-" + QChar('A' + i) +
                                         "]\n"));
            QVERIFY(records.contains(QString("\"section\":\"radio SN-%1\"").arg(QChar('A' + i))));
        }

        modem(0).setRegisterValue("S105", "2");
        const Run json = run({"diff", plan, "--port", port(0), "--format", "json"});
        QCOMPARE(json.code, 1);
        QCOMPARE(json.out, "{\"differences\":[{\"modem\":\"2\",\"profile\":\"1\",\"register\":"
                           "\"S105\"}],\"port\":\"" +
                               port(0) + "\"}\n");

        const Run refused = run({"apply", plan, "--port", port(3)});
        QCOMPARE(refused.code, 10);
        QCOMPARE(refused.err, "dr58ctl: " + port(3) +
                                  ": the modem's serial number SN-D is not in the plan; nothing "
                                  "written\n");
        QCOMPARE(modem(3).received(), QByteArray("+++\rAT&V\r") + DataMode);
        QCOMPARE(modem(3).registerValue("S104"), QString("1234567"));
    }
};

QTEST_GUILESS_MAIN(CtlTest)
#include "tst_dr58ctl.moc"
