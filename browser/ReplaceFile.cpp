#include "browser/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

bool replaceFile(const std::string& path, const std::string& temporary, const std::string& text)
{
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    bool written = true;
    for (std::size_t done = 0; written && done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        written = n > 0;
        if (written)
            done += static_cast<std::size_t>(n);
    }
    // A full disk may only show at fsync or close.
    written = written && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
