#include "linkentry.h"

#include "atcommands.h"
#include "atentry.h"
#include "ctlconstants.h"
#include "deviceconstants.h"
#include "exitcode.h"
#include "registercatalog.h"

namespace LinkEntry {

namespace {

using AtEntry::Outcome;

QString rateList(const QVector<int> &rates)
{
    QStringList texts;
    for (const int rate : rates)
        texts.append(QString::number(rate));
    return texts.join(QStringLiteral(", "));
}

QString checkText()
{
    return QLatin1Char('"') + AtCommands::AtModeCheck.trimmed() + QLatin1Char('"');
}

// What the modem gave when it did not enter AT mode; a failed port comes first.
JobResult notEntered(const ModemLine &line, Outcome outcome, bool detecting)
{
    const QString trouble = line.trouble();
    if (!trouble.isEmpty())
        return JobResult::failure(ExitCode::PortError,
                                  QStringLiteral("the port failed during \"+++\": ") + trouble);
    if (detecting) {
        const QVector<int> rates = detectionOrder();
        return JobResult::failure(
            ExitCode::NoAnswer,
            QStringLiteral("no greeting to \"+++\" nor answer to %1 at any of the %2 "
                           "serial rates (tried %3)")
                .arg(checkText())
                .arg(rates.size())
                .arg(rateList(rates)));
    }
    if (outcome == Outcome::Answered)
        return JobResult::failure(
            ExitCode::NoAnswer,
            QStringLiteral("the modem answered \"+++\" without its greeting (%1 tries)")
                .arg(DeviceConstants::EntryTries));
    return JobResult::failure(
        ExitCode::NoAnswer,
        QStringLiteral("no answer from the modem to \"+++\" (%1 tries) or to %2")
            .arg(DeviceConstants::EntryTries)
            .arg(checkText()));
}

} // namespace

QVector<int> detectionOrder()
{
    QVector<int> offered;
    for (const ChoiceItem &item : RegisterCatalog::find(QStringLiteral("S102"))->items)
        offered.append(QByteArray(item.text).toInt());
    QVector<int> rates;
    for (const int rate : CtlConstants::CommonRates) {
        if (offered.contains(rate))
            rates.append(rate);
    }
    for (const int rate : offered) {
        if (!rates.contains(rate))
            rates.append(rate);
    }
    return rates;
}

std::optional<JobResult> enter(const PortContext &context, ModemLine &line, AtSession &session,
                               Outcome *outcome)
{
    Outcome ignored;
    Outcome &ended = outcome ? *outcome : ignored;
    if (!context.detectBaud) {
        ended = AtEntry::enter(session);
        if (AtEntry::entered(ended))
            return std::nullopt;
        return notEntered(line, ended, false);
    }
    const AtEntry::Detection found = AtEntry::detect(session, line, detectionOrder());
    ended = found.outcome;
    if (!found.baud)
        return notEntered(line, found.outcome, true);
    context.tell(QStringLiteral("the modem answers at %1 baud").arg(found.baud));
    return std::nullopt;
}

} // namespace LinkEntry
