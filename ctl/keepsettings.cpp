#include "keepsettings.h"

#include "backupjobs.h"
#include "configjobs.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "jobchain.h"

namespace KeepSettings {

namespace {

// Reads the modem and writes its backup: the result names the backup's path in its detail and
// carries the identity read.
JobResult backUp(const PortContext &context, ModemLine &line, const QString &dir)
{
    const PortJob job =
        ConfigJobs::withReading([dir](const PortContext &context, const Reading &reading) {
            if (!reading.unreadable.isEmpty())
                return JobResult::failure(
                    ExitCode::NoAnswer,
                    QStringLiteral("unreadable values of %1; no backup taken, nothing upgraded")
                        .arg(reading.unreadable.join(QStringLiteral(", "))));
            const auto written = BackupJobs::write(dir, context.port, reading.values);
            if (const auto *refusal = std::get_if<JobResult>(&written))
                return *refusal;
            return JobResult::done(JobResult::Result::BackedUp, std::get<QString>(written));
        });
    return job(context, line);
}

// The backup's profile for this modem, whatever its identity after the upgrade.
ConfigJobs::ProfileChoice theBackup(const QString &path)
{
    return [path](const Reading &) -> ConfigJobs::Choice {
        QStringList problems;
        const std::optional<Profile> profile = Profile::load(path, &problems);
        if (!profile)
            return {std::nullopt,
                    JobResult::failure(ExitCode::BadFile, problems.join(QStringLiteral("; "))),
                    {}};
        return {profile, {}, {}};
    };
}

// Writes the backup back once the modem answers again: tries entering AT mode until it does
// or the bound is over (an entry that found nothing read no identity).
JobResult restore(const PortContext &context, ModemLine &line, const QString &path)
{
    const PortJob job = JobChain::retried(
        ConfigJobs::apply(theBackup(path), false, true),
        [](const JobResult &result) {
            return result.code == ExitCode::NoAnswer && result.identity.isEmpty();
        },
        CtlConstants::UpgradeReturnTimeout * 1000);
    return job(context, line);
}

QString versions(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList lines;
    for (const auto &[name, label] : {std::pair{"I2", "firmware"}, {"I3", "software"}})
        lines.append(QStringLiteral("%1 (%2): %3 before, %4 after")
                         .arg(QLatin1String(label), QLatin1String(name),
                              before.value(QLatin1String(name), QStringLiteral("?")),
                              after.value(QLatin1String(name), QStringLiteral("?"))));
    return lines.join(QLatin1Char('\n'));
}

QString prefixed(const QString &prefix, const QString &text)
{
    return prefix + QString(text).replace(QLatin1Char('\n'), QLatin1Char('\n') + prefix) +
           QLatin1Char('\n');
}

// An upgrade whose settings were not all written back.
JobResult notRestored(JobResult result, const QString &path)
{
    result.errors.append(
        QStringLiteral("upgraded, but the settings were not all restored; they are kept in ") +
        path);
    if (result.code == ExitCode::Refused)
        result.detail =
            QStringLiteral("upgraded; not restored: %1: %2")
                .arg((result.failed + result.notWritten).join(QStringLiteral(", ")), result.detail);
    return result;
}

// An upgrade that kept the settings: what the upgrade and the restore did, and the versions.
JobResult restored(const PortContext &context, const JobResult &upgraded, JobResult result)
{
    const QString shown = versions(result.identityBefore, result.identity);
    result.result = JobResult::Result::Upgraded;
    result.detail = QStringLiteral("upgraded, settings kept; ") + upgraded.detail +
                    QStringLiteral("; ") + result.detail;
    result.output = upgraded.output + result.output +
                    prefixed(context.prefix, shown + QStringLiteral("\nupgraded, settings kept"));
    return result;
}

} // namespace

PortJob upgrade(const PortJob &upgrade, const QString &backupDir)
{
    return [=](const PortContext &context, ModemLine &line) {
        const JobResult backup = backUp(context, line, backupDir);
        if (backup.isFailure())
            return backup;
        const QString path = backup.detail;
        JobResult upgraded = upgrade(context, line);
        if (upgraded.isFailure()) {
            upgraded.errors.append(QStringLiteral("the settings are kept in ") + path);
            return upgraded;
        }
        JobResult result = restore(context, line, path);
        result.firmwareSha256 = upgraded.firmwareSha256;
        result.identityBefore = backup.identity;
        result.restored = result.written;
        return result.isFailure() ? notRestored(result, path) : restored(context, upgraded, result);
    };
}

} // namespace KeepSettings
