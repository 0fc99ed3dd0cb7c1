#pragma once

#include <QStringList>

// The serial ports the port panel offers: the system's ports as the serial library reports
// them, followed by extra ports registered by the process (the demo launcher registers its
// simulated modem here; the tool itself never does).
namespace PortList {

QStringList availablePorts();
void addExtraPort(const QString &name);
void clearExtraPorts();

} // namespace PortList
