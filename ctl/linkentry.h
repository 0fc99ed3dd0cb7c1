#pragma once

#include "atentry.h"
#include "portjobs.h"

#include <QVector>
#include <optional>

class AtSession;

// How every dr58ctl command gets its modem into AT mode: at the rate given, or, with
// "--baud auto", at the first of S102's rates that the modem answers at.
namespace LinkEntry {

// The rates serial devices are most often set to, most common first; detection tries them
// before the rest of S102's rates.
constexpr int CommonRates[] = {9600, 115200, 57600, 38400, 19200};

// S102's rates in the order detection tries them: the common ones, then the others in the
// register catalogue's order.
QVector<int> detectionOrder();

// Enters AT mode (detecting the rate first when the context asks for it, and telling the
// operator the rate found on standard error); the failure when the modem is not in AT mode.
// `outcome`, when given, tells how the entry ended.
std::optional<JobResult> enter(const PortContext &context, ModemLine &line, AtSession &session,
                               AtEntry::Outcome *outcome = nullptr);

} // namespace LinkEntry
