#pragma once

#include <stdexcept>

namespace controls {

// A folder tree was asked to select a folder it cannot show.
class EInvalidPath : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace controls
