// The floor of a rename run from the command line: NAMES PATH... renames
// PATH i to line i of NAMES in PATH's folder, one renameat2 call per file that
// never replaces a file, and nothing else (no log, no checks, no output).
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bare_rename NAMES PATH...\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "bare_rename: can't read %s\n", argv[1]);
        return 2;
    }
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        names.push_back(std::move(line));
    }
    int failed = 0;
    std::string to;
    for (int i = 2; i < argc; ++i) {
        const size_t k = size_t(i - 2);
        if (k >= names.size())
            break;
        const std::string from = argv[i];
        const size_t slash = from.rfind('/');
        to.assign(from, 0, slash == std::string::npos ? 0 : slash + 1);
        to += names[k];
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
            std::perror(from.c_str());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
