#include "ratechange.h"

#include "atcommands.h"
#include "atsession.h"
#include "exitcode.h"
#include "labels.h"
#include "linkentry.h"
#include "portaddress.h"
#include "registervalues.h"

namespace RateChange {

namespace {

struct Visit
{
    bool answered = false;        // the modem entered AT mode at the rate
    std::optional<QString> value; // S102 as read back there
};

// Sets the line to `rate`, enters AT mode, reads S102 and returns the modem to data mode.
Visit visit(const PortContext &context, ModemLine &line, int rate)
{
    if (!line.setBaudRate(rate))
        return {};
    AtSession session(line);
    session.setStop([&] { return context.stop.requested() || !line.trouble().isEmpty(); });
    const PortContext atRate{context.port, context.prefix, false, context.stop, context.tell};
    if (LinkEntry::enter(atRate, line, session))
        return {};
    Visit visit{true, {}};
    if (session.query(AtCommands::CheckRegister)) {
        const auto answer = RegisterValues::fromSingleAnswer(session.reply());
        if (answer && answer->name == AtCommands::CheckRegister)
            visit.value = answer->value;
    }
    if (!session.exit())
        visit.value.reset(); // left in AT mode: not a confirmation
    return visit;
}

JobResult noted(JobResult result, const PortContext &context, const QString &text)
{
    result.detail += QStringLiteral("; ") + text;
    result.output += context.prefix + text + QLatin1Char('\n');
    return result;
}

JobResult failed(JobResult result, int code, const QString &text)
{
    result.fail(code);
    result.errors.prepend(result.detail);
    result.detail = text;
    return result;
}

// The modem did not answer at the new rate: the line failed, or the modem answers at the old
// rate, or at neither.
JobResult unanswered(const PortContext &context, ModemLine &line, const Change &change,
                     const QString &changed, JobResult result)
{
    const QString trouble = line.trouble();
    if (!trouble.isEmpty())
        return failed(result, ExitCode::PortError,
                      changed + QStringLiteral(", not confirmed: ") + trouble);
    const bool atOld = visit(context, line, change.from).answered;
    return failed(result, ExitCode::NoAnswer,
                  changed + (atOld ? QStringLiteral(" was stored, but the modem does not answer "
                                                    "at %1; it answers at %2")
                                   : QStringLiteral(" was stored, but the modem answers neither "
                                                    "at %1 nor at %2"))
                                .arg(change.to)
                                .arg(change.from));
}

} // namespace

std::optional<Change> stored(const QVector<Difference> &differences, const ApplyOutcome &outcome,
                             int lineRate)
{
    const auto rate = [](const Difference &difference, const QString &code) {
        return Labels::itemText(*difference.reg, code).value_or(QString()).toInt();
    };
    for (const Difference &difference : differences) {
        if (difference.name() != AtCommands::CheckRegister || !outcome.stored ||
            !outcome.written.contains(difference.name()))
            continue;
        // A tcp:// line knows no rate of its own: the modem's old S102 tells it.
        const int from =
            lineRate > 0 ? lineRate : rate(difference, difference.current.value_or(QString()));
        const int to = rate(difference, difference.wanted);
        if (to > 0 && to != from)
            return Change{from, to, difference.wanted};
    }
    return std::nullopt;
}

JobResult follow(const PortContext &context, ModemLine &line, const Change &change,
                 JobResult result)
{
    result.rateChange = RateRecord{change.from, change.to, false};
    const QString changed =
        QStringLiteral("serial rate changed from %1 to %2").arg(change.from).arg(change.to);
    if (PortAddress(context.port).hasFixedRate())
        return noted(result, context,
                     changed + QStringLiteral(", not confirmed: a tcp:// port has the rate its "
                                              "server is set to; set the server's line to %1 "
                                              "8N1 for the modem to answer again")
                                   .arg(change.to));
    if (context.stop.requested())
        return failed(result, context.stop.exitCode(),
                      QStringLiteral("interrupted; ") + changed +
                          QStringLiteral(", not confirmed"));
    const Visit atNew = visit(context, line, change.to);
    if (atNew.answered && atNew.value == change.code) {
        result.rateChange->confirmed = true;
        return noted(result, context, changed + QStringLiteral(", confirmed"));
    }
    if (atNew.answered)
        return failed(result, ExitCode::Refused,
                      changed + QStringLiteral(", but the modem's S102 does not read back as %1 "
                                               "at the new rate")
                                    .arg(change.code));
    return unanswered(context, line, change, changed, result);
}

} // namespace RateChange
