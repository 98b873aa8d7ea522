#pragma once

#include <stdexcept>
#include <string>

// An internal consistency failure: the program never goes on past a broken invariant.
// The short message ("wrong para", "wrong index", …) travels in the exception so that
// tests and the top-level handler can read it.
class HLAssertionFailure : public std::logic_error
{
public:
    using std::logic_error::logic_error;
};

#define HL_ASSERT(cond, message)                                                                   \
    do {                                                                                           \
        if (!(cond))                                                                               \
            throw HLAssertionFailure(std::string(message));                                        \
    } while (0)

// An unconditional failure, for cases that must not be reached ("Wrong Case").
#define HL_FAIL(message) throw HLAssertionFailure(std::string(message))
