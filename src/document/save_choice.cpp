#include "save_choice.h"

#include <algorithm>

#include <sys/stat.h>

namespace TextFile {

SaveWay chooseSaveWay(const SaveFacts &facts)
{
    // A file nobody may write to stays as it is, even for root, who could.
    if (!facts.created && !(facts.mode & 0222))
        return SaveWay::Refuse;
    const bool beside = facts.sameFile && facts.folderWritable;
    // A new file renamed over the old one is the old one only when the user
    // owns it and may give it its group, no other name shares it, no bit a new
    // file cannot have is set, and every attribute was copied. It is the safer
    // way, as the old file stays whole until the rename.
    const bool groupGiven = facts.user == 0
                            || std::find(facts.groups.begin(), facts.groups.end(), facts.group) != facts.groups.end();
    if (beside && facts.links == 1 && facts.owner == facts.user && groupGiven
        && !(facts.mode & (S_ISUID | S_ISGID | S_ISVTX)) && facts.newFileAlike)
        return SaveWay::Rename;
    // A file the user may not read keeps no copy, as with any other program.
    if (!facts.readable || facts.size == 0)
        return SaveWay::Rewrite;
    return beside ? SaveWay::CopyBeside : SaveWay::CopyInStateFolder;
}

} // namespace TextFile
