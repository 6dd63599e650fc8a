// lumibran-lockprobe FILE: run beside the program, prints the process id of a
// POSIX lock that someone holds on FILE (the one a write lock over the whole
// file would meet), or 0 when none is held. A process cannot see its own
// locks this way, so the tests ask from a child.
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumibran-lockprobe FILE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_GETLK, &lock) != 0) {
        std::perror("fcntl");
        return 1;
    }
    std::printf("%ld\n", lock.l_type == F_UNLCK ? 0L : long(lock.l_pid));
    ::close(fd);
    return 0;
}
