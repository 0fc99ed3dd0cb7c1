#pragma once

#include "portjobs.h"

#include <QByteArray>

// The firmware upgrade as a job on one port, driven by the upgrade engine in the port's thread.
namespace UpgradeJob {

// Upgrades with `image`: "+++" first, then the upgrade dialog's sequence. The modem has
// `announceTimeout` milliseconds to announce its update mode; each chunk sent is told as the
// context's progress.
PortJob upgrade(const QByteArray &image, int announceTimeout);

} // namespace UpgradeJob
