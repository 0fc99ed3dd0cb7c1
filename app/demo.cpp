// The tool wired to a simulated modem on a pseudo-terminal, so that it can be tried without
// hardware: the simulated port is offered (and selected) in the port list.
#include "at.h"
#include "portlist.h"
#include "simmodem.h"
#include "startup.h"

#include <QApplication>
#include <QComboBox>
#include <QTranslator>
#include <cstdio>

namespace {

bool hasDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "dr58demo: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or over ssh with X forwarding (ssh -X),\n"
                     "or on a virtual display: xvfb-run -a ./build/app/dr58demo\n");
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
    return app.exec();
}
