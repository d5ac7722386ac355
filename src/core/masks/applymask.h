#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace vorlane {

class FileList;
class NameLines;

// The mask editor's letter conversion: case choice 0 no change, 1 low case,
// 2 UPPER CASE, 3 First letter up, 4 Up First In Each Word.
struct LetterSettings {
    int Casecb = 0;
    bool fcase = false;
    bool Translitcb = false;
    bool exextcb = false;
};

// What the user chose: the mask text and its letter conversion.
struct MaskSpec {
    QString mask;
    LetterSettings settings = {};
    // "Extended mask elements": the parser accepts the elements that the
    // option adds ("[mn]", "[mg]"); without it they are malformed masks.
    bool extendedElements = false;
};

// What a mask reads besides its arguments. Every member may be left empty:
// then "[s]", "[t]" find no line and "[f]" gives the empty text.
struct MaskContext {
    const FileList* list = nullptr;
    const NameLines* editor = nullptr;
    // The tag reader; the file's own tag when left empty.
    std::function<std::optional<QString>(const QString& path, char field)> readTag;
    // "Read tags of every kind": the file's own tag is read by format (ID3v2
    // first in MP3 files) instead of the ID3v1 tag alone.
    bool allTags = false;
};

// A mask parsed once, with its counters built, for applying to many files.
// Cheap to copy.
class Mask {
public:
    explicit Mask(const MaskSpec& naming);

    // False for a malformed mask, which gives no name for any file.
    bool valid() const { return m_program != nullptr; }
    // The mask holds a total counter ("[CC" in any case): callers count a
    // group before adding its files.
    bool countsGroup() const { return m_countsGroup; }
    // The new name of one file: `counter` steps for the counters, `total`
    // for the total counters. Nothing for a malformed mask, or when "[s]",
    // "[t]" or a tag field cannot be read for this file. Never holds a line
    // break or NUL.
    std::optional<QString> apply(int counter, int total, const QString& path, const MaskContext& ctx) const;

private:
    struct Program;
    std::shared_ptr<const Program> m_program;
    LetterSettings m_settings;
    bool m_countsGroup = false;
};

// One new name from a mask for one file; nothing for a malformed mask.
std::optional<QString> ApplyMask(int counter, int total, const QString& path, const MaskSpec& mask,
                                 const MaskContext& context);

} // namespace vorlane
