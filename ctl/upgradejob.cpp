#include "upgradejob.h"

#include "atcommands.h"
#include "atsession.h"
#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "interrupt.h"
#include "linkentry.h"
#include "progresstext.h"
#include "upgradeengine.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <optional>

namespace UpgradeJob {

namespace {

// Shows the offsets the engine reports, and times the transfer from its first chunk.
class ProgressReport
{
public:
    ProgressReport(const PortContext &context, qint64 total, bool bar)
        : m_context(context), m_total(total), m_bar(bar)
    {
    }

    void show(qint64 offset)
    {
        if (!m_clock.isValid())
            m_clock.start();
        m_offset = offset;
        if (m_bar) {
            Console::redraw(ProgressText::bar(offset, m_total, CtlConstants::ProgressBarWidth));
            return;
        }
        const int percent = ProgressText::percent(offset, m_total);
        if (percent < m_nextLine)
            return;
        m_nextLine =
            percent - percent % CtlConstants::ProgressLineStep + CtlConstants::ProgressLineStep;
        Console::err(m_context.prefix +
                     QStringLiteral("%1/%2 bytes (%3%)\n").arg(offset).arg(m_total).arg(percent));
    }

    void end()
    {
        if (m_bar && m_clock.isValid())
            Console::err(QStringLiteral("\n"));
    }

    qint64 offset() const { return m_offset; }
    qint64 elapsed() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

private:
    PortContext m_context;
    qint64 m_total;
    bool m_bar;
    QElapsedTimer m_clock;
    qint64 m_offset = 0;
    int m_nextLine = 0; // percent of the next plain line
};

// What the modem did not accept: the chunk in flight, or the request of the start or the end.
QString notAccepted(const UpgradeEngine &engine)
{
    switch (engine.state()) {
    case UpgradeMachine::Loading: {
        const UpgradeMachine::Chunk chunk = engine.chunk();
        return QStringLiteral("chunk %1 at byte %2 of %3 was not accepted")
            .arg(chunk.index)
            .arg(chunk.offset)
            .arg(engine.imageSize());
    }
    case UpgradeMachine::Ending:
        return QStringLiteral("the end of the update was not accepted");
    default:
        return QStringLiteral("the start of the update was not accepted");
    }
}

// Runs the engine until it finishes, until the announcement (or, resuming, the acknowledgement
// of UPDATE_START) is overdue, until a signal stops it (no outcome in these two cases), or until
// no new request has gone out for the no-progress bound. `failure` tells what failed.
std::optional<bool> runEngine(UpgradeEngine &engine, const QByteArray &image, bool resume,
                              int announceTimeout, ProgressReport &report, bool &announced,
                              QString *failure)
{
    QEventLoop loop;
    std::optional<bool> outcome;
    const auto end = [&](bool success) {
        outcome = success;
        if (!success)
            *failure = notAccepted(engine);
        loop.quit();
    };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, [&] {
        end(false);
        *failure += QStringLiteral(" (no progress for %1 s)").arg(CtlConstants::NoProgressTimeout);
    });
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, &loop, [&] {
        if (Interrupt::requested())
            loop.quit();
    });
    signalWatch.start(CtlConstants::SignalPoll);
    QObject::connect(&engine, &UpgradeEngine::announced, &loop, [&] { announced = true; });
    QObject::connect(&engine, &UpgradeEngine::started, &loop, [&] { announced = true; });
    QObject::connect(&engine, &UpgradeEngine::promptChanged, &loop,
                     [&] { watchdog.start(CtlConstants::NoProgressTimeout * 1000); });
    QObject::connect(&engine, &UpgradeEngine::progressChanged, &loop,
                     [&](int offset) { report.show(offset); });
    QObject::connect(&engine, &UpgradeEngine::finished, &loop, end);
    QTimer::singleShot(announceTimeout, &loop, [&] {
        if (!announced)
            loop.quit();
    });
    if (resume)
        engine.resume(image);
    else
        engine.start(image);
    loop.exec();
    engine.cancel();
    report.end();
    return outcome;
}

// Where a signal stopped the upgrade, and the mode it left the modem in: a modem that entered
// AT mode but did not announce its update mode is sent back to data mode.
JobResult interrupted(const ProgressReport &report, qint64 total, bool entered, bool announced,
                      AtSession &session)
{
    QString detail = QStringLiteral("interrupted at byte %1 of %2").arg(report.offset()).arg(total);
    if (announced)
        detail += QStringLiteral("; the modem is left in its update mode, not in AT mode");
    else if (entered && session.exit())
        detail += QStringLiteral("; the modem is back in data mode");
    else if (entered)
        detail += QStringLiteral("; the modem did not confirm its return to data mode (\"ATA\")");
    return {Interrupt::exitCode(), QStringLiteral("interrupted"), detail, {}, {}};
}

QString notInUpdateMode(bool resumed, int announceTimeout)
{
    const QString seconds = QString::number(announceTimeout / 1000.0);
    if (resumed)
        return QStringLiteral("no answer from the modem to \"+++\", to %1 nor to UPDATE_START "
                              "within %2 s: it is neither in AT mode nor in its update mode")
            .arg(QLatin1Char('"') + AtCommands::AtModeCheck.trimmed() + QLatin1Char('"'), seconds);
    return QStringLiteral("the modem did not enter its update mode (no \"UPDATE\" within %1 s)")
        .arg(seconds);
}

} // namespace

PortJob upgrade(const QByteArray &image, int announceTimeout, bool bar)
{
    const QString sha256 =
        QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
    const auto job = [=](const PortContext &context, ModemLine &line) {
        // A modem in data mode ignores the first "\rAT&UP\r", and the engine would try "+++"
        // only two seconds later: enter AT mode first. Whatever the answer, the engine goes on,
        // unless the rate is still unknown. A modem that answered nothing at all may be in its
        // update mode still (an upgrade cut short): it is sent UPDATE_START at once.
        AtSession session(line);
        session.setStop(Interrupt::requested);
        AtEntry::Outcome entry = AtEntry::Outcome::Unanswered;
        const std::optional<JobResult> notEntered =
            LinkEntry::enter(context, line, session, &entry);
        if (notEntered && context.detectBaud && !Interrupt::requested())
            return *notEntered;
        const bool entered = !notEntered;
        const bool resume = entry == AtEntry::Outcome::Unanswered;
        UpgradeEngine engine(nullptr, UpgradeMachine::Policy::Strict);
        engine.SetSerialPort(&line);
        engine.setStop(Interrupt::requested);
        ProgressReport report(context, image.size(), bar);
        bool announced = false;
        QString failure;
        const std::optional<bool> outcome =
            Interrupt::requested()
                ? std::nullopt
                : runEngine(engine, image, resume, announceTimeout, report, announced, &failure);
        if (!outcome && Interrupt::requested()) {
            QObject::disconnect(&line, nullptr, &engine, nullptr);
            return interrupted(report, image.size(), entered, announced, session);
        }
        if (!outcome || !announced) // a resumed start that failed: no update mode either
            return JobResult{ExitCode::NoAnswer,
                             QStringLiteral("failed"),
                             notInUpdateMode(resume, announceTimeout),
                             {},
                             {}};
        if (!*outcome)
            return JobResult{ExitCode::UpgradeFailed, QStringLiteral("failed"), failure, {}, {}};
        const QString speed = ProgressText::throughput(image.size(), report.elapsed());
        return JobResult{ExitCode::Ok,
                         QStringLiteral("upgraded"),
                         speed,
                         context.prefix + QStringLiteral("upgraded: ") + speed + QLatin1Char('\n'),
                         {}};
    };
    return [=](const PortContext &context, ModemLine &line) {
        JobResult result = job(context, line);
        result.firmwareSha256 = sha256;
        return result;
    };
}

} // namespace UpgradeJob
