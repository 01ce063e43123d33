#pragma once

// Saving every icon of a list of files into one folder: the run that the
// save-all button and `iconprobe save-all` share. It reports its progress,
// each icon and each failure through SaveAllEvents, so that whoever runs it
// can show its progress, the icon at hand and the failures its own way.

#include "iconwriter/iconextraction.h"
#include "iconwriter/saveicon.h"

#include <cstdint>
#include <string>
#include <vector>

namespace iconwriter {

class SaveAllEvents
{
public:
    virtual ~SaveAllEvents() = default;

    // The run over the files begins: count files in all.
    virtual void FilesStarting(int count) { (void)count; }
    // The next file begins: once per file, count times in all.
    virtual void FileStarting(const std::string &path) { (void)path; }
    // A file of two or more icons begins: maximum is its icon count less one.
    virtual void IconsStarting(int maximum) { (void)maximum; }
    // Each icon of such a file, after its preview was taken.
    virtual void IconStarting() {}
    // The icons of such a file are done.
    virtual void IconsDone() {}
    // Every file is done.
    virtual void FilesDone() {}
    // Takes the extracted icon (null when there is none) and gives back the
    // one to save: the window's preview keeps it.
    virtual const IconHandle &Preview(IconHandle icon) = 0;
    // False when nobody looks at the preview (the command line): a run of
    // whole icons then skips extracting the one it would show.
    virtual bool WantsPreview() const { return true; }
    // An icon was written to outcome.path.
    virtual void Saved(const SaveOutcome &outcome) { (void)outcome; }
    // A failure, as the user is told of it: "Could not process " + the name.
    virtual void Error(const std::string &message) = 0;
};

// A file's base name: the name less its last four characters (a dot and a
// three-letter extension), the whole name when it is shorter. Characters
// are UTF-8 ones, so the base never ends inside a character; a byte that
// is not valid UTF-8 counts as one character.
std::string BaseName(const std::string &fileName);

// Saves Icon under Name plus the format's extension. Unlike SaveIconAs, a
// writer that cannot write the file is an error (ESaveError) here, as a
// bitmap that cannot be written is.
SaveOutcome SaveIconChecked(const std::string &Name, const IconHandle &Icon, int Format,
                            std::uint8_t Depth);

// Saves every icon of each of names (files in folder, joined with "/") into
// destination: destination + "/" + base name (+ the icon's index for files
// of two or more icons) + extension. A failure is reported and the run goes
// on with the next icon or file. Each file is opened, and its icon
// directories read, once for all its icons (platform::IconFileReader); one
// that cannot be read counts no icon. The whole-icon formats save
// the whole icon read again from the file (SaveWholeIconAs), after the preview
// has taken the extracted one as for the other formats; an icon the whole
// reader finds nothing usable in is passed over without a message, as an
// icon that cannot be extracted is.
void SaveAllIcons(const std::string &folder, const std::vector<std::string> &names,
                  const std::string &destination, int Format, std::uint8_t Depth,
                  SaveAllEvents &events);

} // namespace iconwriter
