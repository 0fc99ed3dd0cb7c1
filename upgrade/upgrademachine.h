#pragma once

#include "apiprotocol.h"

// The upgrade's progress and its next-step decisions, free of widgets, timers and ports.
// The dialog reports what happened (a reply, a timer expiry) and carries out the answer.
class UpgradeMachine
{
public:
    enum State { Idle = 0, EscapeSent = 1, UpdateSent = 2, Starting = 3, Loading = 4, Ending = 5 };
    // Lenient is the dialog's way: a few rejected replies pass for acknowledgements while
    // loading, and an out-of-step reply only stops the frame timer. Strict counts a request done
    // only on the acknowledgement of its own step; any other reply spends a re-send.
    enum class Policy { Lenient, Strict };
    // Resend: write the request in flight again now; Fail: its re-sends are spent.
    enum class ReplyAction { None, SendNext, Success, OutOfStep, Resend, Fail };
    enum class TimeoutAction { Resend, Stop, Fail };
    enum class AtTimeoutAction { None, JoinAt, AtUpdate };

    // The request sent in a state; step 0 when the state sends none.
    struct Request
    {
        int step;
        const char *prompt; // source text in the context "upgrade"
        int timeout;        // milliseconds
        int resends;
    };

    struct Chunk
    {
        quint16 index;
        int offset; // bytes into the image
        int length; // bytes
    };

    explicit UpgradeMachine(Policy policy = Policy::Lenient) : m_policy(policy) {}

    int state() const { return m_state; }
    void setState(State state) { m_state = state; }
    bool upgrading() const { return m_upgrading; }
    int offset() const { return m_offset; }
    int errorCount() const { return m_errorCount; }
    int retriesLeft() const { return m_retriesLeft; }

    void start(int imageSize);
    void stop();

    Request request() const;
    Chunk chunk(int packetLen) const;
    void arm(int resends) { m_retriesLeft = resends; }

    ReplyAction replyAccepted(int replyType, int packetLen);
    ReplyAction replyRejected(int packetLen);
    TimeoutAction frameTimedOut();
    AtTimeoutAction atTimedOut() const;

    static const char *outOfStepTag(int replyType);

private:
    void advance(int packetLen);
    ReplyAction refused();

    Policy m_policy;
    int m_state = Idle;
    bool m_upgrading = false;
    int m_imageSize = 0;  // bytes
    int m_offset = 0;     // bytes
    int m_errorCount = 0; // rejected replies in a row while loading
    int m_retriesLeft = 0;
};
