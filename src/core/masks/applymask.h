#pragma once

#include <QString>

#include <functional>
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

// What a mask reads besides its arguments. Every member may be left empty:
// then "[s]", "[t]" find no line and "[f]" gives the empty text.
struct MaskContext {
    const FileList* list = nullptr;
    const NameLines* editor = nullptr;
    LetterSettings settings;
    // The tag reader; the file's own tag when left empty.
    std::function<std::optional<QString>(const QString& path, char field)> readTag;
};

// One new name from a mask for one file; nothing for a malformed mask.
std::optional<QString> ApplyMask(int counter, int total, const QString& path, const QString& mask,
                                 const MaskContext& context);

} // namespace vorlane
