#pragma once

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <csignal> // before the library, which needs it at global scope
#include <functional>
#include <gensio/gensio>
#include <mutex>
#include <string>
#include <thread>

// The state a gensio's callbacks share with the line's thread, under one mutex: what arrived
// and what waits to be sent, the first error, and how far opening and closing have come.
class LinkState
{
public:
    using Lock = std::unique_lock<std::mutex>;

    qint64 available() const;
    qint64 take(char *data, qint64 maxSize);
    void discard();
    // Appends what arrived; false, leaving it out, when it would make more than `limit` unread.
    bool arrive(const char *data, qint64 size, qint64 limit);
    // Queues bytes to be sent; false once the connection has failed.
    bool queue(const char *data, qint64 size);
    QByteArray unsentBytes() const;
    // Drops `count` sent bytes from the queue; whether some are left.
    bool sent(qint64 count);
    qint64 unsent() const;

    // Whether something arrived, or everything queued left, within `ms` (false once the
    // connection has failed).
    bool awaitArrival(int ms);
    bool awaitSent(int ms);
    // Waits up to `ms` for `done`, asking `stop` every LinkConstants::StopPoll ms; false when it
    // did not come, in time or before the stop.
    bool await(int ms, const std::function<bool()> &done, const std::function<bool()> &stop = {});

    int error() const;
    // The first error stays, except that a write refused on a connection already going away
    // gives way to the reason the read side learns right after.
    void fail(int error);
    // Sets one of the flags below (under the mutex) and wakes the waiters; an error stays.
    void mark(bool LinkState::*flag, int error = 0);

    // Set by mark(), read in an await()'s `done`, both under the mutex.
    bool opened = false;
    bool answered = false; // a COM port control request
    bool closed = false;
    bool freed = false;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArray m_in;
    QByteArray m_out;
    quint64 m_arrivals = 0;
    int m_error = 0;
};

// The network side of a line: a gensio driven by a thread of its own, which puts what arrives
// into the state and calls `arrived`.
class GensioLink : public gensios::Serial_Event,
                   public gensios::Gensio_Open_Done,
                   public gensios::Gensio_Close_Done
{
public:
    // The error of a line whose server sends faster than it is read, beside the library's own.
    static constexpr int Flooded = -1;

    GensioLink(std::function<void()> arrived, std::function<bool()> stop);
    ~GensioLink() override;

    // Connects to the gensio `address` within the connect bound; 0 or the library's error.
    int connect(const std::string &address);
    // The rate the server's line reports after setting it to `baud`, 8N1; -1 without an answer.
    long long setLine(int baud);
    // Queues bytes and hands what it can to the network; -1 once the connection has failed.
    qint64 put(const char *data, qint64 size);

    LinkState &state() { return m_state; }
    const LinkState &state() const { return m_state; }

    static QString describe(int error);
    static bool isNameError(int error);
    // Readies the calling thread for a link: a write to a closed connection fails instead of
    // ending the program, and the library's wake-up signal is handled.
    static void prepareThread();

private:
    void serve();
    void shut();
    void tuneSocket();
    void flush();

    gensios::gensiods read(int err, const gensios::SimpleUCharVector data,
                           const char *const *auxdata) override;
    void write_ready() override { flush(); }
    void open_done(int err) override { m_state.mark(&LinkState::opened, err); }
    void close_done() override { m_state.mark(&LinkState::closed); }
    void freed() override { m_state.mark(&LinkState::freed); }

    std::function<void()> m_arrived;
    std::function<bool()> m_stop;
    gensios::Os_Funcs m_os;
    gensios::Waiter m_waiter;
    std::thread m_service;
    std::atomic<bool> m_stopping{false};
    gensios::Gensio *m_io = nullptr;
    LinkState m_state;
    std::atomic<int> m_socket{-1}; // the TCP socket, once tuned (before the first read)
    std::mutex m_writeMutex;       // one writer to the network at a time
};
