#pragma once

#include <QList>
#include <QString>

namespace vorlane {

// The option switches (the twelve of the options dialog, "Resolve chains and
// swaps", "Counters restart at each folder", "Read tags of every kind" and
// "Extended mask elements"). Every command reads them at
// the moment it acts; the options dialog edits this one object.
struct Options {
    QString masked = QStringLiteral("*.*");    // File Mask
    QString Alleveled = QStringLiteral("127"); // Alarm string length
    bool Topmcb = false;                       // Stay on top
    bool cbDontAskToSave = false;              // Don't Ask about file saving
    bool Dsfcb = true;                         // Don't show folders on left
    bool Iccb = true;                          // Ignore case when sorting
    bool cbDontUseSeps = false;                // Don't use separators
    bool cbMaxSpeed = false;                   // Maximize speed
    bool cbDontCountmp3 = true;                // Don't count MP3/WAV-files time
    bool cbDontRenum = false;                  // Don't renum after change
    bool cbDontLookDups = false;               // Don't check for duplicates
    bool Ssorcb = false;                       // Show Horz. Scroll on Right
    bool cbResolveChains = false;              // Resolve chains and swaps
    bool cbCounterPerFolder = false;           // Counters restart at each folder
    bool cbAllTags = false;                    // Read tags of every kind
    bool cbExtendedElements = false;           // Extended mask elements

    // The right-edge column: Alleveled as an integer, 127 when it is not one.
    int alarmColumn() const;
};

// How a switch stands towards "Maximize speed".
enum class SpeedRole {
    None,
    Switch, // "Maximize speed" itself
    Part,   // one of the options it switches
};

// Name, caption, default and hint of each switch, for the options dialog and
// the settings file.
struct OptionInfo {
    const char* name;
    QString caption;
    bool isText;
    QString defaultValue; // "0"/"1" for check boxes
    QString hint;         // empty: no hint
    QString Options::*text = nullptr;
    bool Options::*flag = nullptr;
    SpeedRole speed = SpeedRole::None;
};

// The switches in the order of the options dialog's controls; every walk over
// them (storing, loading, snapshots) goes in this order. A new switch is one
// more row.
const QList<OptionInfo>& optionTable();

// The switches as texts in table order: an edit's text, "1" or "0".
QStringList SnapshotOptions(const Options& options);
// Puts such a snapshot back.
void RestoreOptions(Options& options, const QStringList& snapshot);

// The Maximize speed coupling: switching it sets its parts alike, and it is
// on exactly when all its parts are.
void setMaxSpeed(Options& options, bool on);
void updateMaxSpeed(Options& options);

} // namespace vorlane
