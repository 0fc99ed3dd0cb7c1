#include "configjobs.h"

#include "applyrun.h"
#include "atsession.h"
#include "exitcode.h"
#include "labels.h"
#include "linkentry.h"
#include "modemreader.h"
#include "outputfile.h"
#include "profilediff.h"
#include "profilewriter.h"
#include "ratechange.h"
#include "registercatalog.h"
#include "registervalues.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ConfigJobs {

namespace {

using Work = std::function<JobResult(AtSession &)>;

// Why a transaction got nothing useful: the port failed, the modem was silent, or it answered
// something else.
JobResult unanswered(const ModemLine &line, const AtSession &session, const QString &what,
                     const QString &expected = QStringLiteral("\"OK\""))
{
    const QString trouble = line.trouble();
    if (!trouble.isEmpty())
        return JobResult::failure(
            ExitCode::PortError,
            QStringLiteral("the port failed during %1: %2").arg(what, trouble));
    if (!session.answered())
        return JobResult::failure(ExitCode::NoAnswer,
                                  QStringLiteral("no answer from the modem to %1").arg(what));
    if (session.outcome() == ReplyWait::Outcome::Overflow)
        return JobResult::failure(ExitCode::NoAnswer,
                                  QStringLiteral("the modem's answer to %1 ran past %2 "
                                                 "bytes without %3")
                                      .arg(what)
                                      .arg(DeviceConstants::MaxReplySize)
                                      .arg(expected));
    return JobResult::failure(
        ExitCode::NoAnswer, QStringLiteral("the modem answered %1 without %2").arg(what, expected));
}

// What a job had done when it was stopped.
JobResult interrupted(const Stop &stop, const QString &done)
{
    return JobResult::interrupted(stop.exitCode(), QStringLiteral("interrupted; ") + done);
}

// A job that failed after the stop failed for want of the commands it no longer sent.
JobResult unlessInterrupted(const Stop &stop, JobResult result)
{
    if (stop.requested() && result.isFailure() && result.code != stop.exitCode())
        return interrupted(stop, QStringLiteral("nothing written"));
    return result;
}

// Returns the modem to data mode; a modem that does not confirm it fails the job, as it may still
// be in AT mode. Nothing is sent on a port that failed (the port's jobs report it).
JobResult leaveAtMode(ModemLine &line, AtSession &session, JobResult result)
{
    if (!line.trouble().isEmpty() || session.exit())
        return result;
    if (result.isFailure())
        result.errors.prepend(result.detail);
    else
        result.fail(ExitCode::NoAnswer);
    result.detail = QStringLiteral("the modem did not confirm its return to data mode (\"ATA\")");
    return result;
}

JobResult inAtMode(const PortContext &context, ModemLine &line, const Work &work)
{
    AtSession session(line);
    // After the stop, or on a port that failed, nothing more is sent.
    session.setStop([&] { return context.stop.requested() || !line.trouble().isEmpty(); });
    if (const auto failed = LinkEntry::enter(context, line, session))
        return unlessInterrupted(context.stop, *failed);
    return leaveAtMode(line, session, unlessInterrupted(context.stop, work(session)));
}

// Enters AT mode, reads the modem (ended after the listing when `goOn` says so) and hands what
// it read to `work`.
JobResult withValues(const PortContext &context, ModemLine &line,
                     const std::function<JobResult(AtSession &, const Reading &)> &work,
                     const std::function<bool(const QMap<QString, QString> &)> &goOn = {})
{
    QMap<QString, QString> identity;
    JobResult result = inAtMode(context, line, [&](AtSession &session) {
        const auto reading = ModemReader::read(session, goOn);
        if (context.stop.requested()) // the reading may have been cut short
            return interrupted(context.stop, QStringLiteral("nothing written"));
        if (!reading)
            return unanswered(line, session, QStringLiteral("\"AT&V\""));
        identity = ModemReader::identity(reading->values);
        return work(session, *reading);
    });
    result.identity = identity;
    return result;
}

// As withValues, with the profile chosen for the modem; a modem refused by what its listing says
// (its serial number) gets no single query. The plan's section, when one was chosen, is named
// in the report and (unless `sectionLine` is off, for output that is JSON) first in the output.
JobResult
withChoice(const PortContext &context, ModemLine &line, const ProfileChoice &choose,
           const std::function<JobResult(AtSession &, const Reading &, const Profile &)> &work,
           bool sectionLine = true)
{
    QString section;
    QString origin;
    const auto chosen = [&](const QMap<QString, QString> &listed) {
        return choose({listed, {}}).profile.has_value();
    };
    JobResult result = withValues(
        context, line,
        [&](AtSession &session, const Reading &reading) {
            const Choice choice = choose(reading);
            section = choice.section;
            origin = choice.origin;
            return choice.profile ? work(session, reading, *choice.profile) : choice.refusal;
        },
        chosen);
    result.section = section;
    if (sectionLine && !origin.isEmpty())
        result.output.prepend(context.prefix + origin + QLatin1Char('\n'));
    if (sectionLine && !section.isEmpty())
        result.output.prepend(context.prefix + QStringLiteral("plan section [%1]\n").arg(section));
    return result;
}

QString prefixed(const QString &prefix, const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += prefix + line + QLatin1Char('\n');
    return text;
}

QStringList described(const QVector<Difference> &differences, const QString &tail = {})
{
    QStringList lines;
    for (const Difference &difference : differences)
        lines.append(ProfileDiff::describe(difference) + tail);
    return lines;
}

QStringList names(const QVector<Difference> &differences)
{
    QStringList result;
    for (const Difference &difference : differences)
        result.append(difference.name());
    return result;
}

// One line of JSON: the port and each difference's register, modem value and profile value.
QString jsonDifferences(const QString &port, const QVector<Difference> &differences)
{
    QJsonArray list;
    for (const Difference &difference : differences)
        list.append(
            QJsonObject{{QStringLiteral("register"), difference.name()},
                        {QStringLiteral("modem"),
                         difference.current ? QJsonValue(*difference.current) : QJsonValue()},
                        {QStringLiteral("profile"), difference.wanted}});
    const QJsonObject object{{QStringLiteral("port"), port}, {QStringLiteral("differences"), list}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

// The profile a read printed, written to `path` instead; a profile that cannot be written whole
// fails the read.
JobResult saved(const QString &path, JobResult read, const Stop &stop)
{
    const QString error = OutputFile::save(path, read.output.toUtf8(), stop.asked());
    read.output.clear();
    if (!error.isEmpty()) {
        read.fail(ExitCode::WriteFailed);
        read.detail = QStringLiteral("cannot write %1: %2").arg(path, error);
    } else {
        read.detail = QStringLiteral("profile in %1").arg(path);
    }
    return read;
}

JobResult dryRun(const PortContext &context, const QVector<Difference> &differences)
{
    const QString detail = QStringLiteral("dry run: %1 to write").arg(differences.size());
    const QString text =
        differences.isEmpty()
            ? context.prefix + QStringLiteral("nothing to write\n")
            : prefixed(context.prefix, described(differences, QStringLiteral(": would write")));
    JobResult result = JobResult::done(JobResult::Result::Planned, detail, text);
    result.notWritten = names(differences);
    return result;
}

JobResult outcomeResult(const PortContext &context, const ApplyOutcome &outcome, bool store)
{
    const QString text = prefixed(context.prefix, outcome.lines);
    if (outcome.interrupted) {
        JobResult result = interrupted(context.stop, ApplyRun::groups(outcome));
        result.output = text;
        return result;
    }
    if (outcome.code != ExitCode::Ok) {
        JobResult result = JobResult::failure(outcome.code, outcome.failure);
        result.output = text;
        result.errors = QStringList{ApplyRun::groups(outcome)};
        return result;
    }
    const QString detail =
        QStringLiteral("%1 written and read back, %2")
            .arg(outcome.written.size())
            .arg(store ? QStringLiteral("stored") : QStringLiteral("not stored"));
    return JobResult::done(JobResult::Result::Applied, detail,
                           text + prefixed(context.prefix, {detail}));
}

JobResult applied(const PortContext &context, const ApplyOutcome &outcome, bool store)
{
    JobResult result = outcomeResult(context, outcome, store);
    result.written = outcome.written;
    if (!outcome.failedRegister.isEmpty())
        result.failed.append(outcome.failedRegister);
    result.notWritten = outcome.notWritten;
    return result;
}

} // namespace

PortJob read(Format format, const QString &outputPattern)
{
    return [=](const PortContext &context, ModemLine &line) {
        const JobResult read = withValues(context, line, [&](AtSession &, const Reading &reading) {
            if (!reading.unreadable.isEmpty())
                return JobResult::failure(
                    ExitCode::NoAnswer,
                    QStringLiteral("unreadable values of %1; no profile written")
                        .arg(reading.unreadable.join(QStringLiteral(", "))));
            const QMap<QString, QString> &values = reading.values;
            const QByteArray text = format == Format::Json
                                        ? ProfileWriter::json(context.port, values)
                                        : ProfileWriter::ini(context.port, values);
            return JobResult::done(JobResult::Result::Read,
                                   QStringLiteral("%1 values").arg(values.size()),
                                   QString::fromUtf8(text));
        });
        // Written once the modem is back in data mode.
        if (outputPattern.isEmpty() || read.isFailure())
            return read;
        QString path = outputPattern;
        return saved(path.replace(QStringLiteral("%p"), portFileName(context.port)), read,
                     context.stop);
    };
}

ProfileChoice everyModem(const Profile &profile)
{
    return [=](const Reading &) { return Choice{profile, {}, {}}; };
}

PortJob withReading(const std::function<JobResult(const PortContext &, const Reading &)> &work)
{
    return [=](const PortContext &context, ModemLine &line) {
        return withValues(context, line, [&](AtSession &, const Reading &reading) {
            return work(context, reading);
        });
    };
}

PortJob diff(const ProfileChoice &choose, bool json)
{
    return [=](const PortContext &context, ModemLine &line) {
        return withChoice(
            context, line, choose,
            [&](AtSession &, const Reading &reading, const Profile &profile) {
                const QVector<Difference> differences =
                    ProfileDiff::differences(profile, reading.values);
                if (differences.isEmpty())
                    return JobResult::done(
                        JobResult::Result::Equal, QStringLiteral("no difference"),
                        json ? jsonDifferences(context.port, differences)
                             : context.prefix + QStringLiteral("no difference\n"));
                return JobResult::different(
                    QStringLiteral("differs in %1").arg(names(differences).join(", ")),
                    json ? jsonDifferences(context.port, differences)
                         : prefixed(context.prefix, described(differences)));
            },
            !json);
    };
}

PortJob apply(const ProfileChoice &choose, bool dryRunOnly, bool store)
{
    return [=](const PortContext &context, ModemLine &line) {
        std::optional<RateChange::Change> change;
        const JobResult result =
            withChoice(context, line, choose,
                       [&](AtSession &session, const Reading &reading, const Profile &profile) {
                           const QVector<Difference> differences =
                               ProfileDiff::differences(profile, reading.values);
                           if (dryRunOnly)
                               return dryRun(context, differences);
                           const ApplyOutcome outcome =
                               ApplyRun::apply(session, differences, store, context.stop);
                           change = RateChange::stored(differences, outcome, line.baudRate());
                           return applied(context, outcome, store);
                       });
        if (!change || result.isFailure())
            return result;
        return RateChange::follow(context, line, *change, result);
    };
}

PortJob reset(const Preset &preset, bool store)
{
    return [=](const PortContext &context, ModemLine &line) {
        return inAtMode(context, line, [&](AtSession &session) {
            const QString what =
                QStringLiteral("preset %1 (AT&F%2)").arg(preset.englishName).arg(preset.code);
            if (!session.reset(preset.code)) {
                if (!session.answered())
                    return unanswered(line, session, what);
                return JobResult::failure(ExitCode::Refused,
                                          QStringLiteral("the modem refused ") + what);
            }
            if (store && context.stop.requested())
                return interrupted(context.stop, what + QStringLiteral(" restored, not stored"));
            if (store && !session.save())
                return JobResult::failure(
                    session.answered() ? ExitCode::Refused : ExitCode::NoAnswer,
                    what + QStringLiteral(" restored, but the store (AT&W) failed"));
            const QString detail =
                what + (store ? QStringLiteral(" restored, stored") : QStringLiteral(" restored"));
            return JobResult::done(JobResult::Result::Reset, detail,
                                   context.prefix + detail + QLatin1Char('\n'));
        });
    };
}

PortJob probe(bool json)
{
    return [=](const PortContext &context, ModemLine &line) {
        return inAtMode(context, line, [&](AtSession &session) {
            if (!session.listing())
                return unanswered(line, session, QStringLiteral("\"AT&V\""));
            const QMap<QString, QString> identity = ModemReader::identity(
                ModemReader::gathered(RegisterValues::fromListing(session.reply())).values);
            QStringList lines{QStringLiteral("baud: %1").arg(line.baudRate())};
            QJsonObject object{{QStringLiteral("port"), context.port},
                               {QStringLiteral("baud"), line.baudRate()}};
            for (const QString &name : RegisterCatalog::identityNames()) {
                if (!identity.contains(name))
                    return JobResult::failure(
                        ExitCode::NoAnswer,
                        QStringLiteral("the modem's listing lacks %1").arg(name));
                lines.append(name + QStringLiteral(": ") + identity.value(name));
                object.insert(name, identity.value(name));
            }
            const QString text =
                json ? QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                           QLatin1Char('\n')
                     : prefixed(context.prefix, lines);
            JobResult result =
                JobResult::done(JobResult::Result::Probed, lines.join(QStringLiteral(", ")), text);
            result.identity = identity;
            return result;
        });
    };
}

QString portFileName(const QString &port)
{
    QString name = port;
    if (name.startsWith(QStringLiteral("/dev/")))
        name.remove(0, 5);
    return name.replace(QLatin1Char('/'), QLatin1Char('-'));
}

} // namespace ConfigJobs
