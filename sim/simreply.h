#pragma once

#include "simfault.h"

#include <QByteArray>

// What the modem says in answer to what it received, before faults shape its delivery.
struct SimReply
{
    enum class Kind {
        Greeting,             // the answer to "+++"
        Answer,               // the answer to an AT command
        Query,                // the answer to a single query "ATS<n>?"
        Announcement,         // "UPDATE\r\n", the answer to "AT&UP"
        Acknowledgement,      // of UPDATE_START or UPDATE_END
        ChunkAcknowledgement, // of UPDATE_LOADING
    };
    Kind kind = Kind::Answer;
    QByteArray bytes;
    SimFault fault = SimFault::None; // the fault this reply is subject to
};
