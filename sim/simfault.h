#pragma once

// The ways the simulated modem can misbehave on purpose, so that the tool's handling of a
// faulty modem can be tried. SimModem::Fault is this type.
enum class SimFault {
    None,
    Silent,              // reads everything, answers nothing
    NoGreeting,          // answers "+++" with "OK\r\n" only
    EscapeIgnored,       // does not take "+++" as its escape: no greeting, no change of mode
    PartialThenSilent,   // sends the first half of each reply (never its "OK\r\n"), then nothing
    SplitReply,          // each reply in several pieces with gaps between them
    Babble,              // answers with an endless stream of text, never "OK\r\n"
    Garbage,             // answers with random bytes (no "OK\r\n")
    VerySlow,            // paces at one tenth of the line rate
    DropBytes,           // drops every 7th byte of each reply
    LateReply,           // holds each reply back for the late-reply delay
    UpdateNoAnswer,      // update frames are read but never acknowledged
    UpdateBadCrc,        // acknowledgements carry a wrong CRC
    UpdateFlagError,     // acknowledgements carry flag 0x01 (correct CRC)
    UpdateSplit,         // each acknowledgement in two pieces
    UpdateLate,          // acknowledgements come the late-reply delay late
    UpdateTrailingByte,  // each acknowledgement followed by one extra 0x00 byte
    UpdateNeverAnnounce, // ignores "AT&UP" (never says "UPDATE\r\n")
    UpdateRefuseChunk,   // a firmware chunk is not kept and answered with flag 0x01 (correct CRC)
    UpdateDropChunk,     // a firmware chunk is lost: neither kept nor acknowledged
    QueryError,          // a single query "ATS<n>?" is answered with its echo and "ERROR\r\n"
    Chatter,             // talks without pause from the moment it is set, answers nothing
    RateKept,            // a stored S102 is not followed: the serial port keeps its rate
    UpgradeNewVersion,   // a finished update brings new firmware and software versions (I2, I3)
    UpgradeResets,       // ... and resets every register but S102 to its factory value, stored
};
