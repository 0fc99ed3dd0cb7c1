#pragma once

// Defaults and limits of dr58ctl.
namespace CtlConstants {

constexpr int DefaultBaud = 9600;    // bits per second, 8N1
constexpr int AnnounceTimeout = 20;  // seconds for the modem to announce its update mode
constexpr int ProgressBarWidth = 30; // characters of the terminal progress bar
constexpr int ProgressLineStep = 10; // percent between plain progress lines

} // namespace CtlConstants
