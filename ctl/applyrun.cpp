#include "applyrun.h"

#include "atsession.h"
#include "exitcode.h"
#include "labels.h"
#include "registervalues.h"
#include "secretmask.h"
#include "stop.h"
#include "valuecheck.h"

namespace ApplyRun {

namespace {

struct Step
{
    int code;
    QString failure; // empty when the register was written and read back as wanted
};

// A value for messages, which reports keep: the key's characters hidden.
QString shown(const RegisterInfo &reg, const QString &value)
{
    const bool secret = qstrcmp(reg.name, SecretMask::Register) == 0;
    return Labels::shownValue(reg, secret ? QString(value.size(), SecretMask::Hidden) : value);
}

Step readBack(AtSession &session, const RegisterInfo &reg, const QString &wanted)
{
    if (!session.query(QLatin1String(reg.name))) {
        return {session.answered() ? ExitCode::Refused : ExitCode::NoAnswer,
                QStringLiteral("written, but no value came back to \"AT%1?\"").arg(reg.name)};
    }
    const auto answer = RegisterValues::fromSingleAnswer(session.reply());
    const auto got =
        answer && answer->name == QLatin1String(reg.name) ? answer->value : std::nullopt;
    if (got && ValueCheck::same(reg, *got, wanted))
        return {ExitCode::Ok, {}};
    return {ExitCode::Refused,
            QStringLiteral("wrote %1, read back %2")
                .arg(shown(reg, wanted),
                     got ? shown(reg, *got) : QStringLiteral("an unreadable value"))};
}

Step writeOne(AtSession &session, const RegisterInfo &reg, const QString &wanted)
{
    if (session.write(QLatin1String(reg.name), wanted))
        return readBack(session, reg, wanted);
    if (!session.answered())
        return {
            ExitCode::NoAnswer,
            QStringLiteral("no answer to the write of %1 (the modem may or may not have taken it)")
                .arg(shown(reg, wanted))};
    return {ExitCode::Refused, QStringLiteral("the modem refused %1").arg(shown(reg, wanted))};
}

void store(AtSession &session, ApplyOutcome &outcome)
{
    outcome.stored = session.save();
    if (outcome.stored)
        return;
    outcome.code = session.answered() ? ExitCode::Refused : ExitCode::NoAnswer;
    outcome.failure = QStringLiteral("the modem did not confirm the store (AT&W)");
}

} // namespace

ApplyOutcome apply(AtSession &session, const QVector<Difference> &differences, bool storeAfter,
                   const Stop &stop)
{
    ApplyOutcome outcome;
    for (const Difference &difference : differences) {
        if (!outcome.failedRegister.isEmpty() || stop.requested()) {
            outcome.notWritten.append(difference.name());
            continue;
        }
        const RegisterInfo &reg = *difference.reg;
        const Step step = writeOne(session, reg, difference.wanted);
        if (step.code != ExitCode::Ok) {
            outcome.code = step.code;
            outcome.failedRegister = difference.name();
            outcome.failure = Labels::title(reg) + QStringLiteral(": ") + step.failure;
            continue;
        }
        outcome.written.append(difference.name());
        outcome.lines.append(ProfileDiff::describe(difference) + QStringLiteral(": written"));
    }
    if (storeAfter && outcome.failedRegister.isEmpty() && !stop.requested())
        store(session, outcome);
    const bool complete = outcome.code == ExitCode::Ok && outcome.notWritten.isEmpty() &&
                          (outcome.stored || !storeAfter);
    outcome.interrupted = stop.requested() && !complete;
    return outcome;
}

QString groups(const ApplyOutcome &outcome)
{
    const auto list = [](const QStringList &names) {
        return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
    };
    QString text = QStringLiteral("written: %1").arg(list(outcome.written));
    if (!outcome.written.isEmpty() && !outcome.stored)
        text += QStringLiteral(" (not stored)");
    if (!outcome.failedRegister.isEmpty())
        text += QStringLiteral("; failed: %1").arg(outcome.failedRegister);
    if (!outcome.failedRegister.isEmpty() || !outcome.notWritten.isEmpty())
        text += QStringLiteral("; not written: %1").arg(list(outcome.notWritten));
    return text;
}

} // namespace ApplyRun
