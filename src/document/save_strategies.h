#pragma once

#include "document/save_choice.h"
#include "document/system_calls.h"
#include "document/text_file.h"

#include <sys/stat.h>

// The two ways Save gives a file its new bytes. TextFile::write chooses.
namespace TextFile {

// The file being saved, open for writing.
struct SaveTarget
{
    QByteArray path; // the file the chosen name leads to, through any links
    int fd = -1;
    struct stat status{};
    bool created = false; // made empty by this save
};

// Writes a new file beside the old one, made like it in every respect, and
// renames it over. NotTried when the new file cannot be made like the old one:
// nothing has changed then.
enum class Renamed { Saved, Failed, NotTried };
Renamed saveByRename(SystemCalls &system, const SaveTarget &target, QByteArrayView bytes, SaveError &error);

// Rewrites the file itself, with a copy of its old bytes on disk until the new
// ones are where `way` keeps one, so that a kill at any moment leaves the old
// text whole somewhere.
bool saveInPlace(SystemCalls &system, const SaveTarget &target, SaveWay way, QByteArrayView bytes, SaveError &error);

} // namespace TextFile
