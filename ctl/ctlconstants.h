#pragma once

// Defaults and limits of dr58ctl.
namespace CtlConstants {

constexpr int DefaultBaud = 9600;      // bits per second, 8N1
constexpr int AnnounceTimeout = 20;    // seconds for the modem to announce its update mode
constexpr int ProgressBarWidth = 30;   // characters of the terminal progress bar
constexpr int ProgressLineStep = 10;   // percent between plain progress lines
constexpr int MaxProfileBytes = 65536; // a profile of every register with comments is ~3 KiB

} // namespace CtlConstants
