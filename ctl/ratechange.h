#pragma once

#include "applyrun.h"
#include "portjobs.h"

#include <optional>

// A new serial rate stored in the modem (S102) is followed at once, so that nobody is left
// guessing at which rate the radio listens: back in data mode the modem changes its rate, the
// line is set to the new one (on rfc2217:// the server's line), and the modem is entered again
// and its S102 read back.
namespace RateChange {

struct Change
{
    int from;     // the line's rate the modem answered at (S102's on tcp://), bits per second
    int to;       // the rate the stored S102 stands for
    QString code; // S102's wire value
};

// The change of rate an apply made: S102 written, read back and stored with another rate than
// the line's; none otherwise.
std::optional<Change> stored(const QVector<Difference> &differences, const ApplyOutcome &outcome,
                             int lineRate);

// With the modem back in data mode: enters it at the new rate and reads S102 back ("serial rate
// changed from 9600 to 115200, confirmed"). When it is silent there, tries the old rate and says
// where it answers, if anywhere (exit 7). A tcp:// port, whose rate the server fixes, is not
// followed: the result says that the server must be reconfigured. The result records the change.
JobResult follow(const PortContext &context, ModemLine &line, const Change &change,
                 JobResult result);

} // namespace RateChange
