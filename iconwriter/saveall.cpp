#include "saveall.h"

#include "icontofile.h"
#include "wholeiconfile.h"

#include <cstddef>
#include <exception>

namespace iconwriter {

namespace {

// Length in bytes of the UTF-8 character that starts at text[at], or 1 for
// a byte that starts no valid character (a stray byte is a character of
// its own, so a name in another encoding still splits somewhere).
std::size_t CharacterLength(const std::string &text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 1;
    unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    else
        return 1;
    if (length > text.size() - at || byte(at + 1) < low || byte(at + 1) > high)
        return 1;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 1;
    return length;
}

} // namespace

std::string BaseName(const std::string &fileName)
{
    // Where each character starts; the base ends where the fourth from the
    // end begins.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < fileName.size(); at += CharacterLength(fileName, at))
        starts.push_back(at);
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

// Extracts, shows and saves one icon; any failure is reported under name.
void SaveOne(const std::string &path, int index, const std::string &name, int Format,
             std::uint8_t Depth, SaveAllEvents &events, bool stepIcon)
{
    const bool whole = Format == sfIconAllSizes || Format == sfPng;
    try {
        const IconHandle *shown = nullptr;
        if (!whole || events.WantsPreview())
            shown = &events.Preview(ExtractIconHandle(path, index));
        if (stepIcon)
            events.IconStarting();
        if (whole) {
            // Read again from the file: the preview holds only the one image
            // the extraction picks, and a damaged image it stumbles on does
            // not hide the others here.
            platform::WholeIcon icon;
            if (platform::ReadWholeIcon(path, index, icon) == platform::WholeIconResult::Ok)
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
