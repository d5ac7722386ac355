#include "counterref.h"

QString counterTextStepped(int width, const QString& start, const QString& alphabet, qint64 steps) {
    if (width <= 0 || alphabet.isEmpty())
        return QString();
    QString v = start;
    if (v.size() < width)
        v.prepend(QString(width - v.size(), alphabet[0]));
    else if (v.size() > width)
        v = v.right(width);
    for (qint64 s = 0; s < steps; ++s) {
        for (qsizetype pos = v.size() - 1; pos >= 0; --pos) {
            const qsizetype i = alphabet.indexOf(v[pos]);
            if (i < 0) {
                v[pos] = alphabet[0];
                break;
            }
            if (i < alphabet.size() - 1) {
                v[pos] = alphabet[i + 1];
                break;
            }
            v[pos] = alphabet[0];
        }
    }
    return v;
}
