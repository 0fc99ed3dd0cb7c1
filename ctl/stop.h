#pragma once

#include <atomic>
#include <functional>

// A request to stop a run's jobs: they send no new command, return their modems to data mode
// and report what they did, with the stop's exit code. Asked from any thread; made by a caller,
// or, for a stop that follows signals, by the first signal Interrupt catches.
class Stop
{
public:
    enum class Source { Caller, Signals };

    explicit Stop(Source source = Source::Caller) : m_source(source) {}
    Stop(const Stop &) = delete;
    Stop &operator=(const Stop &) = delete;

    // Stops the jobs; they end with `exitCode` (128 + a signal's number, as a signal would).
    void request(int exitCode);
    bool requested() const { return exitCode() != 0; }
    int exitCode() const; // 0 while no stop was requested

    // The question for AtSession::setStop, UpgradeEngine::setStop and OutputFile::save.
    std::function<bool()> asked() const
    {
        return [this] { return requested(); };
    }

private:
    const Source m_source;
    std::atomic<int> m_code{0};
};
