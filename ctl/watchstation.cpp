#include "watchstation.h"

#include "console.h"
#include "ctlconstants.h"
#include "exitcode.h"
#include "portholders.h"
#include "runlog.h"
#include "runprinter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace WatchStation {

namespace {

// Which directory entry a path is: a device unplugged and plugged in again is a new entry under
// its old name, however quickly the two follow each other.
using Entry = std::pair<quint64, qint64>; // inode, change time in nanoseconds

Entry entryOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {info.st_ino, qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

// The character devices among the directory's entries, by path.
QHash<QString, Entry> devices(const QString &dir)
{
    QHash<QString, Entry> found;
    const QDir directory(dir);
    for (const QString &name :
         directory.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString path = directory.absoluteFilePath(name);
        if (isDevice(path))
            found.insert(path, entryOf(path));
    }
    return found;
}

// A job's failure on a device that is gone when the job ends counts as its vanishing.
PortJob noticingVanish(const PortJob &job)
{
    return [job](const PortContext &context, ModemLine &line) {
        JobResult result = job(context, line);
        if (result.isFailure() && !isDevice(context.port))
            result.result = JobResult::Result::Vanished;
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
        context.tell(QStringLiteral("%1 (pid %2) has the device open; waiting up to %3 s for it "
                                    "to let go")
                         .arg(PortHolders::ModemManager)
                         .arg(manager->pid)
                         .arg(CtlConstants::ModemManagerWait));
        QDeadlineTimer deadline(CtlConstants::ModemManagerWait * 1000);
        while (manager && !deadline.hasExpired() && !context.stop.requested()) {
            QThread::msleep(CtlConstants::HolderPoll);
            manager = PortHolders::modemManager(PortHolders::of(device));
        }
        if (context.stop.requested())
            return JobResult::interrupted(context.stop.exitCode(),
                                          QStringLiteral("interrupted before anything was sent"));
        if (!manager)
            return job(context, line);
        return JobResult::failure(
            ExitCode::PortError,
            QStringLiteral("%1 (pid %2) still has the device open after %3 s, nothing was sent; ")
                    .arg(PortHolders::ModemManager)
                    .arg(manager->pid)
                    .arg(CtlConstants::ModemManagerWait) +
                PortHolders::advice(device, PortHolders::usbIds(device)));
    };
}

class Station
{
public:
    Station(const Settings &settings, const PortJob &job, RunLog &log, const Stop &stop)
        : m_settings(settings), m_job(noticingVanish(afterModemManager(job))), m_log(log),
          m_stop(stop)
    {
    }

    int exec()
    {
        m_handled = devices(m_settings.dir);
        m_target = target();
        watch();
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_loop, [this] {
            watch();
            scan();
        });
        // The stop is only marked; a modest look for it, as the upgrade does.
        QTimer stopWatch;
        QObject::connect(&stopWatch, &QTimer::timeout, &m_loop, [this] { endWhenDone(); });
        stopWatch.start(DeviceConstants::StopPoll);
        Console::err(QStringLiteral("dr58ctl: watching %1 for serial devices; %2 already there "
                                    "left alone\n")
                         .arg(m_settings.dir)
                         .arg(m_handled.size()));
        m_loop.exec();
        if (!m_results.isEmpty())
            Console::err(RunPrinter::summaryTable(m_results));
        return worstCode(m_results);
    }

private:
    bool mayStart() const
    {
        // A station whose records are lost takes no more radios.
        return !m_stop.requested() && m_log.lost().isEmpty() &&
               (m_settings.count == 0 || m_started < m_settings.count);
    }

    void endWhenDone()
    {
        if (m_threads.empty() && !mayStart())
            m_loop.quit();
    }

    // The folder the directory leads to; empty while it does not exist.
    QString target() const { return QFileInfo(m_settings.dir).canonicalFilePath(); }

    // A link re-pointed to another folder: the devices already there are left alone, as at the
    // start. A folder that comes back where it was brings new devices.
    void followTarget()
    {
        const QString now = target();
        if (now.isEmpty() || now == m_target)
            return;
        const bool repointed = !m_target.isEmpty();
        m_target = now;
        if (!repointed)
            return;
        m_handled = devices(m_settings.dir);
        Console::err(QStringLiteral("dr58ctl: %1 now leads to %2; %3 already there left alone\n")
                         .arg(m_settings.dir, now)
                         .arg(m_handled.size()));
    }

    void watch()
    {
        followTarget();
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
        const QHash<QString, Entry> present = devices(m_settings.dir);
        for (auto handled = m_handled.begin(); handled != m_handled.end();) {
            if (present.value(handled.key()) == handled.value())
                ++handled;
            else
                handled = m_handled.erase(handled);
        }
        for (const auto &running : m_threads) {
            if (present.value(running.first) != running.second.entry)
                m_vanished.insert(running.first);
        }
        QStringList fresh;
        for (auto device = present.begin(); device != present.end(); ++device) {
            if (!m_handled.contains(device.key()))
                fresh << device.key();
        }
        std::sort(fresh.begin(), fresh.end());
        for (const QString &path : fresh) {
            if (m_threads.count(path) == 0 && mayStart())
                start(path, present.value(path));
        }
    }

    void start(const QString &path, const Entry &entry)
    {
        ++m_started;
        auto progress = std::make_shared<RunPrinter::Progress>(path + QStringLiteral(": "), false);
        const PortContext context{
            path,
            path + QStringLiteral(": "),
            m_settings.baud == CtlConstants::AutoBaud,
            m_stop,
            [path](const QString &text) { RunPrinter::tell(path, text); },
            [progress](qint64 done, qint64 total) { progress->show(done, total); }};
        QThread *thread = QThread::create([this, context] {
            const PortResult result = PortJobs::runPort(context, m_settings.baud, m_job, &m_log);
            m_log.record(result);
            RunPrinter::announce(result, false);
            QMetaObject::invokeMethod(
                &m_loop, [this, result] { finished(result); }, Qt::QueuedConnection);
        });
        m_threads[path] = {std::unique_ptr<QThread>(thread), entry};
        thread->start();
    }

    void finished(const PortResult &result)
    {
        const auto thread = m_threads.find(result.port);
        thread->second.thread->wait();
        const Entry entry = thread->second.entry;
        m_threads.erase(thread);
        // Handled for as long as it stays; one that went away meanwhile is new when it is back.
        if (!m_vanished.remove(result.port) && isDevice(result.port) &&
            entryOf(result.port) == entry)
            m_handled.insert(result.port, entry);
        m_results.append(result);
        Console::out(line(result));
        scan();
        endWhenDone();
    }

    const Settings m_settings;
    const PortJob m_job;
    RunLog &m_log;
    const Stop &m_stop;
    QEventLoop m_loop;
    QFileSystemWatcher m_watcher;
    struct Running
    {
        std::unique_ptr<QThread> thread;
        Entry entry; // the directory entry the job was started for
    };
    QString m_target;                     // the folder the directory last led to
    QHash<QString, Entry> m_handled;      // done, or there from the start, and present since
    QSet<QString> m_vanished;             // gone while their job ran
    std::map<QString, Running> m_threads; // the running jobs, by path
    QVector<PortResult> m_results;
    int m_started = 0;
};

} // namespace

int run(const Settings &settings, const PortJob &job, RunLog &log, const Stop &stop)
{
    return Station(settings, job, log, stop).exec();
}

QString line(const PortResult &result)
{
    const QString serial = result.job.identity.value(QStringLiteral("I4"), QStringLiteral("-"));
    return QStringLiteral("%1  %2  %3  %4 s\n")
        .arg(result.port, serial, result.job.word())
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
        paths.append(QFileInfo(path).canonicalFilePath());
    while (path != QLatin1String("/")) {
        path = QFileInfo(path).path();
        if (QFileInfo(path).isDir()) {
            paths.append(path);
            break;
        }
    }
    return paths;
}

bool mayBeFolder(const QString &dir)
{
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    while (!QFileInfo::exists(path) && path != QLatin1String("/"))
        path = QFileInfo(path).path();
    return QFileInfo(path).isDir();
}

} // namespace WatchStation
