#pragma once

#include "atentry.h"
#include "portjob.h"

#include <QVector>
#include <optional>

class AtSession;

// How every dr58ctl command gets its modem into AT mode: at the rate given, or, with
// "--baud auto", at the first of S102's rates that the modem answers at.
namespace LinkEntry {

// S102's rates in the order detection tries them: the common ones, then the others in the
// register catalogue's order.
QVector<int> detectionOrder();

// Enters AT mode (detecting the rate first when the context asks for it, and telling the
// operator the rate found through the context); the failure when the modem is not in AT mode.
// `outcome`, when given, tells how the entry ended.
std::optional<JobResult> enter(const PortContext &context, ModemLine &line, AtSession &session,
                               AtEntry::Outcome *outcome = nullptr);

} // namespace LinkEntry
