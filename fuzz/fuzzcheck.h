#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with the broken property's text; the input that broke it is kept.
inline void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}
