#include "linehost.h"

#include "pacedline.h"
#include "replymarkers.h"
#include "simmodem.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

const QByteArray StartRequest("\x0C\0\0\0\0\0\0\x12\x34\x02\x08\x01\x01", 13); // its header

// Bytes from the first occurrence of `marker` on (after it with `after`), 0 without one.
qint64 bytesFrom(const QByteArray &bytes, const QByteArray &marker, bool after)
{
    const int at = bytes.indexOf(marker);
    if (at < 0)
        return 0;
    return bytes.size() - at - (after ? marker.size() : 0);
}

} // namespace

int runLineHost(int rate)
{
    SimModem modem;
    modem.setBaudRate(rate);
    QString error;
    PacedLine line(rate);
    if (!modem.start(&error) || !line.open(modem.portName(), &error)) {
        std::fprintf(stderr, "line: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("port %s\n", qPrintable(line.toolPort()));
    std::fflush(stdout);
    int sentBefore = 0;
    for (std::string command; std::getline(std::cin, command);) {
        if (command == "reset") {
            modem.clearReceived();
            sentBefore = modem.sent().size();
            line.forgetStartFrame();
            std::printf("ok\n");
        } else if (command == "babble") {
            modem.setFault(SimModem::Fault::Babble);
            std::printf("ok\n");
        } else if (command == "counts") {
            const QByteArray received = modem.received();
            const QByteArray sent = modem.sent().mid(sentBefore);
            std::printf("counts %d %d %lld %lld %lld\n", received.size(), sent.size(),
                        bytesFrom(received, StartRequest, false),
                        bytesFrom(sent, ReplyMarkers::UpdateAnnouncement, true),
                        line.startFrameNs());
        }
        std::fflush(stdout);
    }
    return 0;
}
