#include "cli.h"

#include "backupjobs.h"
#include "configjobs.h"
#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "firmwareimage.h"
#include "interrupt.h"
#include "jobchain.h"
#include "keepsettings.h"
#include "netcommands.h"
#include "portaddress.h"
#include "portdescription.h"
#include "portlist.h"
#include "runlog.h"
#include "runprinter.h"
#include "upgradeconstants.h"
#include "upgradejob.h"
#include "version.h"
#include "watchstation.h"

#include <QCommandLineParser>
#include <QLoggingCategory>
#include <algorithm>
#include <functional>

namespace Cli {

namespace {

const QCommandLineOption
    PortOption(QStringLiteral("port"),
               QStringLiteral("Serial port (e.g. /dev/ttyUSB0), or one on a serial device "
                              "server: rfc2217://HOST:PORT (the rate set from here) or "
                              "tcp://HOST:PORT (the server's rate); give it several times to "
                              "work on several modems at once."),
               QStringLiteral("port"));
const QCommandLineOption
    BaudOption(QStringLiteral("baud"),
               QStringLiteral("Baud rate of the port (default 9600), 8N1; \"auto\" tries the "
                              "modem's twelve serial rates, most common first, and reports the "
                              "one it answers at."),
               QStringLiteral("rate"), QString::number(CtlConstants::DefaultBaud));
const QCommandLineOption DebugOption(QStringLiteral("debug"),
                                     QStringLiteral("Show the debug log on standard error."));
const QCommandLineOption ReportOption(
    QStringLiteral("report"),
    QStringLiteral("Append one JSON object a line to this file (\"-\": standard output) for each "
                   "modem: what was done, its identity and the registers written."),
    QStringLiteral("file"));
const QCommandLineOption TranscriptOption(
    QStringLiteral("transcript"),
    QStringLiteral("Append every byte sent and received to this file (\"-\": standard output), "
                   "one line per burst (readable by its owner only)."),
    QStringLiteral("file"));
const QCommandLineOption ShowSecretsOption(
    QStringLiteral("show-secrets"),
    QStringLiteral("Show the encryption key (S160) in the transcript; without it each of its "
                   "characters is shown as \"*\"."));
const QCommandLineOption HelpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Show this help."));

struct Invocation
{
    QString command;
    QCommandLineParser &parser;
    QStringList ports;
    int baud;
    QString argument; // the one positional argument, when the command takes one
};

struct Command
{
    const char *name;
    const char *summary;
    const char *argument; // name of the positional argument, nullptr when none
    const char *argumentHelp;
    bool onPorts; // works on the modems of --port
    QList<QCommandLineOption> options;
    std::function<int(const Invocation &)> run;
    bool argumentOptional = false;
};

int usageError(const QString &command, const QString &message)
{
    const QString help = command.isEmpty() ? QStringLiteral("dr58ctl --help")
                                           : QStringLiteral("dr58ctl %1 --help").arg(command);
    Console::err(QStringLiteral("dr58ctl: %1 (see %2)\n").arg(message, help));
    return ExitCode::Usage;
}

// Opens the transcript the options name in `log` and the report in `report`; the exit code when one
// cannot be opened (its problem printed), before anything is sent.
std::optional<int> openLog(const Invocation &call, RunLog &log, RunLog &report)
{
    QString problem = log.openTranscript(call.parser.value(TranscriptOption),
                                         call.parser.isSet(ShowSecretsOption));
    if (problem.isEmpty())
        problem = report.openReport(call.parser.value(ReportOption));
    if (problem.isEmpty())
        return std::nullopt;
    Console::err(QStringLiteral("dr58ctl: %1\n").arg(problem));
    return ExitCode::BadFile;
}

// Whether a line of the report or the transcript, or of standard output, was lost.
bool somethingLost(const RunLog &log)
{
    return !log.lost().isEmpty() || !Console::outLost().isEmpty();
}

// A run on modems: with its transcript and report (`log`, or `report` apart when the work
// records its report itself), a stop that follows the signals caught from here on.
using RunWork = std::function<int(RunLog &log, RunLog &report, const Stop &stop)>;

int prepared(const Invocation &call, bool reportApart, const RunWork &work)
{
    RunLog log(call.command);
    RunLog apart(call.command);
    RunLog &report = reportApart ? apart : log;
    if (const auto code = openLog(call, log, report))
        return *code;
    Interrupt::install();
    const Stop stop(Stop::Source::Signals);
    return work(log, report, stop);
}

// A stopped run ends with the stop's code.
int unlessStopped(const Stop &stop, int code)
{
    return stop.requested() ? stop.exitCode() : code;
}

int runOnPorts(const Invocation &call, const PortJob &job)
{
    return prepared(call, false, [&](RunLog &log, RunLog &, const Stop &stop) {
        const int code =
            RunPrinter::report(RunPrinter::run(call.ports, call.baud, job, stop, &log));
        const bool fine = code == ExitCode::Ok || code == ExitCode::Different;
        return unlessStopped(stop, fine && somethingLost(log) ? ExitCode::WriteFailed : code);
    });
}

// The firmware file, checked; none, its problem printed, when it cannot be used.
std::optional<QByteArray> firmware(const QString &path)
{
    QString problem;
    std::optional<QByteArray> image = FirmwareImage::load(path, &problem);
    if (!image)
        Console::err(QStringLiteral("dr58ctl: %1: %2\n").arg(path, problem));
    return image;
}

// The whole number an option gives, within [min, max]; an empty message when it is one.
QString number(const QCommandLineParser &parser, const QCommandLineOption &option, int min, int max,
               int &value)
{
    bool isNumber = false;
    value = parser.value(option).toInt(&isNumber);
    if (isNumber && value >= min && value <= max)
        return {};
    return QStringLiteral("--%1: \"%2\" is not a whole number from %3 to %4")
        .arg(option.names().first(), parser.value(option))
        .arg(min)
        .arg(max);
}

// The rate --baud gives, or CtlConstants::AutoBaud for "auto"; an empty message when it is one.
QString baudProblem(const QCommandLineParser &parser, int &baud)
{
    if (parser.value(BaudOption) == QLatin1String("auto")) {
        baud = CtlConstants::AutoBaud;
        return {};
    }
    const QString problem =
        number(parser, BaudOption, CtlConstants::MinBaud, CtlConstants::MaxBaud, baud);
    return problem.isEmpty() ? problem : problem + QStringLiteral(", nor \"auto\"");
}

// The first port named twice, spelt either way ("ttyUSB0", "/dev/ttyUSB0", a link to it;
// "tcp://localhost:4001", "tcp://127.0.0.1:4001"); an empty message when there is none.
QString twicePort(const QStringList &ports)
{
    QVector<QStringList> seen;
    for (const QString &port : ports) {
        const QStringList identities = PortAddress(port).identities();
        for (int earlier = 0; earlier < seen.size(); ++earlier) {
            for (const QString &identity : identities) {
                if (seen.at(earlier).contains(identity))
                    return QStringLiteral("\"%1\" and \"%2\" are the same port")
                        .arg(ports.at(earlier), port);
            }
        }
        seen.append(identities);
    }
    return {};
}

const QCommandLineOption BackupDirOption(
    QStringLiteral("dir"),
    QStringLiteral("The folder of the backups, one folder per serial number (default %1).")
        .arg(BackupJobs::defaultDir()),
    QStringLiteral("dir"), BackupJobs::defaultDir());
const QCommandLineOption
    AtOption(QStringLiteral("at"),
             QStringLiteral("Restore the newest backup taken at or before TIME (ISO 8601, UTC "
                            "unless an offset is given, or a backup's file name) instead of "
                            "the newest."),
             QStringLiteral("time"));

int backupModems(const Invocation &call)
{
    return runOnPorts(call, BackupJobs::backup(call.parser.value(BackupDirOption)));
}

int restoreModems(const Invocation &call)
{
    std::optional<QDateTime> at;
    if (call.parser.isSet(AtOption)) {
        at = BackupJobs::timeOf(call.parser.value(AtOption));
        if (!at)
            return usageError(
                call.command,
                QStringLiteral("--at: \"%1\" is not a time").arg(call.parser.value(AtOption)));
    }
    return runOnPorts(
        call, ConfigJobs::apply(BackupJobs::newestBackup(call.parser.value(BackupDirOption), at),
                                false, true));
}

const QCommandLineOption
    OutputFormatOption(QStringLiteral("format"),
                       QStringLiteral("Output format: text (default) or json."),
                       QStringLiteral("format"), QStringLiteral("text"));

// The text or JSON format the option names; an empty optional (after the usage error) for another.
std::optional<bool> isJson(const Invocation &call)
{
    const QString format = call.parser.value(OutputFormatOption);
    if (format == QLatin1String("text") || format == QLatin1String("json"))
        return format == QLatin1String("json");
    usageError(call.command, QStringLiteral("unknown format \"%1\"").arg(format));
    return std::nullopt;
}

int listPorts(const Invocation &call)
{
    const std::optional<bool> json = isJson(call);
    if (!json)
        return ExitCode::Usage;
    QString text;
    if (*json)
        text = QString::fromUtf8(PortDescription::json());
    for (const QString &port : *json ? QStringList() : PortList::availablePorts())
        text += port + QLatin1Char('\n');
    return Console::out(text) ? ExitCode::Ok : ExitCode::WriteFailed;
}

const QCommandLineOption FormatOption(QStringLiteral("format"),
                                      QStringLiteral("Profile format: ini (default) or json."),
                                      QStringLiteral("format"), QStringLiteral("ini"));
const QCommandLineOption OutputOption(
    QStringLiteral("output"),
    QStringLiteral("Write the profile to this file instead of standard output (\"-\"); with "
                   "several ports it must contain %p, which stands for the port's name (pts-3, "
                   "ttyUSB0). On standard output the profiles of several ports follow one "
                   "another, each naming its port. A FIFO or a device is written as it is, "
                   "never replaced."),
    QStringLiteral("file"));

int readModems(const Invocation &call)
{
    const QString format = call.parser.value(FormatOption);
    if (format != QLatin1String("ini") && format != QLatin1String("json"))
        return usageError(QStringLiteral("read"),
                          QStringLiteral("unknown format \"%1\"").arg(format));
    QString output = call.parser.value(OutputOption);
    if (output == QLatin1String("-"))
        output.clear(); // standard output
    if (call.ports.size() > 1 && !output.isEmpty() && !output.contains(QLatin1String("%p")))
        return usageError(QStringLiteral("read"),
                          QStringLiteral("--output needs %p when several ports are given"));
    const auto kind =
        format == QLatin1String("json") ? ConfigJobs::Format::Json : ConfigJobs::Format::Ini;
    return runOnPorts(call, ConfigJobs::read(kind, output));
}

int diffModems(const Invocation &call)
{
    const std::optional<bool> json = isJson(call);
    if (!json)
        return ExitCode::Usage;
    const auto choice = NetCommands::settings(call.argument);
    return choice ? runOnPorts(call, ConfigJobs::diff(*choice, *json)) : ExitCode::BadFile;
}

const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"),
    QStringLiteral("Only print what would be written. The modem is read as by \"read\" "
                   "(+++, AT&V, the five single queries, ATA) and nothing else is sent."));
const QCommandLineOption
    NoSaveOption(QStringLiteral("no-save"),
                 QStringLiteral("Do not store the registers (AT&W) afterwards."));

int applyProfile(const Invocation &call)
{
    const auto choice = NetCommands::settings(call.argument);
    if (!choice)
        return ExitCode::BadFile;
    return runOnPorts(call, ConfigJobs::apply(*choice, call.parser.isSet(DryRunOption),
                                              !call.parser.isSet(NoSaveOption)));
}

const QCommandLineOption PresetOption(
    QStringLiteral("preset"),
    QStringLiteral("The preset's English name, in any case: PMP Master, PMP Slave, PMP Repeater, "
                   "PP Master, PP Slave, PP Repeater, Mesh With Center Master, Mesh With Center "
                   "Slave."),
    QStringLiteral("name"));
const QCommandLineOption SaveOption(QStringLiteral("save"),
                                    QStringLiteral("Store the restored registers (AT&W)."));

int resetModems(const Invocation &call)
{
    const QString name = call.parser.value(PresetOption);
    for (const Preset &preset : Presets::all()) {
        if (name.compare(QLatin1String(preset.englishName), Qt::CaseInsensitive) == 0)
            return runOnPorts(call, ConfigJobs::reset(preset, call.parser.isSet(SaveOption)));
    }
    return usageError(QStringLiteral("reset"),
                      name.isEmpty() ? QStringLiteral("--preset is required")
                                     : QStringLiteral("unknown preset \"%1\"").arg(name));
}

const QCommandLineOption AnnounceOption(
    QStringLiteral("announce-timeout"),
    QStringLiteral("Seconds to wait for the modem to enter its update mode (default %1). Once it "
                   "has, a run that makes no progress for %2 s fails (exit 9).")
        .arg(CtlConstants::AnnounceTimeout)
        .arg(CtlConstants::NoProgressTimeout),
    QStringLiteral("seconds"), QString::number(CtlConstants::AnnounceTimeout));
const QByteArray FirmwareHelp =
    QStringLiteral("The firmware file, sent unchanged: a regular file of 1 to %1 bytes (the "
                   "update frames' 16-bit packet index addresses no more).")
        .arg(UpgradeConstants::MaxImageSize)
        .toLatin1();

const QCommandLineOption KeepSettingsOption(
    QStringLiteral("keep-settings"),
    QStringLiteral("Back up the registers first (see backup), and once the upgraded modem answers "
                   "again (within %1 s) write back, verify and store every one that differs.")
        .arg(CtlConstants::UpgradeReturnTimeout));
const QCommandLineOption BackupDirForUpgradeOption(
    QStringLiteral("backup-dir"),
    QStringLiteral("With --keep-settings: the folder of the backups (default %1).")
        .arg(BackupJobs::defaultDir()),
    QStringLiteral("dir"), BackupJobs::defaultDir());

// The upgrade job, keeping the settings when asked to.
PortJob upgradeJob(const Invocation &call, const QByteArray &image, int announceMs)
{
    const PortJob job = UpgradeJob::upgrade(image, announceMs);
    if (!call.parser.isSet(KeepSettingsOption))
        return job;
    return KeepSettings::upgrade(job, call.parser.value(BackupDirForUpgradeOption));
}

int upgradeModems(const Invocation &call)
{
    int seconds = 0;
    const QString problem =
        number(call.parser, AnnounceOption, 1, CtlConstants::MaxAnnounceTimeout, seconds);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("upgrade"), problem);
    const std::optional<QByteArray> image = firmware(call.argument);
    if (!image)
        return ExitCode::BadFile;
    return runOnPorts(call, upgradeJob(call, *image, seconds * 1000));
}

const QCommandLineOption DirOption(
    QStringLiteral("dir"),
    QStringLiteral("The directory to watch for serial devices (default /dev/serial/by-id): a "
                   "folder, or a path not there yet; a symbolic link is followed as it is "
                   "re-pointed."),
    QStringLiteral("dir"), QStringLiteral("/dev/serial/by-id"));
const QCommandLineOption
    CountOption(QStringLiteral("count"),
                QStringLiteral("End after this many modems (default: run until interrupted)."),
                QStringLiteral("n"));
const QCommandLineOption FirmwareOption(
    QStringLiteral("firmware"),
    QStringLiteral("Upgrade each modem with this *.stz file before applying the profile."),
    QStringLiteral("file"));

int watchDevices(const Invocation &call)
{
    int baud = 0;
    int count = 0;
    QString problem = baudProblem(call.parser, baud);
    if (problem.isEmpty() && call.parser.isSet(CountOption))
        problem = number(call.parser, CountOption, 1, CtlConstants::MaxWatchCount, count);
    const QString dir = call.parser.value(DirOption);
    if (problem.isEmpty() && !WatchStation::mayBeFolder(dir))
        problem = QStringLiteral("--dir: \"%1\" is not a folder").arg(dir);
    if (!problem.isEmpty())
        return usageError(call.command, problem);
    const bool upgrading = !call.parser.value(FirmwareOption).isEmpty();
    const std::optional<QByteArray> image =
        upgrading ? firmware(call.parser.value(FirmwareOption)) : std::nullopt;
    if (upgrading && !image)
        return ExitCode::BadFile;
    const auto choice = NetCommands::settings(call.argument);
    if (!choice)
        return ExitCode::BadFile;
    PortJob job = ConfigJobs::apply(*choice, false, true);
    if (image)
        job = JobChain::then(upgradeJob(call, *image, CtlConstants::AnnounceTimeout * 1000), job);
    return prepared(call, false, [&](RunLog &log, RunLog &, const Stop &stop) {
        const int code = WatchStation::run({dir, baud, count}, job, log, stop);
        return somethingLost(log) ? std::max(code, ExitCode::WriteFailed) : code;
    });
}

int probeModems(const Invocation &call)
{
    const std::optional<bool> json = isJson(call);
    return json ? runOnPorts(call, ConfigJobs::probe(*json)) : ExitCode::Usage;
}

const char *const ProfileHelp =
    "The profile: INI (NAME=VALUE lines, as \"read\" writes them) or JSON (as \"read --format "
    "json\" writes it), or a site plan: each modem gets the plan's [network] settings and those "
    "of its own [radio SERIAL] section, found by the serial number it reports (I4). It is "
    "checked, and a plan against the network rules, before anything is sent.";
const char *const PlanHelp =
    "The site plan: INI ([network] and [radio SERIAL] sections of NAME=VALUE lines) or JSON "
    "({\"network\": {...}, \"radios\": {SERIAL: {...}}}).";

const QCommandLineOption GraphOption(
    QStringLiteral("graph"),
    QStringLiteral("Also write the network as a Graphviz DOT file (\"dot -Tsvg\" draws it): each "
                   "radio with its role, serial number and unit address, its sync (S118) and "
                   "dashed destination (S140) edges, the radios of a broken rule in red."),
    QStringLiteral("file"));
const QCommandLineOption PlanOutputOption(
    QStringLiteral("output"),
    QStringLiteral("The site plan to write (readable by its owner only): JSON when the name ends "
                   "in .json, INI otherwise."),
    QStringLiteral("file"));

int checkPlan(const Invocation &call)
{
    return NetCommands::check(call.argument, call.parser.value(GraphOption));
}

int auditNetwork(const Invocation &call)
{
    return prepared(call, true, [&](RunLog &log, RunLog &report, const Stop &stop) {
        return unlessStopped(
            stop, NetCommands::audit(call.argument, call.ports, call.baud,
                                     {call.parser.value(GraphOption), &log, &report, stop}));
    });
}

int planNetwork(const Invocation &call)
{
    const QString output = call.parser.value(PlanOutputOption);
    if (output.isEmpty())
        return usageError(call.command, QStringLiteral("--output is required"));
    return prepared(call, false, [&](RunLog &log, RunLog &, const Stop &stop) {
        return unlessStopped(
            stop, NetCommands::plan(output, call.ports, call.baud,
                                    {call.parser.value(GraphOption), &log, nullptr, stop}));
    });
}

// The commands that read modems' settings.
QList<Command> queryCommands()
{
    return {
        {"probe",
         "Find the modem's rate and identity: baud and I1..I4, one \"name: value\" a line.",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, OutputFormatOption},
         probeModems},
        {"read",
         "Read the modem's registers into a profile.",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, FormatOption, OutputOption},
         readModems},
        {"diff",
         "Compare a profile with the modem; exit 1 when they differ.",
         "PROFILE",
         ProfileHelp,
         true,
         {PortOption, BaudOption, OutputFormatOption},
         diffModems},
    };
}

// The commands that write modems' settings, or keep them.
QList<Command> settingsCommands()
{
    return {
        {"apply",
         "Write the registers of a profile that differ, verify and store them.",
         "PROFILE",
         ProfileHelp,
         true,
         {PortOption, BaudOption, DryRunOption, NoSaveOption},
         applyProfile},
        {"backup",
         "Back up the modem's registers to DIR/<serial number>/<UTC time>.ini.",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, BackupDirOption},
         backupModems},
        {"restore",
         "Apply the newest backup of the modem's own serial number, as apply does.",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, BackupDirOption, AtOption},
         restoreModems},
        {"reset",
         "Restore a factory preset (AT&F<code>).",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, PresetOption, SaveOption},
         resetModems},
    };
}

// The firmware and provisioning commands.
QList<Command> firmwareCommands()
{
    return {
        {"upgrade",
         "Replace the modem's firmware with a *.stz file.",
         "FILE",
         FirmwareHelp.constData(),
         true,
         {PortOption, BaudOption, AnnounceOption, KeepSettingsOption, BackupDirForUpgradeOption},
         upgradeModems},
        {"watch",
         "Provision each serial device that appears: upgrade (--firmware), then apply.",
         "PROFILE",
         ProfileHelp,
         false,
         {DirOption, BaudOption, CountOption, FirmwareOption, KeepSettingsOption,
          BackupDirForUpgradeOption, ReportOption, TranscriptOption, ShowSecretsOption},
         watchDevices},
    };
}

// The network commands.
QList<Command> networkCommands()
{
    return {
        {"net check",
         "Check a site plan against the network rules, no modem needed.",
         "PLAN",
         PlanHelp,
         false,
         {GraphOption},
         checkPlan},
        {"net audit",
         "Read every modem and check the network rules over them, and against a plan.",
         "PLAN",
         PlanHelp,
         true,
         {PortOption, BaudOption, GraphOption},
         auditNetwork,
         true},
        {"net plan",
         "Read a working network into a site plan.",
         nullptr,
         nullptr,
         true,
         {PortOption, BaudOption, PlanOutputOption, GraphOption},
         planNetwork},
    };
}

const QList<Command> &commands()
{
    static const QList<Command> list =
        QList<Command>{
            {"ports",
             "List the serial ports, one a line, or in JSON with their USB IDs.",
             nullptr,
             nullptr,
             false,
             {OutputFormatOption},
             listPorts},
        } +
        queryCommands() + settingsCommands() + firmwareCommands() + networkCommands();
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString exitCodeHelp()
{
    return QStringLiteral(
        "Exit codes:\n"
        "  0  success (diff: no difference)\n"
        "  1  diff: the modem differs from the profile; net audit: a network rule is\n"
        "     broken or a modem differs from the plan; net plan: a rule is broken\n"
        "  2  bad usage\n"
        "  3  bad profile or firmware file (file and line named), or a report or\n"
        "     transcript that cannot be opened; nothing was sent (restore: no backup\n"
        "     of the radio, nothing written; backup: none could be written). net check:\n"
        "     a rule is broken; apply, diff, watch: the plan breaks a rule\n"
        "  4  the port does not exist (a server's host name is not found)\n"
        "  5  permission denied on the port (join the dialout group)\n"
        "  6  the port is in use, cannot be opened, or failed while in use (a server\n"
        "     refused the connection, did not answer, or went away)\n"
        "  7  no answer from the modem, no confirmation of its return to data mode,\n"
        "     or (read) values it gave that cannot be read\n"
        "  8  a register, preset or store refused, or a register read back different;\n"
        "     apply names the registers written, the one that failed and those not written\n"
        "  9  the firmware upgrade failed\n"
        "  10 the modem's serial number (I4) is not in the site plan; nothing written\n"
        "  11 a profile, plan, report, transcript or standard output could not be\n"
        "     written whole (file and reason named); the modems were returned to\n"
        "     data mode all the same\n"
        "  128+n  stopped by signal n (130: SIGINT): no new command sent, the modems returned\n"
        "     to data mode, and what was written and not stored reported for each port\n"
        "With several ports the code is the first failing port's, in the order given;\n"
        "watch ends with the highest code among its modems.\n");
}

QString commandHelp(const Command &command, QCommandLineParser &parser)
{
    QString help = parser.helpText();
    QString argument = command.argument ? QStringLiteral(" ") + command.argument : QString();
    if (command.argumentOptional)
        argument = QStringLiteral(" [%1]").arg(argument.mid(1));
    const QString usage =
        QStringLiteral("Usage: dr58ctl %1 [options]%2").arg(QLatin1String(command.name), argument);
    help.replace(0, help.indexOf(QLatin1Char('\n')), usage);
    return help + QLatin1Char('\n') + exitCodeHelp();
}

void setUp(QCommandLineParser &parser, const Command &command)
{
    parser.setApplicationDescription(QLatin1String(command.summary));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(HelpOption);
    parser.addOption(DebugOption);
    for (const QCommandLineOption &option : command.options)
        parser.addOption(option);
    if (command.onPorts)
        parser.addOptions({ReportOption, TranscriptOption, ShowSecretsOption});
    if (command.argument)
        parser.addPositionalArgument(QLatin1String(command.argument),
                                     QLatin1String(command.argumentHelp));
}

// Checks the common options; an empty message when they are fine.
QString checkCall(const Command &command, QCommandLineParser &parser, Invocation &call)
{
    const QStringList positional = parser.positionalArguments();
    const int wanted = command.argument ? 1 : 0;
    if (positional.size() != wanted && !(command.argumentOptional && positional.isEmpty()))
        return command.argument ? QStringLiteral("expected one %1").arg(command.argument)
                                : QStringLiteral("unexpected \"%1\"").arg(positional.first());
    call.argument = positional.value(0);
    if (!command.onPorts)
        return {};
    call.ports = parser.values(PortOption);
    if (call.ports.isEmpty())
        return QStringLiteral("--port is required");
    const QString twice = twicePort(call.ports);
    if (!twice.isEmpty())
        return twice;
    for (const QString &port : call.ports) {
        const PortAddress address(port);
        if (!address.problem().isEmpty())
            return address.problem();
        if (address.hasFixedRate() && parser.isSet(BaudOption))
            return QStringLiteral("--baud is meaningless for \"%1\": a tcp:// port has the "
                                  "rate its server is set to")
                .arg(port);
    }
    return baudProblem(parser, call.baud);
}

// The debug lines, shown on request, show their bare text without the name of their category.
void showDebug(bool shown)
{
    qSetMessagePattern(QStringLiteral("%{message}"));
    if (!shown)
        QLoggingCategory::setFilterRules(QStringLiteral("dr58.*.debug=false"));
}

} // namespace

QString generalHelp()
{
    QString help = QStringLiteral("Usage: dr58ctl <command> [options]\n"
                                  "       dr58ctl --help | --version\n\n"
                                  "Provisions DR58 radio modems over their serial line.\n\n"
                                  "Commands:\n");
    for (const Command &command : commands())
        help += QStringLiteral("  %1 %2\n")
                    .arg(QString::fromLatin1(command.name).leftJustified(9),
                         QLatin1String(command.summary));
    return help +
           QStringLiteral("\n\"dr58ctl <command> --help\" tells the command's options.\n\n") +
           exitCodeHelp();
}

namespace {

// The text of "--help" or "--version"; none for a command.
std::optional<QString> generalText(const QString &name)
{
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help"))
        return generalHelp();
    if (name == QLatin1String("--version"))
        return QStringLiteral("dr58ctl " DR58_VERSION "\n");
    return std::nullopt;
}

} // namespace

int run(const QStringList &arguments)
{
    QString name = arguments.value(0);
    int firstOption = 1;
    if (name == QLatin1String("net") && arguments.size() > 1) // "net check", "net audit", ...
        name += QLatin1Char(' ') + arguments.value(firstOption++);
    if (const auto text = generalText(name))
        return Console::out(*text) ? ExitCode::Ok : ExitCode::WriteFailed;
    const Command *command = findCommand(name);
    if (!command && name.startsWith(QLatin1String("net")))
        return usageError({}, QStringLiteral("net takes check, audit or plan"));
    if (!command)
        return usageError({}, name.isEmpty() ? QStringLiteral("no command given")
                                             : QStringLiteral("unknown command \"%1\"").arg(name));
    QCommandLineParser parser;
    setUp(parser, *command);
    if (!parser.parse(QStringList{QStringLiteral("dr58ctl")} + arguments.mid(firstOption)))
        return usageError(name, parser.errorText());
    if (parser.isSet(HelpOption)) {
        return Console::out(commandHelp(*command, parser)) ? ExitCode::Ok : ExitCode::WriteFailed;
    }
    showDebug(parser.isSet(DebugOption));
    Invocation call{name, parser, {}, CtlConstants::DefaultBaud, {}};
    const QString problem = checkCall(*command, parser, call);
    if (!problem.isEmpty())
        return usageError(name, problem);
    const int code = command->run(call);
    return code == ExitCode::Ok && !Console::outLost().isEmpty() ? ExitCode::WriteFailed : code;
}

} // namespace Cli
