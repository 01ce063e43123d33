#pragma once

#include <stdexcept>

namespace settings {

// The settings file or its folder could not be made or written; the message
// names the path.
class EIniFileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace settings
