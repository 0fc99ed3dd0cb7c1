#pragma once

#include "configjobs.h"

#include <QDateTime>
#include <optional>
#include <variant>

// Backups of radios by serial number: DIR/<serial number>/<UTC time>.ini, a profile of every
// register as "read" writes it, readable by its owner only, in folders only the owner may enter.
namespace BackupJobs {

// $XDG_DATA_HOME/dr58ctl/backups (~/.local/share/dr58ctl/backups).
QString defaultDir();

// Whether a serial number may name a folder: 1 to 64 letters, digits, ".", "_" or "-", not
// starting with ".".
bool isSafeSerial(const QString &serial);

// "20261207T081502.114Z.ini" for a time, and the time a backup's name (or TIME given to --at:
// ISO 8601, UTC unless it names its offset) stands for.
QString fileName(const QDateTime &time);
std::optional<QDateTime> timeOf(const QString &text);

// Reads the modem and writes its backup under `dir`; the result names the file.
PortJob backup(const QString &dir);

// The backup of the modem's serial number to apply: the newest, or the newest at or before `at`.
// A modem with none, or with a serial number that names no safe folder, is left alone.
ConfigJobs::ProfileChoice newestBackup(const QString &dir, const std::optional<QDateTime> &at);

// Writes a backup of what was read from the modem; the file's path, or the failure.
std::variant<QString, JobResult> write(const QString &dir, const QString &port,
                                       const QMap<QString, QString> &values);

} // namespace BackupJobs
