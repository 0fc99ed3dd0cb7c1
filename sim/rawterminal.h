#pragma once

// Puts a terminal into raw mode: bytes pass unchanged, without echo or line editing.
bool makeRaw(int fd);
