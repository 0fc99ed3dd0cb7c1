#pragma once

#include <QVector>

class AtSession;
class ModemLine;

// Getting a modem into AT command mode. A modem in data mode sends every byte it gets over the
// air, so it is sent nothing but "+++" until it has answered, and only on a quiet line: what is
// pending is thrown away and nothing is sent for an idle time first, so that the escape is
// never glued to earlier bytes. When "+++" brings no greeting, one single query checks whether
// the modem is in AT mode already (left there by an earlier run); otherwise "+++" is tried again
// after longer idle times, as modems with an escape guard time need.
namespace AtEntry {

enum class Outcome {
    Greeted,    // "+++" brought the greeting
    InAtMode,   // the check was answered properly: the modem was in AT mode already
    Unanswered, // nothing came back
    Answered,   // something came back, but neither a greeting nor a proper answer to the check
    Stopped     // the session's stop ended the entry
};

inline bool entered(Outcome outcome)
{
    return outcome == Outcome::Greeted || outcome == Outcome::InAtMode;
}

// At the line's rate: "+++", the check, then "+++" up to twice more.
Outcome enter(AtSession &session);

struct Detection
{
    Outcome outcome;
    int baud; // the rate the modem answered at; 0 when none did
};

// Sets the line to each rate in turn and tries it once, "+++" and the check with the detection
// wait, until one gets the greeting or a proper answer. The line stays at the rate found (at
// the last one tried when none is).
Detection detect(AtSession &session, ModemLine &line, const QVector<int> &rates);

} // namespace AtEntry
