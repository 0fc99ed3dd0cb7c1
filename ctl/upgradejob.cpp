#include "upgradejob.h"

#include "atcommands.h"
#include "atsession.h"
#include "ctlconstants.h"
#include "exitcode.h"
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

// The offsets the engine reports, told through the context; the transfer is timed from its
// first chunk.
class Transfer
{
public:
    Transfer(const PortContext &context, qint64 total) : m_context(context), m_total(total) {}

    void show(qint64 offset)
    {
        if (!m_clock.isValid())
            m_clock.start();
        m_offset = offset;
        m_context.progress(offset, m_total);
    }

    qint64 offset() const { return m_offset; }
    qint64 elapsed() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

private:
    const PortContext &m_context;
    qint64 m_total;
    QElapsedTimer m_clock;
    qint64 m_offset = 0;
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

// One run of the engine: until it finishes, until the announcement (or, resuming, the
// acknowledgement of UPDATE_START) is overdue, until the stop (no outcome in these two cases), or
// until no new request has gone out for the no-progress bound.
class EngineRun
{
public:
    EngineRun(UpgradeEngine &engine, Transfer &transfer, const Stop &stop)
        : m_engine(engine), m_transfer(transfer), m_stop(stop)
    {
    }

    // Whether the modem accepted the whole image; none when it never announced or was stopped.
    std::optional<bool> run(const QByteArray &image, bool resume, int announceTimeout)
    {
        watch();
        QTimer::singleShot(announceTimeout, &m_loop, [this] {
            if (!m_announced)
                m_loop.quit();
        });
        if (resume)
            m_engine.resume(image);
        else
            m_engine.start(image);
        m_loop.exec();
        m_engine.cancel();
        return m_outcome;
    }

    bool announced() const { return m_announced; }
    const QString &failure() const { return m_failure; } // what failed

private:
    void watch()
    {
        m_watchdog.setSingleShot(true);
        QObject::connect(&m_watchdog, &QTimer::timeout, &m_loop, [this] {
            end(false);
            m_failure +=
                QStringLiteral(" (no progress for %1 s)").arg(CtlConstants::NoProgressTimeout);
        });
        QObject::connect(&m_stopWatch, &QTimer::timeout, &m_loop, [this] {
            if (m_stop.requested())
                m_loop.quit();
        });
        m_stopWatch.start(DeviceConstants::StopPoll);
        const auto announce = [this] { m_announced = true; };
        QObject::connect(&m_engine, &UpgradeEngine::announced, &m_loop, announce);
        QObject::connect(&m_engine, &UpgradeEngine::started, &m_loop, announce);
        QObject::connect(&m_engine, &UpgradeEngine::promptChanged, &m_loop,
                         [this] { m_watchdog.start(CtlConstants::NoProgressTimeout * 1000); });
        QObject::connect(&m_engine, &UpgradeEngine::progressChanged, &m_loop,
                         [this](int offset) { m_transfer.show(offset); });
        QObject::connect(&m_engine, &UpgradeEngine::finished, &m_loop,
                         [this](bool success) { end(success); });
    }

    void end(bool success)
    {
        m_outcome = success;
        if (!success)
            m_failure = notAccepted(m_engine);
        m_loop.quit();
    }

    UpgradeEngine &m_engine;
    Transfer &m_transfer;
    const Stop &m_stop;
    QEventLoop m_loop;
    QTimer m_watchdog;
    QTimer m_stopWatch;
    std::optional<bool> m_outcome;
    bool m_announced = false;
    QString m_failure;
};

// Where the stop ended the upgrade, and the mode it left the modem in: a modem that entered
// AT mode but did not announce its update mode is sent back to data mode.
JobResult interrupted(const Stop &stop, const Transfer &transfer, qint64 total, bool entered,
                      bool announced, AtSession &session)
{
    QString detail =
        QStringLiteral("interrupted at byte %1 of %2").arg(transfer.offset()).arg(total);
    if (announced)
        detail += QStringLiteral("; the modem is left in its update mode, not in AT mode");
    else if (entered && session.exit())
        detail += QStringLiteral("; the modem is back in data mode");
    else if (entered)
        detail += QStringLiteral("; the modem did not confirm its return to data mode (\"ATA\")");
    return JobResult::interrupted(stop.exitCode(), detail);
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

// What the engine's run gave.
JobResult ended(const PortContext &context, const EngineRun &run, std::optional<bool> outcome,
                const Transfer &transfer, qint64 total, const QString &notAnnounced)
{
    if (!outcome || !run.announced()) // a resumed start that failed: no update mode either
        return JobResult::failure(ExitCode::NoAnswer, notAnnounced);
    if (!*outcome)
        return JobResult::failure(ExitCode::UpgradeFailed, run.failure());
    const QString speed = ProgressText::throughput(total, transfer.elapsed());
    return JobResult::done(JobResult::Result::Upgraded, speed,
                           context.prefix + QStringLiteral("upgraded: ") + speed +
                               QLatin1Char('\n'));
}

// A modem in data mode ignores the first "\rAT&UP\r", and the engine would try "+++" only two
// seconds later: AT mode is entered first. Whatever the answer, the engine goes on, unless the
// rate is still unknown. A modem that answered nothing at all may be in its update mode still
// (an upgrade cut short): it is sent UPDATE_START at once.
JobResult upgraded(const PortContext &context, ModemLine &line, const QByteArray &image,
                   int announceTimeout)
{
    AtSession session(line);
    session.setStop(context.stop.asked());
    AtEntry::Outcome entry = AtEntry::Outcome::Unanswered;
    const std::optional<JobResult> notEntered = LinkEntry::enter(context, line, session, &entry);
    if (notEntered && context.detectBaud && !context.stop.requested())
        return *notEntered;
    const bool resume = entry == AtEntry::Outcome::Unanswered;
    UpgradeEngine engine(nullptr, UpgradeMachine::Policy::Strict);
    engine.SetSerialPort(&line);
    engine.setStop(context.stop.asked());
    Transfer transfer(context, image.size());
    EngineRun run(engine, transfer, context.stop);
    const std::optional<bool> outcome =
        context.stop.requested() ? std::nullopt : run.run(image, resume, announceTimeout);
    if (!outcome && context.stop.requested()) {
        QObject::disconnect(&line, nullptr, &engine, nullptr);
        return interrupted(context.stop, transfer, image.size(), !notEntered, run.announced(),
                           session);
    }
    return ended(context, run, outcome, transfer, image.size(),
                 notInUpdateMode(resume, announceTimeout));
}

} // namespace

PortJob upgrade(const QByteArray &image, int announceTimeout)
{
    const QString sha256 =
        QString::fromLatin1(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
    return [=](const PortContext &context, ModemLine &line) {
        JobResult result = upgraded(context, line, image, announceTimeout);
        result.firmwareSha256 = sha256;
        return result;
    };
}

} // namespace UpgradeJob
