#pragma once

// Timing and sizes of a firmware upgrade.
namespace UpgradeConstants {

constexpr int AtStringTimeout = 2000; // milliseconds to wait after each AT string
constexpr int StartDelay = 100;       // milliseconds from "UPDATE\r\n" to UPDATE_START

constexpr int StartTimeout = 10000;  // milliseconds per UPDATE_START attempt
constexpr int LoadingTimeout = 1000; // milliseconds per UPDATE_LOADING attempt
constexpr int EndTimeout = 30000;    // milliseconds per UPDATE_END attempt

constexpr int StartResends = 1;   // re-sends of UPDATE_START
constexpr int LoadingResends = 2; // re-sends of each UPDATE_LOADING
constexpr int EndResends = 2;     // re-sends of UPDATE_END

constexpr int MaxRejectedAsAck = 3; // consecutive rejected replies taken as acknowledgements

constexpr int ChunkSize = 241; // bytes of firmware in one UPDATE_LOADING frame
// Bytes of the largest image whose chunks all have their own 16-bit packet index: an image of
// n bytes is sent as the chunks 0 to n / ChunkSize (a last, empty one when n is a multiple).
constexpr int MaxImageSize = ChunkSize * 65536 - 1;
constexpr int FrameBufferSize = 300; // bytes, holds the longest frame (258 bytes)
constexpr int FileReadSize = 65536;  // bytes of a firmware file asked for in one read

} // namespace UpgradeConstants
