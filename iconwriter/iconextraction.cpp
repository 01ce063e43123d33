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

} // namespace iconwriter
