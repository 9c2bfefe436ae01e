#pragma once

#include "document/save_choice.h"
#include "document/save_types.h"
#include "document/system_calls.h"
#include "document/unix_file.h"

#include <QByteArrayView>

// The two ways Save gives a file its new bytes. TextFile::write chooses.
namespace TextFile {

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
