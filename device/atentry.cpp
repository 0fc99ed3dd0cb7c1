#include "atentry.h"

#include "atsession.h"
#include "modemline.h"
#include "replywait.h"

namespace AtEntry {

namespace {

// One try after `idle` ms of quiet line (the command's write throws away what is pending):
// "+++", then, when `check` is set and no greeting came, the check.
Outcome attempt(AtSession &session, int idle, bool check)
{
    if (session.pause(idle) && session.enter())
        return Outcome::Greeted;
    bool answered = session.answered();
    if (check) {
        if (session.checkAtMode())
            return Outcome::InAtMode;
        answered = answered || session.answered();
    }
    if (session.stopped())
        return Outcome::Stopped;
    return answered ? Outcome::Answered : Outcome::Unanswered;
}

// The worse of two failures: an answer tells more than silence.
Outcome worse(Outcome soFar, Outcome now)
{
    return soFar == Outcome::Answered ? soFar : now;
}

} // namespace

Outcome enter(AtSession &session)
{
    Outcome outcome = Outcome::Unanswered;
    for (int i = 0; i < DeviceConstants::EntryTries && outcome != Outcome::Stopped; ++i) {
        // Nothing was sent on the line since it was opened: with nothing pending either, it is
        // quiet already and the first "+++" goes out at once.
        const int idle = i == 0 && !session.linePending() ? 0 : DeviceConstants::EntryIdles[i];
        const Outcome now = attempt(session, idle, i == 0);
        if (entered(now))
            return now;
        outcome = now == Outcome::Stopped ? now : worse(outcome, now);
    }
    return outcome;
}

Detection detect(AtSession &session, ModemLine &line, const QVector<int> &rates)
{
    session.setFirstBytesTimeout(DeviceConstants::DetectWait);
    Detection detection{Outcome::Unanswered, 0};
    for (const int rate : rates) {
        if (!line.setBaudRate(rate))
            break;
        const Outcome now = attempt(session, DeviceConstants::EntryIdles[0], true);
        if (entered(now) || now == Outcome::Stopped) {
            detection = {now, entered(now) ? rate : 0};
            break;
        }
        detection.outcome = worse(detection.outcome, now);
    }
    session.setFirstBytesTimeout(DeviceConstants::FirstBytesTimeout);
    return detection;
}

} // namespace AtEntry
