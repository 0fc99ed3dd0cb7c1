#pragma once

#include "replyparser.h"

#include <QByteArray>

class QIODevice;

// Collecting one reply of the modem after a command was written.
namespace ReplyWait {

constexpr int FirstBytesTimeout = 2000; // milliseconds the modem has to start answering
constexpr int SilentPeriod = 1000;      // milliseconds of one blocking read after that
// A modem that keeps talking without ever saying "OK\r\n" is cut off after this long.
constexpr int TotalLimit = 30000; // milliseconds

enum class Outcome {
    NoAnswer, // nothing within the first two seconds (or the port is closed)
    Complete, // the closing "OK\r\n" arrived
    Quiet,    // the modem fell silent for the accepted number of periods without "OK\r\n"
    Cut       // the modem talked past the total limit without "OK\r\n"
};

// Waits for the reply to the command just written and appends it to `buffer`, which is cleared
// first in every case, so a closed port leaves no earlier reply behind to be judged again.
// The first bytes are awaited in a local event loop, so the window stays live meanwhile; later
// bytes with blocking reads of one silent period each, at most `silentPeriods` silent ones.
// `rule` says where the closing "OK\r\n" may stand; `firstBytes` is how long the modem has to
// start answering, in milliseconds.
Outcome collect(QIODevice &port, QByteArray &buffer, int silentPeriods,
                ReplyParser::Completion rule = ReplyParser::Completion::Anywhere,
                int firstBytes = FirstBytesTimeout);

} // namespace ReplyWait
