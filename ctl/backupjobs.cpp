#include "backupjobs.h"

#include "exitcode.h"
#include "outputfile.h"
#include "profilewriter.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>

namespace BackupJobs {

namespace {

const QString NameFormat = QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'");
const QString Extension = QStringLiteral(".ini");

// The folder of a serial number's backups; the failure when the serial number names none.
std::variant<QString, JobResult> folder(const QString &dir, const QMap<QString, QString> &values)
{
    const QString serial = values.value(QStringLiteral("I4"));
    if (!isSafeSerial(serial))
        return JobResult::failure(
            ExitCode::NoAnswer,
            QStringLiteral("the serial number \"%1\" is not a safe file name: no "
                           "backup used or written")
                .arg(serial));
    return QDir(dir).filePath(serial);
}

// Makes the folder and its missing parents, each for its owner only; the error, empty when done.
QString madePrivate(const QString &path)
{
    const QString parent = QFileInfo(path).path();
    if (!QFileInfo(parent).isDir() && parent != path) {
        const QString error = madePrivate(parent);
        if (!error.isEmpty())
            return error;
    }
    if (::mkdir(QFile::encodeName(path).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make the folder %1: %2").arg(path, qt_error_string(errno));
    return {};
}

} // namespace

QString defaultDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/dr58ctl/backups");
}

bool isSafeSerial(const QString &serial)
{
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]{0,63}$"));
    return safe.match(serial).hasMatch();
}

QString fileName(const QDateTime &time)
{
    return time.toUTC().toString(NameFormat) + Extension;
}

std::optional<QDateTime> timeOf(const QString &text)
{
    QString stem = text;
    if (stem.endsWith(Extension))
        stem.chop(Extension.size());
    QDateTime time = QDateTime::fromString(stem, NameFormat);
    if (time.isValid()) {
        time.setTimeSpec(Qt::UTC);
        return time;
    }
    time = QDateTime::fromString(stem, Qt::ISODateWithMs);
    if (!time.isValid())
        return std::nullopt;
    if (time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    return time.toUTC();
}

std::variant<QString, JobResult> write(const QString &dir, const QString &port,
                                       const QMap<QString, QString> &values)
{
    const auto place = folder(dir, values);
    if (const auto *refusal = std::get_if<JobResult>(&place))
        return *refusal;
    const QString path = std::get<QString>(place);
    QString error = madePrivate(path);
    if (error.isEmpty() &&
        !QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ExeOwner))
        error = QStringLiteral("cannot make %1 private to its owner").arg(path);
    const QString file = QDir(path).filePath(fileName(QDateTime::currentDateTimeUtc()));
    if (error.isEmpty()) {
        const QString saveError = OutputFile::save(file, ProfileWriter::ini(port, values));
        if (!saveError.isEmpty())
            error = QStringLiteral("cannot write %1: %2").arg(file, saveError);
    }
    if (!error.isEmpty())
        return JobResult::failure(ExitCode::BadFile, error + QStringLiteral("; no backup written"));
    return file;
}

PortJob backup(const QString &dir)
{
    return ConfigJobs::withReading([dir](const PortContext &context, const Reading &reading) {
        if (!reading.unreadable.isEmpty())
            return JobResult::failure(ExitCode::NoAnswer,
                                      QStringLiteral("unreadable values of %1; no backup written")
                                          .arg(reading.unreadable.join(QStringLiteral(", "))));
        const auto written = write(dir, context.port, reading.values);
        if (const auto *refusal = std::get_if<JobResult>(&written))
            return *refusal;
        const QString detail = QStringLiteral("backup in ") + std::get<QString>(written);
        return JobResult::done(JobResult::Result::BackedUp, detail,
                               context.prefix + detail + QLatin1Char('\n'));
    });
}

ConfigJobs::ProfileChoice newestBackup(const QString &dir, const std::optional<QDateTime> &at)
{
    return [=](const Reading &reading) -> ConfigJobs::Choice {
        const auto place = folder(dir, reading.values);
        if (const auto *refusal = std::get_if<JobResult>(&place))
            return {std::nullopt, *refusal, {}};
        const QString path = std::get<QString>(place);
        QString newest;
        for (const QString &name :
             QDir(path).entryList({QLatin1Char('*') + Extension}, QDir::Files, QDir::Name)) {
            const auto time = timeOf(name);
            if (time && (!at || *time <= *at))
                newest = name; // the names sort by time
        }
        if (newest.isEmpty())
            return {std::nullopt,
                    JobResult::failure(ExitCode::BadFile,
                                       QStringLiteral("no backup of %1 in %2%3; left alone")
                                           .arg(reading.values.value(QStringLiteral("I4")), path,
                                                at ? QStringLiteral(" at or before ") +
                                                         at->toString(Qt::ISODateWithMs)
                                                   : QString())),
                    {}};
        const QString file = QDir(path).filePath(newest);
        QStringList problems;
        const std::optional<Profile> profile = Profile::load(file, &problems);
        if (!profile)
            return {std::nullopt,
                    JobResult::failure(ExitCode::BadFile, problems.join(QStringLiteral("; "))),
                    {}};
        return {profile, {}, {}, QStringLiteral("backup ") + file};
    };
}

} // namespace BackupJobs
