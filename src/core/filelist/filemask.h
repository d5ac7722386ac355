#pragma once

#include <QString>
#include <QStringList>

namespace vorlane {

// The "File Mask" option ("*.mp3;*.wav"): which files opening a folder adds,
// and which the add-files dialog shows under the mask's filter. The text is a
// list of patterns separated by ";", matched without regard to letter case,
// of which only these take effect: "*.*" (every file), "*" and an extension
// ("*.mp3": the files whose extension, from the last dot, is ".mp3") and a
// lone "*" (the files without an extension); blanks around a pattern do not
// count. Any other pattern ("a*.mp3", "*.mp?") selects nothing, and so does
// a text of two characters or fewer.
class FileMask {
public:
    explicit FileMask(const QString& text);
    bool matches(const QString& fileName) const;

private:
    QStringList m_extensions; // upper case, each with its dot; empty for a lone "*"
    bool m_all = false;
};

} // namespace vorlane
