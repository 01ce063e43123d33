#pragma once

#include <stdexcept>

namespace filefind {

// A file could not be created or written whole; the message names it:
// Cannot create file "<path>".
class EFCreateError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace filefind
