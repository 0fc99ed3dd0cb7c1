#pragma once

#include "portjobs.h"

// A firmware upgrade that keeps the radio's settings: a backup first (see backupjobs.h), then
// the upgrade, then, once the modem answers again, every register that differs from the backup
// written back, read back and stored, and the versions before and after shown.
namespace KeepSettings {

// `upgrade` wrapped so: the backup goes to `backupDir`; a backup that cannot be taken stops
// the job before the upgrade. After it the modem has CtlConstants::UpgradeReturnTimeout seconds
// to answer "+++" again. Registers not restored fail the job (exit 8), naming them and the
// backup, which is never removed.
PortJob upgrade(const PortJob &upgrade, const QString &backupDir);

} // namespace KeepSettings
