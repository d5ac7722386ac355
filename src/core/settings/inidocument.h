#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace vorlane {

// The text of a settings file in the INI form: "[section]" lines, each
// followed by "key=value" lines. Sections and keys are found without regard to
// letter case; values are read trimmed and without one pair of surrounding
// quotes. Every line keeps its own bytes and line end (CR LF, LF or CR alone)
// until it is changed, so blank lines, comments (";"), lines without "=" and
// bytes that are not UTF-8 come back out untouched, and so does a UTF-8
// byte-order mark in front.
class IniDocument {
public:
    // Why `bytes` cannot be taken for a settings text (control characters of
    // a binary file); empty when they can.
    static QString problemWith(const QByteArray& bytes);

    explicit IniDocument(const QByteArray& bytes = QByteArray());
    QByteArray toBytes() const;

    std::optional<QString> value(const QString& section, const QString& key) const;
    // Replaces the key's value, or adds the key after the last key of its
    // section, or the section at the end of the text. Names holding a line
    // break, "=" (keys) or "]" (sections) are refused.
    void setValue(const QString& section, const QString& key, const QString& value);
    // The section's key names in file order; empty when it is missing.
    QStringList keys(const QString& section) const;
    // Removes the section's header and keys; its other lines stay.
    void eraseSection(const QString& section);

private:
    struct Line {
        enum Kind { Other, Section, Key };
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n", "\r", or empty for a last line without one
        Kind kind = Other;
        QString name;   // section or key as written
        QString folded; // the name for lookups
    };
    static Line parseLine(QByteArray text, QByteArray end);
    // The first section of that name: its header line, and where it ends.
    bool findSection(const QString& folded, int& header, int& end) const;
    int findKey(int header, int end, const QString& folded) const;

    QVector<Line> m_lines;
    bool m_bom = false; // the text began with a UTF-8 byte-order mark
};

} // namespace vorlane
