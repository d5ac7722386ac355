// libFuzzer harness for the mask engine: a random mask over a random path,
// with random counters and letter conversion.
#include "core/editor/namelines.h"
#include "core/filelist/filelist.h"
#include "core/masks/applymask.h"
#include "core/platform/paths.h"
#include "support/scriptedprompts.h"

#include <QByteArray>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

class NoDisk : public vorlane::FileSystem {
public:
    Stat stat(const QString&) override { return {true, false, 1234}; }
    Status removeFile(const QString&) override { return {EROFS}; }
    Status renameNoReplace(const QString&, const QString&) override { return {EROFS}; }
    bool forEachName(const QString&, const std::function<void(QByteArrayView)>&) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const int counter = int(int8_t(data[0])) * 1000003;
    const int total = int(data[1]);
    const uint8_t flags = data[2];
    const QByteArray rest(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));
    const qsizetype split = rest.indexOf('\n');
    const QString mask = vorlane::decodeName(split < 0 ? rest : rest.left(split));
    const QString path = vorlane::decodeName(split < 0 ? QByteArray("/music/song.mp3") : rest.mid(split + 1));

    vorlane::Options options;
    vorlane::ScriptedPrompts prompts;
    vorlane::ListNameLines editor;
    NoDisk disk;
    vorlane::FileList list(options, prompts, editor, disk);
    if (flags & 1) {
        list.AddItem(0, 1, true, path);
        editor.setLine(0, mask.left(40));
        list.setPlayTime(0, counter);
    }
    vorlane::MaskSpec naming;
    naming.mask = mask;
    naming.settings.Casecb = (flags >> 1) % 5;
    naming.settings.fcase = flags & 16;
    naming.settings.Translitcb = flags & 32;
    naming.settings.exextcb = flags & 64;
    vorlane::MaskContext ctx;
    ctx.list = &list;
    ctx.editor = &editor;
    ctx.readTag = [&](const QString&, char field) -> std::optional<QString> {
        if (flags & 128)
            return std::nullopt;
        return QString(QChar(field)) + path.right(3);
    };
    const vorlane::Mask compiled(naming);
    const auto name = compiled.apply(counter, total, path, ctx);
    if (name && name->size() > (mask.size() + path.size() + 64) * 64)
        __builtin_trap(); // no mask element grows without bound
    if (name && (name->contains(u'\n') || name->contains(u'\r') || name->contains(QChar(u'\0'))))
        __builtin_trap(); // a name is one editor line
    if (compiled.apply(counter, total, path, ctx) != name)
        __builtin_trap(); // a compiled mask keeps no state between files
    return 0;
}
