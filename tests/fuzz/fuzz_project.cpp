// libFuzzer harness for the project file reader: random bytes are read as a
// project, loaded into a file list, written back and read again.
#include "core/editor/namelines.h"
#include "core/filelist/filelist.h"
#include "core/platform/paths.h"
#include "core/project/projectfile.h"
#include "support/fakefs.h"
#include "support/scriptedprompts.h"

#include <QVector>

#include <cstdint>

namespace {

bool same(const vorlane::ProjectRecord& a, const vorlane::ProjectRecord& b) {
    return a.text == b.text && a.separator == b.separator && a.name == b.name && a.size == b.size &&
           a.time == b.time;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vorlane;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    QVector<ProjectRecord> records;
    QByteArray written;
    ProjectReader reader(bytes);
    ProjectRecord r;
    while (reader.next(r)) {
        if (hasLineBreakOrNul(r.text) || hasLineBreakOrNul(r.name))
            __builtin_trap(); // every field stays one line
        if (!appendRecord(written, r.text, r.separator, r.name, r.size, r.time))
            __builtin_trap();
        records << r;
    }
    if (records.size() * 5 > bytes.size())
        __builtin_trap(); // a record is at least two line breaks and two digits with theirs

    // What was read is written back and reads again the same, without error.
    ProjectReader again(written);
    for (const ProjectRecord& want : records)
        if (!again.next(r) || !same(r, want))
            __builtin_trap();
    if (again.next(r) || !again.error().isEmpty())
        __builtin_trap();

    // Loading keeps the records read before an error, in order.
    Options options;
    ScriptedPrompts prompts;
    ListNameLines editor;
    FakeFileSystem disk; // empty: no file exists
    FileList list(options, prompts, editor, disk);
    QString error;
    if (appendRecords(bytes, list, &error) != reader.error().isEmpty() || error != reader.error())
        __builtin_trap();
    if (list.count() != records.size() || editor.count() != list.count())
        __builtin_trap();
    for (int i = 0; i < list.count(); ++i) {
        const ListLine& l = list.line(i);
        if (l.text != records[i].text || l.isSeparator() != records[i].separator ||
            editor.line(i) != records[i].name || l.info.FileSize != records[i].size ||
            l.info.PlayTime != records[i].time)
            __builtin_trap();
    }
    return 0;
}
