#pragma once

// The output rate in bits per second that the last tcsetattr (or termios2 ioctl) set on a
// terminal, non-standard rates included; 0 when it cannot be read.
int terminalLineRate(int fd);
