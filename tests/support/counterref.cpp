#include "counterref.h"

#include "core/masks/codepoints.h"

#include <algorithm>

QString counterTextStepped(int width, const QString& start, const QString& alphabet, qint64 steps) {
    const std::u32string a = vorlane::toCodePoints(alphabet);
    if (width <= 0 || a.empty())
        return QString();
    std::u32string v = vorlane::toCodePoints(start);
    if (v.size() < size_t(width))
        v.insert(0, size_t(width) - v.size(), a[0]);
    else
        v.erase(0, v.size() - size_t(width));
    for (qint64 s = 0; s < steps; ++s) {
        for (size_t pos = v.size(); pos-- > 0;) {
            const auto at = std::find(a.begin(), a.end(), v[pos]);
            if (at == a.end()) {
                v[pos] = a[0];
                break;
            }
            if (at + 1 != a.end()) {
                v[pos] = at[1];
                break;
            }
            v[pos] = a[0];
        }
    }
    return vorlane::fromCodePoints(v);
}
