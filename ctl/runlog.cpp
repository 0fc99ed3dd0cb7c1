#include "runlog.h"

#include "console.h"
#include "modemline.h"
#include "registercatalog.h"
#include "secretmask.h"
#include "transcript.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <array>
#include <memory>

namespace {

QString opened(QFile &file, const QString &path, QFileDevice::Permissions permissions = {})
{
    file.setFileName(path);
    if (path.isEmpty())
        return {};
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    if (permissions && !file.setPermissions(permissions))
        return QStringLiteral("%1: cannot make it readable by its owner only: %2")
            .arg(path, file.errorString());
    return {};
}

// A value as compact JSON text.
QByteArray json(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QJsonValue identity(const QMap<QString, QString> &values)
{
    QJsonObject object; // I1..I4 sort in their own order
    for (const QString &name : RegisterCatalog::identityNames())
        object.insert(name, values.contains(name) ? QJsonValue(values.value(name)) : QJsonValue());
    return object;
}

QJsonValue rateChange(const std::optional<RateRecord> &change)
{
    if (!change)
        return QJsonValue();
    return QJsonObject{{QStringLiteral("from"), change->from},
                       {QStringLiteral("to"), change->to},
                       {QStringLiteral("confirmed"), change->confirmed}};
}

} // namespace

RunLog::RunLog(const QString &command) : m_command(command) {}

QString RunLog::openTranscript(const QString &path, bool showSecrets)
{
    m_showSecrets = showSecrets;
    return opened(m_transcript, path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString RunLog::openReport(const QString &path)
{
    return opened(m_report, path);
}

void RunLog::tap(ModemLine &line, const QString &port)
{
    if (!m_transcript.isOpen())
        return;
    auto masks = std::make_shared<std::array<SecretMask, 2>>(std::array<SecretMask, 2>{
        SecretMask(ModemLine::Direction::Sent), SecretMask(ModemLine::Direction::Received)});
    line.setTap([this, port, masks](ModemLine::Direction direction, const QByteArray &bytes) {
        SecretMask &mask = masks->at(direction == ModemLine::Direction::Sent ? 0 : 1);
        const QByteArray shown = m_showSecrets ? bytes : mask.masked(bytes);
        append(m_transcript, m_transcriptLock,
               Transcript::line(QDateTime::currentDateTimeUtc(), port, direction, shown).toUtf8());
    });
}

void RunLog::record(const PortResult &result)
{
    if (m_report.isOpen())
        append(m_report, m_reportLock, reportLine(m_command, result));
}

QByteArray RunLog::reportLine(const QString &command, const PortResult &result)
{
    const JobResult &job = result.job;
    const QString sha = job.firmwareSha256;
    const QList<QPair<const char *, QJsonValue>> fields = {
        {"time", result.started.toUTC().toString(Qt::ISODateWithMs)},
        {"command", command},
        {"port", result.port},
        {"baud", result.baud},
        {"exit", job.code},
        {"result", job.result},
        {"detail", job.detail},
        {"identity", identity(job.identity)},
        {"written", QJsonArray::fromStringList(job.written)},
        {"failed", QJsonArray::fromStringList(job.failed)},
        {"not_written", QJsonArray::fromStringList(job.notWritten)},
        {"seconds", qRound(result.seconds * 1000) / 1000.0},
        {"serial_rate", rateChange(job.rateChange)},
        {"identity_before", job.restored ? identity(job.identityBefore) : QJsonValue()},
        {"restored", job.restored ? QJsonArray::fromStringList(*job.restored) : QJsonValue()},
        {"firmware_sha256", sha.isEmpty() ? QJsonValue() : QJsonValue(sha)},
    };
    QList<QPair<const char *, QJsonValue>> planFields;
    if (!job.section.isEmpty())
        planFields.append({"section", job.section});
    if (job.problems)
        planFields.append({"problems", QJsonArray::fromStringList(*job.problems)});
    QByteArray line = "{";
    for (const auto &field : fields + planFields)
        line += json(QLatin1String(field.first)) + ':' + json(field.second) + ',';
    line.back() = '}';
    return line + '\n';
}

void RunLog::append(QFile &file, QMutex &lock, const QByteArray &line)
{
    QMutexLocker locker(&lock);
    if (file.write(line) != line.size())
        Console::err(QStringLiteral("dr58ctl: cannot append to %1: %2\n")
                         .arg(file.fileName(), file.errorString()));
}
