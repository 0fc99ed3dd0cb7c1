// dr58sim: a simulated DR58 modem on a pseudo-terminal, for trying the tool without hardware.
#include "faultstate.h"
#include "simconstants.h"
#include "simmodem.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace {

struct Options
{
    QString link;
    int baud = 0;
    int lineBaud = 0;
    SimFault fault = SimFault::None;
    QVector<std::pair<SimModem::Identity, QString>> identity;
    QVector<std::pair<QString, QString>> registers; // set working and stored at the start
};

struct IdentityOption
{
    SimModem::Identity line;
    QCommandLineOption option;
};

const QVector<IdentityOption> &identityOptions()
{
    const auto option = [](const char *name, const char *what) {
        return QCommandLineOption(QLatin1String(name),
                                  QStringLiteral("Report <text> as the %1.").arg(what),
                                  QStringLiteral("text"));
    };
    static const QVector<IdentityOption> options = {
        {SimModem::Identity::HardwareVersion, option("hardware-version", "hardware version")},
        {SimModem::Identity::FirmwareVersion, option("firmware-version", "firmware version")},
        {SimModem::Identity::SoftwareVersion, option("software-version", "software version")},
        {SimModem::Identity::SerialNumber, option("serial-number", "serial number")},
    };
    return options;
}

[[noreturn]] void refuse(const QString &what, const QString &value)
{
    std::fprintf(stderr, "dr58sim: %s: %s\n", qPrintable(what), qPrintable(value));
    std::exit(2);
}

int rateOption(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    if (!parser.isSet(option))
        return 0;
    bool ok = false;
    const int rate = parser.value(option).toInt(&ok);
    if (!ok || rate <= 0)
        refuse(QStringLiteral("bad rate"), parser.value(option));
    return rate;
}

// The options that are not an identity line's.
struct OptionSet
{
    QCommandLineOption link{QStringLiteral("link"),
                            QStringLiteral("Keep a symlink to the port at <path>."),
                            QStringLiteral("path")};
    QCommandLineOption baud{QStringLiteral("baud"),
                            QStringLiteral("Pace at <rate> bits/s instead of the rate set on the "
                                           "line."),
                            QStringLiteral("rate")};
    QCommandLineOption fault{QStringLiteral("fault"),
                             QStringLiteral("Misbehave from the start, one of: ") +
                                 faultNames().join(QStringLiteral(", ")) + '.',
                             QStringLiteral("name")};
    QCommandLineOption lineBaud{
        QStringLiteral("line-baud"),
        QStringLiteral("Listen at <rate> bits/s only: bytes sent at another rate get no answer."),
        QStringLiteral("rate")};
    QCommandLineOption set{
        QStringLiteral("set"),
        QStringLiteral("Start with register NAME at VALUE, working and stored (\"S105=3\"); give "
                       "it once per register."),
        QStringLiteral("NAME=VALUE")};
};

QVector<std::pair<SimModem::Identity, QString>> identityValues(const QCommandLineParser &parser)
{
    QVector<std::pair<SimModem::Identity, QString>> identity;
    for (const IdentityOption &option : identityOptions()) {
        if (!parser.isSet(option.option))
            continue;
        const QString text = parser.value(option.option);
        if (!RegisterBank::acceptsIdentity(text))
            refuse(QStringLiteral("--%1 wants 1 to %2 printable ASCII characters")
                       .arg(option.option.names().constFirst())
                       .arg(SimConstants::MaxIdentityLength),
                   text);
        identity.append({option.line, text});
    }
    return identity;
}

QVector<std::pair<QString, QString>> registerValues(const QStringList &settings)
{
    QVector<std::pair<QString, QString>> registers;
    for (const QString &setting : settings) {
        const QString name = setting.section(QLatin1Char('='), 0, 0);
        const QString value = setting.section(QLatin1Char('='), 1);
        if (!setting.contains(QLatin1Char('=')) || !RegisterBank::accepts(name, value))
            refuse(QStringLiteral("--set wants NAME=VALUE of a register and a value it takes"),
                   setting);
        registers.append({name, value});
    }
    return registers;
}

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated DR58 radio modem on a pseudo-terminal. Prints the port's path, "
                       "then runs until interrupted."));
    parser.addHelpOption();
    parser.addVersionOption();
    const OptionSet flags;
    parser.addOptions({flags.link, flags.baud, flags.lineBaud, flags.fault, flags.set});
    for (const IdentityOption &identity : identityOptions())
        parser.addOption(identity.option);
    parser.process(app);

    Options options;
    options.link = parser.value(flags.link);
    options.baud = rateOption(parser, flags.baud);
    options.lineBaud = rateOption(parser, flags.lineBaud);
    if (parser.isSet(flags.fault)) {
        const auto named = faultFromName(parser.value(flags.fault));
        if (!named)
            refuse(QStringLiteral("unknown fault"), parser.value(flags.fault));
        options.fault = *named;
    }
    options.identity = identityValues(parser);
    options.registers = registerValues(parser.values(flags.set));
    return options;
}

// Blocked before any thread starts, so that only the wait below receives them.
sigset_t stopSignals()
{
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGINT);
    sigaddset(&stopSet, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
    return stopSet;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dr58sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DR58_VERSION));
    const Options options = parseOptions(app);
    const sigset_t stopSet = stopSignals();

    SimModem modem;
    modem.setBaudRate(options.baud);
    modem.setLineBaud(options.lineBaud);
    for (const auto &identity : options.identity)
        modem.setIdentity(identity.first, identity.second);
    for (const auto &setting : options.registers) {
        modem.setRegisterValue(setting.first, setting.second);
        modem.setStoredValue(setting.first, setting.second);
    }
    modem.setFault(options.fault);
    QString error;
    if (!modem.start(&error)) {
        std::fprintf(stderr, "dr58sim: %s\n", qPrintable(error));
        return 1;
    }
    if (!options.link.isEmpty() && !modem.linkTo(options.link)) {
        std::fprintf(stderr, "dr58sim: cannot link %s\n", qPrintable(options.link));
        return 1;
    }
    std::printf("%s\n", qPrintable(modem.portName()));
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSet, &received);
    modem.stop();
    return 0;
}
