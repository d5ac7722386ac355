#include "cli.h"

namespace vorlane::cli {

int compare(const QStringList& argv) {
    return copyOrCompare(argv, true);
}

} // namespace vorlane::cli
