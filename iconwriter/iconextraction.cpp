#include "iconextraction.h"

#include "platform/extracticon.h"

namespace iconwriter {

int IconCount(const std::string &FileName)
{
    return platform::CountIcons(FileName);
}

IconHandle ExtractIconHandle(const std::string &FileName, int Index)
{
    if (Index == -1)
        return {};
    return platform::ExtractIcon(FileName, Index);
}

std::vector<int> SaveAllIndices(int count)
{
    if (count < 2)
        return {0};
    std::vector<int> indices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        indices[static_cast<std::size_t>(i)] = i;
    return indices;
}

} // namespace iconwriter
