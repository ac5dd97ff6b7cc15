// The floor of loading a game as a whole process: read the file into one freshly
// allocated buffer of its size, touching every byte once, and say how much was read.

#include <fcntl.h>
#include <unistd.h>

#include <sys/stat.h>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: read_floor FILE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer.get() + done, size - done);
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    std::printf("%zu\n", done);
    return done == size ? 0 : 1;
}
