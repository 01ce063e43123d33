#include "extracticon.h"

#include "wholeicon.h"

namespace platform {

// The reader reports damage by return values and keeps running out of
// memory from escaping to the window too.
int CountIcons(const ByteSource &source)
{
    IconFileReader reader;
    reader.Open(source);
    return reader.Count();
}

Icon ExtractIcon(const ByteSource &source, int index)
{
    IconFileReader reader;
    reader.Open(source);
    return reader.Extract(index);
}

int CountIcons(const std::string &path)
{
    IconFileReader reader;
    reader.Open(path);
    return reader.Count();
}

Icon ExtractIcon(const std::string &path, int index)
{
    IconFileReader reader;
    reader.Open(path);
    return reader.Extract(index);
}

} // namespace platform
