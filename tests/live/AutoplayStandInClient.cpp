// A stand-in player client for the autoplay tests. It writes its process id, working
// directory and arguments, one a line, to "client-<UNum>.txt" in its working directory
// (under a temporary name first, so that a reader never sees half a file) and exits.
// Called as "linger" (its argv[0]) it then waits to be ended; as "stubborn" it also
// ignores SIGTERM. Whatever happens to the test, it ends by itself after a minute.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    alarm(60);
    const std::string mode = argc > 0 ? argv[0] : "";
    if (mode == "stubborn") signal(SIGTERM, SIG_IGN);
    std::string unum = "none";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "-UNum") unum = argv[i + 1];
    }
    const std::string name = "client-" + unum + ".txt";
    {
        std::ofstream out(name + ".part");
        out << getpid() << '\n' << std::filesystem::current_path().string() << '\n';
        for (int i = 0; i < argc; ++i) out << argv[i] << '\n';
    }
    std::rename((name + ".part").c_str(), name.c_str());
    if (mode == "linger" || mode == "stubborn") {
        for (;;) pause();
    }
    return 0;
}
