#pragma once

#include "modemcore.h"
#include "outputqueue.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <atomic>
#include <mutex>
#include <optional>
#include <thread>

// A simulated DR58 radio modem on the master side of a pseudo-terminal: the tool opens the
// slave side with a real serial port. The modem runs on its own thread and paces what it sends
// at the line rate. Every member is thread-safe.
class SimModem
{
public:
    using Fault = SimFault;
    using Identity = RegisterBank::Identity;

    SimModem();
    ~SimModem();
    SimModem(const SimModem &) = delete;
    SimModem &operator=(const SimModem &) = delete;

    bool start(QString *error = nullptr); // opens the pseudo-terminal and starts the I/O thread
    void stop();                          // closes it: the peer's port sees the modem vanish
    QString portName() const;             // slave path, e.g. "/dev/pts/5"
    bool linkTo(const QString &path);     // a stable symlink to the slave, removed on stop

    void setBaudRate(int baud); // pacing rate; 0 (default) follows the rate set on the line
    int baudRate() const;       // rate in force now

    // The rate the modem's serial port listens at; 0 (default): whichever rate the other end
    // sets. Bytes sent at another rate arrive garbled (received() keeps them so) and get no
    // answer, and nothing is sent while the rates differ. A rate S102 offers is also put into
    // S102, working and stored. After AT&W stored another S102, the modem listens at that rate
    // once it is back in data mode and has sent everything (after "ATA"'s "OK", or powerCycle()),
    // unless the fault RateKept is in force.
    void setLineBaud(int baud);
    int lineBaud() const;

    // One of the identity lines of the AT&V listing; false (nothing changes) for text that is
    // empty, longer than 32 characters or not printable ASCII.
    bool setIdentity(Identity line, const QString &text);

    void setFault(Fault fault, int times = -1); // -1: until cleared; n: the next n replies only
    // Sets the fault once received bytes end in `command`, before the modem answers them.
    void setFaultOn(const QByteArray &command, Fault fault, int times = -1);
    Fault fault() const;
    // UntilNextCommand: a late reply waits until the modem next receives bytes, and then leaves
    // before the answer to them.
    void setLateReplyDelay(int ms);
    static constexpr int UntilNextCommand = ReplyPiece::UntilNextInput;
    void releaseHeldReplies(); // lets held late replies go out now

    void sendRaw(const QByteArray &bytes); // injects bytes now, paced
    // Sends `bytes` just before the answer to the next received bytes ending in `command`.
    void sendBeforeAnswerTo(const QByteArray &command, const QByteArray &bytes);
    QByteArray received() const; // every byte received since start or clearReceived()
    void clearReceived();
    QByteArray sent() const; // every byte sent since start
    bool sending() const;    // replies still queued or on their way, held ones too

    bool inAtMode() const;
    bool inUpdateMode() const;
    QString registerValue(const QString &name) const; // working value, e.g. of "S104"
    void setRegisterValue(const QString &name, const QString &value);
    QString storedValue(const QString &name) const; // value kept by AT&W
    void setStoredValue(const QString &name, const QString &value);
    void powerCycle();        // working registers reloaded from the stored ones, back to data mode
    QByteArray image() const; // firmware image put together from the update chunks
    int updateRequests(int step) const; // requests of step 1, 2 or 3 in the last update

private:
    using Lock = std::lock_guard<std::mutex>;

    void run();
    bool openLine(QString *error);
    void closeLine();
    void readInput();
    void writeOutput();
    timespec *pollTimeout(timespec &timeout);
    int lineRate() const;
    int hostRate() const;
    bool ratesMatch() const;
    void followStoredRate();
    void wake();
    bool makeLink();
    void removeLink();
    qint64 elapsedMs() const;

    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stopping{false};
    int m_master = -1;
    int m_slave = -1;
    int m_wake = -1;
    QString m_portName;
    QString m_link;
    bool m_linked = false;
    int m_baud = 0;
    int m_lineBaud = 0;
    QString m_lineCode; // the stored S102 that m_lineBaud last followed
    int m_lateDelay;
    struct ArmedFault
    {
        QByteArray command;
        Fault fault;
        int times;
    };
    std::optional<ArmedFault> m_armed;
    std::optional<std::pair<QByteArray, QByteArray>> m_before; // command, bytes before its answer
    ModemCore m_core;
    OutputQueue m_output;
    QByteArray m_unwritten; // taken from the queue, refused by a full line
    QByteArray m_received;
    QByteArray m_sent;
    bool m_babbling = false;
    int m_babbleSerial = 0;
    QRandomGenerator m_random;
    const OutputQueue::Clock::time_point m_epoch;
};
