#pragma once

#include "core/platform/prompts.h"
#include "core/settings/inidocument.h"

#include <QString>
#include <QStringList>

namespace vorlane {

// The settings file vln.ini. Every operation acts on the file as it is on
// the disk: a change made by someone else since the last call is read first,
// and a write replaces the file at once (atomically), unless it happens inside
// a batch, whose writes reach the disk together when it ends.
//
// A file that cannot be read (unreadable, not text, too large) gives
// every read its default and is never written, so it stays as it was. What
// could not be read or written is told once, through the prompts.
class IniFile {
public:
    static constexpr qint64 kMaxSize = 1 << 20;

    explicit IniFile(const QString& path, Prompts* prompts = nullptr);
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def);
    void writeString(const QString& section, const QString& key, const QString& value);
    // A decimal integer; the default when missing or not a number.
    int readInteger(const QString& section, const QString& key, int def);
    void writeInteger(const QString& section, const QString& key, int value);
    // A stored integer other than 0 is true; the default when missing or not a number.
    bool readBool(const QString& section, const QString& key, bool def);
    void writeBool(const QString& section, const QString& key, bool value);
    // The section's key names in file order.
    QStringList readSection(const QString& section);
    void eraseSection(const QString& section);

    // Nestable; the outermost end writes. False when that write failed.
    void beginBatch();
    bool endBatch();
    class Batch {
    public:
        explicit Batch(IniFile& file) : m_file(file) { m_file.beginBatch(); }
        ~Batch() { m_file.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        IniFile& m_file;
    };

private:
    struct Signature {
        bool exists = false;
        quint64 dev = 0, ino = 0;
        qint64 size = 0, sec = 0, nsec = 0;
        bool operator==(const Signature&) const = default;
    };
    Signature signature() const;
    void load();
    void refresh();
    void changed();
    bool flush();
    void tell(const QString& what, const QString& cause, const QString& consequence);

    QString m_path;
    Prompts* m_prompts;
    IniDocument m_doc;
    Signature m_seen;
    bool m_readable = true;
    bool m_told = false;
    bool m_dirty = false;
    int m_batch = 0;
};

} // namespace vorlane
