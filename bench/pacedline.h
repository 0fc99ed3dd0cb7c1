#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <thread>

// The serial line between the tool and the simulated modem. The modem paces what it sends;
// this line paces what the tool sends, which a pseudo-terminal would deliver at once: each
// byte reaches the modem only when it would have crossed the wire at the line rate. The tool
// opens toolPort(); the line forwards to the modem's port. It also notes when the first
// UPDATE_START request left the tool.
class PacedLine
{
public:
    explicit PacedLine(int rate);
    ~PacedLine();
    PacedLine(const PacedLine &) = delete;
    PacedLine &operator=(const PacedLine &) = delete;

    bool open(const QString &modemPort, QString *error);
    QString toolPort() const { return m_toolPort; }
    void forgetStartFrame() { m_startFrameNs = 0; }
    qint64 startFrameNs() const { return m_startFrameNs; } // 0 while none was seen

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void readTool();
    void readModem();
    void writeDue();
    timespec *pollTimeout(timespec &timeout) const;
    void noteStartFrame(const QByteArray &bytes);

    const std::chrono::nanoseconds m_byteTime;
    int m_toolMaster = -1;
    int m_toolSlave = -1; // kept open, so the line survives the tool closing its port
    int m_modem = -1;
    int m_wake = -1;
    QString m_toolPort;
    QByteArray m_pending;      // bytes from the tool still on the wire
    int m_delivered = 0;       // of m_pending, already given to the modem
    Clock::time_point m_start; // when the first byte of m_pending started to cross
    Clock::time_point m_lineFree;
    QByteArray m_recent; // the tool's last bytes, to spot a request across reads
    std::atomic<qint64> m_startFrameNs{0};
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
