#pragma once

#include "linkconstants.h"

// The bounds of the AT dialogue with a modem, shared by the window and the command-line tool.
namespace DeviceConstants {

// Waiting for a reply.
constexpr int FirstBytesTimeout = 2000; // milliseconds the modem has to start answering
constexpr int SilentPeriod = 1000;      // milliseconds of silence that count as one silent period
// A modem that keeps talking without ever saying "OK\r\n" is cut off after this long.
constexpr int TotalLimit = 30000;                 // milliseconds
constexpr int StopPoll = LinkConstants::StopPoll; // milliseconds between looks at a stop
constexpr int StopGrace = 1000;     // milliseconds the reply under way still gets after the stop
constexpr int MaxReplySize = 65536; // bytes a reply may hold: a listing is about 1 KiB

// Writing a command: milliseconds for its bytes to leave.
constexpr int WriteTimeout = 30000;

// Entering AT mode: milliseconds of quiet line before each "+++" (before the first only when
// bytes were pending on the line); after it the greeting is awaited (FirstBytesTimeout for its
// first bytes) with nothing sent.
constexpr int EntryIdles[] = {50, 1000, 1500};
constexpr int EntryTries = int(sizeof(EntryIdles) / sizeof(EntryIdles[0]));
// Milliseconds a rate under detection has to start its greeting, and again for the check's answer.
constexpr int DetectWait = 800;

// Characters of a port's transcript kept: the newest text.
constexpr int TranscriptKeep = 4 * 1024 * 1024;

} // namespace DeviceConstants
