#include "benches.h"
#include "measure.h"
#include "report.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <poll.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace {

constexpr double BareTarget = 2.0;   // first paint, at most this times the bare window's
constexpr double PeerTarget = 0.8;   // first paint, at most this times the peer's
constexpr double MemoryTarget = 1.0; // idle peak memory, at most this times the peer's
constexpr int ServerTimeout = 10000; // milliseconds for the X server to come up
constexpr int PaintTimeout = 30000;  // milliseconds for a program to paint its window
constexpr int IdleTime = 1000;       // milliseconds idle after the first paint, before the reading
constexpr int ExitTimeout = 5000;    // milliseconds for a program to end when told
constexpr int SettleTime = 200;      // milliseconds for the screen to settle between starts

// An X server of the bench's own (Xvfb), whose root window is watched with the DAMAGE
// extension: the first drawing anywhere on the screen after a program starts is its first
// paint, whatever program it is, so every program is measured alike and from outside.
class Screen
{
public:
    Screen()
    {
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                                QStringLiteral("-screen"), QStringLiteral("0"),
                                                QStringLiteral("1920x1080x24")});
        if (!m_server.waitForReadyRead(ServerTimeout))
            qFatal("Xvfb did not start: run ./tools/bench, which installs it");
        m_name = QLatin1Char(':') + QString::fromLatin1(m_server.readLine().trimmed());
        m_connection = xcb_connect(qPrintable(m_name), nullptr);
        if (xcb_connection_has_error(m_connection))
            qFatal("cannot connect to the X server %s", qPrintable(m_name));
        const xcb_query_extension_reply_t *damage =
            xcb_get_extension_data(m_connection, &xcb_damage_id);
        if (!damage || !damage->present)
            qFatal("the X server has no DAMAGE extension");
        m_damageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
        free(xcb_damage_query_version_reply(m_connection,
                                            xcb_damage_query_version(m_connection, 1, 1), nullptr));
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_damage = xcb_generate_id(m_connection);
        xcb_damage_create(m_connection, m_damage, root, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(m_connection);
    }

    ~Screen()
    {
        xcb_disconnect(m_connection);
        m_server.terminate();
        m_server.waitForFinished(ExitTimeout);
    }

    QString name() const { return m_name; }

    // Forgets what was drawn so far: the next drawing reports anew.
    void clear()
    {
        xcb_damage_subtract(m_connection, m_damage, XCB_NONE, XCB_NONE);
        sync();
    }

    // Monotonic time of the next drawing, 0 when none comes within the timeout.
    qint64 waitForDrawing(int timeoutMs)
    {
        const qint64 deadline = Measure::nowNs() + qint64(timeoutMs) * 1000000;
        pollfd watched{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        for (qint64 now = Measure::nowNs(); now < deadline; now = Measure::nowNs()) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                const bool drawn = (event->response_type & 0x7f) == m_damageNotify;
                free(event);
                if (drawn)
                    return Measure::nowNs();
            }
            poll(&watched, 1, int((deadline - now) / 1000000) + 1);
        }
        return 0;
    }

private:
    // Waits until the server has handled every request sent, then drops the pending events.
    void sync()
    {
        free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            free(event);
    }

    QProcess m_server;
    QString m_name;
    xcb_connection_t *m_connection = nullptr;
    xcb_damage_damage_t m_damage = 0;
    uint8_t m_damageNotify = 0;
};

struct Program
{
    QString name;
    QString path;
    QVector<double> paintMs; // process start to the first paint
    QVector<double> peakKb;  // VmHWM, idle after the first paint
};

// Starts the program on the screen, waits for its first paint, lets it idle, reads its peak
// memory and ends it.
void startOnce(Screen &screen, Program &program, const QProcessEnvironment &environment)
{
    QThread::msleep(SettleTime);
    screen.clear();
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 start = Measure::nowNs();
    process.start(program.path, QStringList());
    const bool started = process.waitForStarted(PaintTimeout);
    const qint64 painted = screen.waitForDrawing(PaintTimeout);
    if (!started || !painted || process.state() != QProcess::Running)
        qFatal("%s did not paint its window", qPrintable(program.path));
    QThread::msleep(IdleTime);
    program.paintMs << (painted - start) / 1e6;
    program.peakKb << Measure::peakResidentKb(process.processId());
    process.terminate();
    if (!process.waitForFinished(ExitTimeout)) {
        process.kill();
        process.waitForFinished(ExitTimeout);
    }
}

QString peerPath()
{
    const QString path = QStandardPaths::findExecutable(QStringLiteral("cutecom"));
    if (path.isEmpty())
        qFatal("cutecom is missing: run ./tools/bench, which installs it");
    return path;
}

} // namespace

void benchStartup(int runs)
{
    Screen screen;
    QTemporaryDir home; // the same empty settings for every start
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), screen.name());
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    // The software OpenGL of the virtual screen takes 0.3 to 0.4 s to load in every Qt program
    // alike, and none of the three draws with OpenGL; a session bus that is not there would be
    // started anew by every program (none is either on a desktop).
    environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       QStringLiteral("unix:path=") + home.filePath(QStringLiteral("no-bus")));

    QVector<Program> programs{
        {QStringLiteral("dr58at"), QStringLiteral(DR58_TOOL_PATH), {}, {}},
        {QStringLiteral("bare QMainWindow"), QStringLiteral(DR58_BARE_PATH), {}, {}},
        {QStringLiteral("CuteCom"), peerPath(), {}, {}}};
    for (Program &program : programs) { // the first start also reads the files from disk
        startOnce(screen, program, environment);
        program.paintMs.clear();
        program.peakKb.clear();
    }
    for (int run = 0; run < runs; ++run) { // in turn, so all see the same machine
        for (Program &program : programs)
            startOnce(screen, program, environment);
    }

    const Program &tool = programs.at(0);
    const double toolMs = Measure::median(tool.paintMs);
    const double toolKb = Measure::median(tool.peakKb);
    const QString paint = QStringLiteral("start-up to the first paint (median of %1)").arg(runs);
    const QString memory =
        QStringLiteral("peak memory (VmHWM), idle after the first paint (median of %1)").arg(runs);
    for (int index : {1, 2}) {
        const Program &other = programs.at(index);
        const bool peer = index == 2;
        const double otherMs = Measure::median(other.paintMs);
        const double paintTarget = peer ? PeerTarget : BareTarget;
        Report::print({paint, Report::ms(toolMs),
                       other.name + QLatin1Char(' ') + Report::ms(otherMs), toolMs / otherMs,
                       QStringLiteral("≤ %1 × %2").arg(paintTarget).arg(other.name),
                       toolMs <= paintTarget * otherMs});
    }
    for (int index : {1, 2}) {
        const Program &other = programs.at(index);
        const bool peer = index == 2;
        const double otherKb = Measure::median(other.peakKb);
        Report::print(
            {memory, Report::megabytes(qint64(toolKb)),
             other.name + QLatin1Char(' ') + Report::megabytes(qint64(otherKb)), toolKb / otherKb,
             peer ? QStringLiteral("≤ %1 × %2").arg(MemoryTarget).arg(other.name) : QString(),
             toolKb <= MemoryTarget * otherKb});
    }
}
