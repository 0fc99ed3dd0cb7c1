#pragma once

// Exit codes of dr58ctl, the contract with the scripts that call it.
namespace ExitCode {

constexpr int Ok = 0;
constexpr int Different = 1;     // diff: the modem differs from the profile
constexpr int Usage = 2;         // bad command line
constexpr int BadFile = 3;       // profile or firmware file unreadable or invalid; nothing sent
constexpr int PortMissing = 4;   // no such serial port
constexpr int PortDenied = 5;    // no permission to open the port
constexpr int PortError = 6;     // port busy, failing to open, or failing while in use
constexpr int NoAnswer = 7;      // no usable answer (no greeting, no listing, silent, unreadable)
constexpr int Refused = 8;       // a register, preset or store refused, or read back different
constexpr int UpgradeFailed = 9; // the firmware upgrade stopped being acknowledged
constexpr int NotInPlan = 10;    // the modem's serial number is not in the site plan
// A profile, plan, report, transcript or standard output could not be written whole; the
// modems were left as every run leaves them.
constexpr int WriteFailed = 11;

} // namespace ExitCode
