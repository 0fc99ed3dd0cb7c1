#include "linerate.h"

// termios2 reports the rate as a number even where the classic termios only says "other"
// (a rate such as 7200 set through BOTHER). Its header clashes with <termios.h>, so this file
// includes nothing else.
#include <asm/termbits.h>
#include <sys/ioctl.h>

int terminalLineRate(int fd)
{
    struct termios2 settings;
    if (ioctl(fd, TCGETS2, &settings) != 0)
        return 0;
    return int(settings.c_ospeed);
}
