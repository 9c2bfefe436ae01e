#pragma once

#include <sys/types.h>

#include <vector>

// How Save gives a file its new bytes, decided from what it knows of the file
// and of the user, so that every case can be tried without making it.
namespace TextFile {

struct SaveFacts
{
    uid_t user = 0;            // the effective user id
    std::vector<gid_t> groups; // the effective group id and the supplementary ones
    uid_t owner = 0;
    gid_t group = 0;
    mode_t mode = 0;
    nlink_t links = 1;
    off_t size = 0;
    bool created = false;        // made empty by this save
    bool sameFile = true;        // the name it resolves to still leads to the file opened
    bool folderWritable = false; // new names can be made beside it
    bool readable = false;       // open for reading too, so its old bytes can be kept
    bool newFileAlike = true;    // a new file beside it took its group, mode and attributes, or was not tried yet
};

enum class SaveWay {
    Rename,            // a new file made beside it, renamed over it
    CopyBeside,        // rewritten in place, its old bytes kept beside it meanwhile
    CopyInStateFolder, // the same, the copy in the user's own state folder
    Rewrite,           // rewritten in place with no copy: none to keep, or unreadable
    Refuse,            // nobody may write to it
};

SaveWay chooseSaveWay(const SaveFacts &facts);

} // namespace TextFile
