// Records the arguments and working directory it was started with, one per line of the file
// named by START_PROBE_LOG: "cwd", the directory, then each argument (after argv[0]), each
// written as its length and its exact bytes so that any byte survives.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* log = std::getenv("START_PROBE_LOG");
    if (log == nullptr) {
        return 2;
    }
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
        return 3;
    }
    std::FILE* f = std::fopen(log, "wb");
    if (f == nullptr) {
        return 4;
    }
    std::fprintf(f, "%zu:%s\n", std::strlen(cwd), cwd);
    for (int i = 0; i < argc; ++i) {
        std::fprintf(f, "%zu:%s\n", std::strlen(argv[i]), argv[i]);
    }
    std::fclose(f);
    return 0;
}
