#pragma once

namespace SimConstants {

constexpr int BitsPerByte = 10;             // start bit, 8 data bits, stop bit
constexpr int DefaultLineRate = 9600;       // bits per second, when the line's rate is unknown
constexpr int EscapeGuard = 50;             // milliseconds of quiet before "+++" counts as escape
constexpr int MaxCommandLength = 512;       // bytes; a longer AT command is refused
constexpr int FrameResync = 1000;           // milliseconds within which a frame must complete
constexpr int ChunkSize = 241;              // firmware bytes carried by one update frame
constexpr int DefaultLateReplyDelay = 2500; // milliseconds
constexpr int SplitPieces = 3;              // pieces of a split AT reply
constexpr int SplitGap = 300;               // milliseconds between the pieces of an AT reply
constexpr int UpdateSplitGap = 50;          // milliseconds between the halves of an acknowledgement
constexpr int SlowDivisor = 10;             // the very slow modem paces at rate / this
constexpr int DropEvery = 7;                // the n-th byte of a reply that gets lost
constexpr int GarbageLength = 48;           // bytes of noise that replace a reply
constexpr int WriteSlice = 1000;            // microseconds of line time gathered into one write
constexpr int ReadSize = 4096;              // bytes read from the line at once
constexpr int ErrorPause = 10;        // milliseconds of rest after a failed read, so as not to spin
constexpr int MaxIdentityLength = 32; // characters of an identity line's text

} // namespace SimConstants
