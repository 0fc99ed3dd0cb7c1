#pragma once

#include "portjobs.h"

#include <QByteArray>

// The firmware upgrade as a job on one port, driven by the upgrade engine in the port's thread.
namespace UpgradeJob {

// Upgrades with `image`: "+++" first, then the upgrade dialog's sequence. The modem has
// `announceTimeout` milliseconds to announce its update mode; progress goes to standard error, as a
// bar when `bar` is set, otherwise as a plain line every tenth of the image.
PortJob upgrade(const QByteArray &image, int announceTimeout, bool bar);

} // namespace UpgradeJob
