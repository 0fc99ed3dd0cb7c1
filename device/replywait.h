#pragma once

#include "deviceconstants.h"
#include "replyparser.h"

#include <QByteArray>
#include <functional>

class ModemLine;

// Collecting one reply of the modem after a command was written.
namespace ReplyWait {

enum class Outcome {
    NoAnswer, // nothing within the first two seconds (or the port is closed)
    Complete, // the closing "OK\r\n" arrived
    Quiet,    // the modem fell silent for the accepted number of periods without "OK\r\n"
    Cut,      // the modem talked past the total limit without "OK\r\n"
    Overflow  // the reply grew past its size cap without "OK\r\n"
};

// How long a reply may take and how large it may grow.
struct Bounds
{
    int firstBytes = DeviceConstants::FirstBytesTimeout; // milliseconds to start answering
    int total = DeviceConstants::TotalLimit; // milliseconds from the command until the reply is cut
    int maxSize = 0;                         // bytes the reply may hold; 0: no cap
    // Asked every StopPoll ms; once it says stop, the reply under way gets StopGrace ms more at
    // most. None: the wait runs to its bounds.
    std::function<bool()> stop;
};

// Waits for the reply to the command just written and appends it to `buffer`, which is cleared
// first in every case, so a closed port leaves no earlier reply behind to be judged again.
// The first bytes are awaited in a local event loop, so the window stays live meanwhile; later
// bytes with blocking reads, until `silentPeriods` silent periods have passed in all. `rule`
// says where the closing "OK\r\n" may stand.
Outcome collect(ModemLine &port, QByteArray &buffer, int silentPeriods,
                ReplyParser::Completion rule = ReplyParser::Completion::Anywhere,
                const Bounds &bounds = Bounds());

} // namespace ReplyWait
