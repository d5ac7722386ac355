// The floor of a rename run from the command line: NAMES PATH... renames
// PATH i to line i of NAMES in PATH's folder, one renameat2 call per file that
// never replaces a file, and nothing else (no log, no checks, no output).
// With --log FILE first, each rename is preceded by one write of its entry
// (old path and new name, each line ending in CR LF) to the end of FILE: the
// floor of a run that logs every rename before it.
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    int first = 1;
    int log = -1;
    if (argc > 2 && std::string(argv[1]) == "--log") {
        log = ::open(argv[2], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (log < 0) {
            std::perror(argv[2]);
            return 2;
        }
        first = 3;
    }
    if (argc < first + 2) {
        std::fprintf(stderr, "usage: bare_rename [--log FILE] NAMES PATH...\n");
        return 2;
    }
    std::ifstream in(argv[first], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "bare_rename: can't read %s\n", argv[first]);
        return 2;
    }
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        names.push_back(std::move(line));
    }
    int failed = 0;
    std::string to, entry;
    for (int i = first + 1; i < argc; ++i) {
        const size_t k = size_t(i - first - 1);
        if (k >= names.size())
            break;
        const std::string from = argv[i];
        const size_t slash = from.rfind('/');
        to.assign(from, 0, slash == std::string::npos ? 0 : slash + 1);
        to += names[k];
        if (log >= 0) {
            entry.assign(from).append("\r\n").append(names[k]).append("\r\n");
            if (::write(log, entry.data(), entry.size()) != ssize_t(entry.size())) {
                std::perror(argv[2]);
                return 1;
            }
        }
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
            std::perror(from.c_str());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
