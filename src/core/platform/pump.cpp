#include "pump.h"

#include <chrono>

namespace vorlane {

qint64 SteadyClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace vorlane
