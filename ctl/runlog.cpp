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

const QString StandardOutput = QStringLiteral("-");

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
    return open(m_transcript, path, true);
}

QString RunLog::openReport(const QString &path)
{
    return open(m_report, path, false);
}

QString RunLog::open(File &file, const QString &path, bool makePrivate)
{
    file.path = path;
    if (path.isEmpty() || path == StandardOutput)
        return {};
    const QString problem = file.appender.open(path, makePrivate);
    return problem.isEmpty() ? problem : QStringLiteral("%1: %2").arg(path, problem);
}

void RunLog::tap(ModemLine &line, const QString &port)
{
    if (m_transcript.path.isEmpty())
        return;
    auto masks = std::make_shared<std::array<SecretMask, 2>>(std::array<SecretMask, 2>{
        SecretMask(ModemLine::Direction::Sent), SecretMask(ModemLine::Direction::Received)});
    line.setTap([this, port, masks](ModemLine::Direction direction, const QByteArray &bytes) {
        SecretMask &mask = masks->at(direction == ModemLine::Direction::Sent ? 0 : 1);
        const QByteArray shown = m_showSecrets ? bytes : mask.masked(bytes);
        append(m_transcript,
               Transcript::line(QDateTime::currentDateTimeUtc(), port, direction, shown).toUtf8());
    });
}

void RunLog::record(const PortResult &result)
{
    if (!m_report.path.isEmpty())
        append(m_report, reportLine(m_command, result));
}

QString RunLog::lost() const
{
    QMutexLocker locker(&m_lostLock);
    return m_lost;
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
        {"result", job.word()},
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

// Standard output says its own failure (see Console); a file's first failure is said here.
void RunLog::append(File &file, const QByteArray &line)
{
    if (file.path == StandardOutput) {
        if (!Console::outRaw(line)) {
            QMutexLocker locker(&m_lostLock);
            if (m_lost.isEmpty())
                m_lost = QStringLiteral("standard output: ") + Console::outLost();
        }
        return;
    }
    const QString problem = file.appender.append(line);
    if (problem.isEmpty())
        return;
    QMutexLocker locker(&m_lostLock);
    if (!m_lost.isEmpty())
        return;
    m_lost = QStringLiteral("%1: cannot append: %2").arg(file.path, problem);
    Console::err(QStringLiteral("dr58ctl: %1\n").arg(m_lost));
}
