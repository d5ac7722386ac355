// libFuzzer harness for the settings file reader: random bytes as a settings
// text, then lookups and writes, checking what must always hold.
#include "core/platform/paths.h"
#include "core/settings/inidocument.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using vorlane::IniDocument;

namespace {
void check(bool ok) {
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte splits the input into the file and a value to write.
    if (size < 1)
        return 0;
    const size_t cut = size > 1 ? 1 + data[0] % (size - 1) : 1;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(cut - 1));
    const QString value =
        vorlane::decodeName(QByteArray(reinterpret_cast<const char*>(data) + cut, qsizetype(size - cut)));

    const bool text = IniDocument::problemWith(bytes).isEmpty();
    IniDocument doc(bytes);
    // Reading alone changes nothing, byte for byte.
    check(doc.toBytes() == bytes);

    // Every key listed can be read; a value written reads back (control
    // characters other than tabs become blanks).
    QString expected = value;
    for (QChar& c : expected)
        if (c.unicode() < 0x20 && c != u'\t')
            c = u' ';
    for (const QString& section : {QStringLiteral("Main"), QStringLiteral("Maskcb")}) {
        for (const QString& key : doc.keys(section))
            check(doc.value(section, key).has_value());
        doc.setValue(section, QStringLiteral("Z1"), value);
        const IniDocument again(doc.toBytes());
        check(again.value(section, QStringLiteral("z1")) == expected);
        check(!text || IniDocument::problemWith(doc.toBytes()).isEmpty());
        doc.eraseSection(section);
        check(doc.keys(section).isEmpty());
    }
    return 0;
}
