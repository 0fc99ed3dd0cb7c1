#include "watchstation.h"

#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "interrupt.h"
#include "portholders.h"
#include "runlog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileSystemWatcher>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace WatchStation {

namespace {

// The character devices among the directory's entries, by path.
QSet<QString> devices(const QString &dir)
{
    QSet<QString> found;
    const QDir directory(dir);
    for (const QString &name :
         directory.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = directory.absoluteFilePath(name);
        if (isDevice(path))
            found.insert(path);
    }
    return found;
}

// A job's failure on a device that is gone when the job ends counts as its vanishing.
PortJob noticingVanish(const PortJob &job)
{
    return [job](const PortContext &context, ModemLine &line) {
        JobResult result = job(context, line);
        if (PortJobs::failed(result) && !isDevice(context.port))
            result.result = QStringLiteral("vanished");
        return result;
    };
}

// The modem manager probes each new serial device with AT commands of its own for a while: the
// job waits, bounded, until it lets go, and fails with the way to keep it away when it does not.
PortJob afterModemManager(const PortJob &job)
{
    return [job](const PortContext &context, ModemLine &line) {
        const QString device = QFileInfo(context.port).canonicalFilePath();
        auto manager = PortHolders::modemManager(PortHolders::of(device));
        if (!manager)
            return job(context, line);
        Console::err(QStringLiteral("dr58ctl: %1: %2 (pid %3) has the device open; waiting up to "
                                    "%4 s for it to let go\n")
                         .arg(context.port, PortHolders::ModemManager)
                         .arg(manager->pid)
                         .arg(CtlConstants::ModemManagerWait));
        QDeadlineTimer deadline(CtlConstants::ModemManagerWait * 1000);
        while (manager && !deadline.hasExpired() && !Interrupt::requested()) {
            QThread::msleep(CtlConstants::HolderPoll);
            manager = PortHolders::modemManager(PortHolders::of(device));
        }
        if (Interrupt::requested())
            return JobResult{Interrupt::exitCode(), QStringLiteral("interrupted"),
                             QStringLiteral("interrupted before anything was sent")};
        if (!manager)
            return job(context, line);
        return JobResult{
            ExitCode::PortError, QStringLiteral("failed"),
            QStringLiteral("%1 (pid %2) still has the device open after %3 s, nothing was sent; ")
                    .arg(PortHolders::ModemManager)
                    .arg(manager->pid)
                    .arg(CtlConstants::ModemManagerWait) +
                PortHolders::advice(device, PortHolders::usbIds(device))};
    };
}

class Station
{
public:
    Station(const Settings &settings, const PortJob &job, RunLog &log)
        : m_settings(settings), m_job(noticingVanish(afterModemManager(job))), m_log(log)
    {
    }

    int exec()
    {
        m_handled = devices(m_settings.dir);
        watch();
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_loop, [this] {
            watch();
            scan();
        });
        // The signal handler only marks the signal; a modest look for it, as the upgrade does.
        QTimer signalWatch;
        QObject::connect(&signalWatch, &QTimer::timeout, &m_loop, [this] { endWhenDone(); });
        signalWatch.start(CtlConstants::SignalPoll);
        Console::err(QStringLiteral("dr58ctl: watching %1 for serial devices; %2 already there "
                                    "left alone\n")
                         .arg(m_settings.dir)
                         .arg(m_handled.size()));
        m_loop.exec();
        if (!m_results.isEmpty())
            Console::err(PortJobs::summaryTable(m_results));
        return worstCode(m_results);
    }

private:
    bool mayStart() const
    {
        return !Interrupt::requested() && (m_settings.count == 0 || m_started < m_settings.count);
    }

    void endWhenDone()
    {
        if (m_threads.empty() && !mayStart())
            m_loop.quit();
    }

    void watch()
    {
        const QStringList wanted = watchedPaths(m_settings.dir);
        for (const QString &path : m_watcher.directories()) {
            if (!wanted.contains(path))
                m_watcher.removePath(path);
        }
        for (const QString &path : wanted) {
            if (!m_watcher.directories().contains(path))
                m_watcher.addPath(path);
        }
    }

    void scan()
    {
        const QSet<QString> present = devices(m_settings.dir);
        m_handled.intersect(present);
        for (const auto &running : m_threads) {
            if (!present.contains(running.first))
                m_vanished.insert(running.first);
        }
        QStringList fresh = (present - m_handled).values();
        std::sort(fresh.begin(), fresh.end());
        for (const QString &path : fresh) {
            if (m_threads.count(path) == 0 && mayStart())
                start(path);
        }
    }

    void start(const QString &path)
    {
        ++m_started;
        const PortContext context{path, path + QStringLiteral(": "),
                                  m_settings.baud == CtlConstants::AutoBaud};
        QThread *thread = QThread::create([this, context] {
            const PortResult result = PortJobs::runPort(context, m_settings.baud, m_job, &m_log);
            PortJobs::announce(result, false);
            QMetaObject::invokeMethod(
                &m_loop, [this, result] { finished(result); }, Qt::QueuedConnection);
        });
        m_threads[path].reset(thread);
        thread->start();
    }

    void finished(const PortResult &result)
    {
        const auto thread = m_threads.find(result.port);
        thread->second->wait();
        m_threads.erase(thread);
        // Handled for as long as it stays; one that went away meanwhile is new when it is back.
        if (!m_vanished.remove(result.port) && isDevice(result.port))
            m_handled.insert(result.port);
        m_results.append(result);
        Console::out(line(result));
        scan();
        endWhenDone();
    }

    const Settings m_settings;
    const PortJob m_job;
    RunLog &m_log;
    QEventLoop m_loop;
    QFileSystemWatcher m_watcher;
    QSet<QString> m_handled;  // done, or there from the start, and present since
    QSet<QString> m_vanished; // gone while their job ran
    std::map<QString, std::unique_ptr<QThread>> m_threads; // the running jobs, by path
    QVector<PortResult> m_results;
    int m_started = 0;
};

} // namespace

int run(const Settings &settings, const PortJob &job, RunLog &log)
{
    return Station(settings, job, log).exec();
}

PortJob then(const PortJob &first, const PortJob &second)
{
    return [first, second](const PortContext &context, ModemLine &line) {
        const JobResult before = first(context, line);
        if (PortJobs::failed(before))
            return before;
        JobResult result = second(context, line);
        result.detail = before.result + QStringLiteral(": ") + before.detail +
                        QStringLiteral("; ") + result.detail;
        result.output.prepend(before.output);
        result.firmwareSha256 = before.firmwareSha256;
        return result;
    };
}

QString line(const PortResult &result)
{
    const QString serial = result.job.identity.value(QStringLiteral("I4"), QStringLiteral("-"));
    return QStringLiteral("%1  %2  %3  %4 s\n")
        .arg(result.port, serial, result.job.result)
        .arg(result.seconds, 0, 'f', 1);
}

int worstCode(const QVector<PortResult> &results)
{
    int worst = 0;
    for (const PortResult &result : results)
        worst = std::max(worst, result.job.code);
    return worst;
}

bool isDevice(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

QStringList watchedPaths(const QString &dir)
{
    QStringList paths;
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    if (QFileInfo(path).isDir())
        paths.append(path);
    while (path != QLatin1String("/")) {
        path = QFileInfo(path).path();
        if (QFileInfo(path).isDir()) {
            paths.append(path);
            break;
        }
    }
    return paths;
}

} // namespace WatchStation
