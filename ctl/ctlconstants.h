#pragma once

#include "deviceconstants.h"
#include "upgradeconstants.h"

// Defaults and limits of dr58ctl.
namespace CtlConstants {

constexpr int DefaultBaud = 9600; // bits per second, 8N1
constexpr int AutoBaud = 0;       // "--baud auto": the rate is detected
// The rates (bits per second) serial devices are most often set to, most common first; rate
// detection tries them before the rest of S102's rates.
constexpr int CommonRates[] = {9600, 115200, 57600, 38400, 19200};
constexpr int AnnounceTimeout = 20;    // seconds for the modem to announce its update mode
constexpr int NoProgressTimeout = 120; // seconds an upgrade may go without a new request sent
static_assert(NoProgressTimeout * 1000 >
                  UpgradeConstants::EndTimeout * (UpgradeConstants::EndResends + 1),
              "UPDATE_END with all its re-sends must fit in the no-progress bound");
constexpr int ProgressBarWidth = 30; // characters of the terminal progress bar
constexpr int ProgressLineStep = 10; // percent between plain progress lines

// The slowest and fastest rates a serial line is set to, in bits per second.
constexpr int MinBaud = 50;
constexpr int MaxBaud = 4000000;
constexpr int MaxAnnounceTimeout = 3600; // seconds
constexpr int UpgradeReturnTimeout = 30; // seconds for an upgraded modem to answer "+++" again
constexpr int MaxWatchCount = 1000000;   // modems a station may be told to handle
constexpr int ModemManagerWait = 30;     // seconds a station waits for the modem manager to let go
constexpr int HolderPoll = 250;          // milliseconds between looks at who holds a device

} // namespace CtlConstants
