// The tool wired to a simulated modem on a pseudo-terminal, so that it can be tried without
// hardware: the simulated port is offered (and selected) in the port list. With
// --screenshot FILE it opens the port, enters AT mode, queries, saves a picture and quits.
#include "at.h"
#include "portlist.h"
#include "simmodem.h"
#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// Runs the first steps of a session as an operator would, then saves the window's picture.
void screenshotSession(AT &window, const QString &file)
{
    for (const char *name : {"btnUart", "btnEnterAT", "btnQuery"})
        window.findChild<QPushButton *>(QLatin1String(name))->click();
    const bool saved = window.grab().save(file);
    std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "saved" : "cannot save",
                 qPrintable(file));
    QCoreApplication::exit(saved ? 0 : 1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "dr58demo: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session or over ssh with X forwarding (ssh -X).\n"
                     "Without any display, a scripted session can still be saved as a picture:\n"
                     "  QT_QPA_PLATFORM=offscreen ./build/app/dr58demo --screenshot demo.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTranslator translator;
    prepareApplication(app, translator);

    SimModem modem;
    QString error;
    if (!modem.start(&error)) {
        std::fprintf(stderr, "dr58demo: cannot start the simulated modem: %s\n", qPrintable(error));
        return 1;
    }
    PortList::addExtraPort(modem.portName());
    std::printf("Simulated DR58 modem on %s\n", qPrintable(modem.portName()));
    std::fflush(stdout);

    AT window;
    auto *ports = window.findChild<QComboBox *>(QStringLiteral("UartCom"));
    ports->setCurrentText(modem.portName());
    showCentred(window);
    const int shot = app.arguments().indexOf(QStringLiteral("--screenshot"));
    if (shot > 0 && shot + 1 < app.arguments().size()) {
        const QString file = app.arguments().at(shot + 1);
        QTimer::singleShot(0, &window, [&window, file] { screenshotSession(window, file); });
    }
    return app.exec();
}
