#include "saveall.h"

#include "icontofile.h"
#include "wholeiconfile.h"

#include <exception>

namespace iconwriter {

std::string BaseName(const std::string &fileName)
{
    return fileName.size() < 4 ? fileName : fileName.substr(0, fileName.size() - 4);
}

SaveOutcome SaveIconChecked(const std::string &Name, const IconHandle &Icon, int Format,
                            std::uint8_t Depth)
{
    SaveOutcome outcome = SaveIconAs(Name, Icon, Format, Depth);
    if (outcome.result != wrWritten)
        throw ESaveError("Cannot write \"" + outcome.path +
                         "\": " + WriteResultText(outcome.result));
    return outcome;
}

namespace {

// Extracts, shows and saves one icon; any failure is reported under name.
void SaveOne(const std::string &path, int index, const std::string &name, int Format,
             std::uint8_t Depth, SaveAllEvents &events, bool stepIcon)
{
    try {
        const IconHandle &icon = events.Preview(ExtractIconHandle(path, index));
        if (stepIcon)
            events.IconStarting();
        if (icon.IsNull())
            return;
        // The whole icon is read again from the file: the preview holds only
        // the one image the extraction picks.
        if (Format == sfIconAllSizes || Format == sfPng)
            events.Saved(SaveWholeIcon(path, index, name, Format));
        else
            events.Saved(SaveIconChecked(name, icon, Format, Depth));
    } catch (const std::exception &) {
        events.Error("Could not process " + name);
    }
}

} // namespace

void SaveAllIcons(const std::string &folder, const std::vector<std::string> &names,
                  const std::string &destination, int Format, std::uint8_t Depth,
                  SaveAllEvents &events)
{
    if (names.empty())
        return;
    events.FilesStarting(static_cast<int>(names.size()));
    for (const std::string &name : names) {
        const std::string path = folder + "/" + name;
        events.FileStarting(path);
        const int count = IconCount(path);
        const std::string base = destination + "/" + BaseName(name);
        if (count >= 2) {
            events.IconsStarting(count - 1);
            for (int j = 0; j < count; ++j)
                SaveOne(path, j, base + std::to_string(j), Format, Depth, events,
                        /*stepIcon=*/true);
            events.IconsDone();
        } else {
            SaveOne(path, 0, base, Format, Depth, events, /*stepIcon=*/false);
        }
    }
    events.FilesDone();
}

} // namespace iconwriter
