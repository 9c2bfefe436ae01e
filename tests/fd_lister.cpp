// Writes the numbers of the file descriptors it was started with, one a line,
// into the file named by its first argument. Started by the launcher tests.

#include <dirent.h>
#include <fstream>
#include <set>
#include <string>

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    std::set<int> open;
    DIR *fds = opendir("/proc/self/fd");
    if (!fds)
        return 1;
    while (const dirent *entry = readdir(fds)) {
        if (entry->d_name[0] != '.' && std::stoi(entry->d_name) != dirfd(fds))
            open.insert(std::stoi(entry->d_name));
    }
    closedir(fds);
    const std::string out = argv[1];
    {
        std::ofstream list(out + ".tmp");
        for (int fd : open)
            list << fd << '\n';
    }
    return std::rename((out + ".tmp").c_str(), out.c_str()) == 0 ? 0 : 1;
}
