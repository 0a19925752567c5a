#pragma once

#include <cstdio>
#include <cstdlib>

// A broken precondition is a programming error, not a run-time condition: stop at once rather
// than read or write outside a buffer. Data from outside is checked by its parser before any
// of these helpers sees it.
#define QV_EXPECTS(cond)                                                                         \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "%s:%d: precondition failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)
