#include "saveall.h"

#include "icontofile.h"
#include "saveformats.h"
#include "wholeiconfile.h"

#include "platform/utf8.h"
#include "platform/wholeicon.h"

#include <algorithm>
#include <cstddef>
#include <exception>

namespace iconwriter {

std::string BaseName(const std::string &fileName)
{
    // Where each character starts; the base ends where the fourth from the
    // end begins.
    std::vector<std::size_t> starts;
    // A byte that starts no valid character is a character of its own, so
    // a name in another encoding still splits somewhere.
    for (std::size_t at = 0; at < fileName.size();) {
        starts.push_back(at);
        at += std::max<std::size_t>(platform::Utf8CharacterLength(fileName, at), 1);
    }
    if (starts.size() < 4)
        return fileName;
    return fileName.substr(0, starts[starts.size() - 4]);
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

// Extracts, shows and saves one icon of file; any failure is reported
// under name.
void SaveOne(const platform::IconFileReader &file, int index, const std::string &name, int Format,
             std::uint8_t Depth, SaveAllEvents &events, bool stepIcon)
{
    const SaveFormatRow *row = FindSaveFormat(Format);
    const bool whole = row && row->source == SaveSource::WholeIcon;
    try {
        const IconHandle *shown = nullptr;
        if (!whole || events.WantsPreview())
            shown = &events.Preview(file.Extract(index));
        if (stepIcon)
            events.IconStarting();
        if (whole) {
            // Read again from the file: the preview holds only the one image
            // the extraction picks, and a damaged image it stumbles on does
            // not hide the others here.
            platform::WholeIcon icon;
            if (file.Read(index, icon) == platform::WholeIconResult::Ok)
                events.Saved(SaveWholeIconAs(name, icon, Format));
            return;
        }
        if (!shown->IsNull())
            events.Saved(SaveIconChecked(name, *shown, Format, Depth));
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
        // Opened and indexed once for all its icons. A file that cannot be
        // read counts no icon, as the extraction answers for it.
        platform::IconFileReader file;
        file.Open(path);
        const int count = file.Count();
        const std::string base = destination + "/" + BaseName(name);
        if (count >= 2) {
            events.IconsStarting(count - 1);
            for (int j = 0; j < count; ++j)
                SaveOne(file, j, base + std::to_string(j), Format, Depth, events,
                        /*stepIcon=*/true);
            events.IconsDone();
        } else {
            SaveOne(file, 0, base, Format, Depth, events, /*stepIcon=*/false);
        }
    }
    events.FilesDone();
}

} // namespace iconwriter
