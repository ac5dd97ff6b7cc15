// A stand-in player client for the autoplay tests. It writes its process id, working
// directory and arguments, one a line, to "client-<UNum>.txt" in its working directory
// (under a temporary name first, so that a reader never sees half a file) and exits.
// Called as "linger" (its argv[0]) it then waits to be ended; as "stubborn" it also
// ignores SIGTERM. As "forker" it first starts a child in the background that ignores
// SIGTERM, writes its process id to "child-<UNum>.txt" and waits, and exits once the
// child has written that.
// Whatever happens to the test, each process ends by itself after a minute.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Writes `lines` to `name`, under a temporary name first.
void report(const std::string& name, const std::string& lines) {
    {
        std::ofstream out(name + ".part");
        out << lines;
    }
    std::rename((name + ".part").c_str(), name.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    alarm(60);
    const std::string mode = argc > 0 ? argv[0] : "";
    if (mode == "stubborn") signal(SIGTERM, SIG_IGN);
    std::string unum = "none";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "-UNum") unum = argv[i + 1];
    }
    if (mode == "forker") {
        const std::string childReport = "child-" + unum + ".txt";
        if (fork() == 0) {
            alarm(60);
            signal(SIGTERM, SIG_IGN);
            report(childReport, std::to_string(getpid()) + '\n');
            for (;;) pause();
        }
        // Exits only once the child is settled, so that the round cannot end before.
        while (!std::filesystem::exists(childReport)) usleep(1000);
    }
    std::string lines = std::to_string(getpid()) + '\n' + std::filesystem::current_path().string() + '\n';
    for (int i = 0; i < argc; ++i) lines += std::string(argv[i]) + '\n';
    report("client-" + unum + ".txt", lines);
    if (mode == "linger" || mode == "stubborn") {
        for (;;) pause();
    }
    return 0;
}
