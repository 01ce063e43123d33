#pragma once

#include <stdexcept>

namespace controls {

// A control was asked for something its current state does not allow.
class EInvalidOperation : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace controls
