#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// What a save works on and what it reports, shared by every step of it.
namespace TextFile {

// Why a save failed, and what it left behind.
struct SaveError
{
    QString reason;       // in plain words
    bool damaged = false; // the file may now hold part of the new text
    QString oldCopy;      // where the file's old text is kept, when it could not be put back
};

// The file being saved, open for writing.
struct SaveTarget
{
    QByteArray path; // the file the chosen name leads to, through any links
    int fd = -1;
    struct stat status{};
    bool created = false; // made empty by this save
};

} // namespace TextFile
