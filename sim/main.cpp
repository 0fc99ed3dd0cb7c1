// dr58sim: a simulated DR58 modem on a pseudo-terminal, for trying the tool without hardware.
#include "faultstate.h"
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
    SimFault fault = SimFault::None;
};

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Simulated DR58 radio modem on a pseudo-terminal. Prints the port's path, "
                       "then runs until interrupted."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Keep a symlink to the port at <path>."),
                                  QStringLiteral("path"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace at <rate> bits/s instead of the rate set "
                                                 "on the line."),
                                  QStringLiteral("rate"));
    const QCommandLineOption fault(QStringLiteral("fault"),
                                   QStringLiteral("Misbehave from the start, one of: ") +
                                       faultNames().join(QStringLiteral(", ")) + '.',
                                   QStringLiteral("name"));
    parser.addOptions({link, baud, fault});
    parser.process(app);

    Options options;
    options.link = parser.value(link);
    if (parser.isSet(baud)) {
        bool ok = false;
        options.baud = parser.value(baud).toInt(&ok);
        if (!ok || options.baud <= 0) {
            std::fprintf(stderr, "dr58sim: bad rate: %s\n", qPrintable(parser.value(baud)));
            std::exit(2);
        }
    }
    if (parser.isSet(fault)) {
        const auto named = faultFromName(parser.value(fault));
        if (!named) {
            std::fprintf(stderr, "dr58sim: unknown fault: %s\n", qPrintable(parser.value(fault)));
            std::exit(2);
        }
        options.fault = *named;
    }
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
