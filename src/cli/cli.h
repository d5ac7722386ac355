#pragma once

#include "core/platform/prompts.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace vorlane {
class FileList;
class NameLines;
} // namespace vorlane

// What the commands of vorlane-cli share: output, prompts on a terminal,
// option parsing and the file arguments.
namespace vorlane::cli {

// Output is line by line: a CR, LF or NUL from a name is shown, never written.
void out(const QString& line);
void err(const QString& line);

// Message boxes on a terminal: errors go to standard error, questions are
// answered by the command's options or, on a terminal, by the user.
class CliPrompts : public Prompts {
public:
    bool yes = false;
    Answer onError = Answer::Abort;
    int errors = 0;

    Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
};

// A path as given, made absolute against the current folder.
QString absolute(const QString& path);

// The files of rename, copy and compare with their new names: the paths
// after the options, paired in order with the lines of the --names file.
class NamedFiles {
public:
    // Reads the names file, one name a line (LF or CR LF; a UTF-8 byte-order
    // mark is dropped); "-" reads standard input, and a pipe or FIFO is read
    // as a stream. False after saying why it could not be read.
    bool read(const QString& namesPath);
    // Appends the paths (made absolute) to the list in loading mode, each
    // with the next name on its editor line, and warns when the names and the
    // paths differ in number. With `separators`, a line "#TEXT" is a separator
    // line (as scan prints them) rather than a name.
    void addTo(FileList& list, NameLines& editor, const QStringList& paths, bool separators) const;

private:
    QString m_path;
    QStringList m_lines;
};

struct Args {
    QStringList positional;
    QHash<QString, QString> values;
    // Options that take two values.
    QHash<QString, QStringList> pairs;
    QSet<QString> flags;
    QString error;
    bool help = false;
};

// Options before "--", each either a flag, taking one value or (`paired`)
// taking two; --help among them asks for the usage instead.
Args parse(const QStringList& in, const QSet<QString>& flags, const QSet<QString>& valued,
           const QSet<QString>& paired = {});

// Prints the usage of the command being run, or the whole usage before one
// is chosen; returns the exit status 0.
int help();

// The commands: each takes the arguments after its name and returns the exit status.
int scan(const QStringList& argv);
int rename(const QStringList& argv);
int names(const QStringList& argv);
int tags(const QStringList& argv);
int project(const QStringList& argv);
int undo(const QStringList& argv);
int time(const QStringList& argv);
int copy(const QStringList& argv);
int compare(const QStringList& argv);
// What copy and compare share: the list built from the names file and the
// paths, the run into or against the destination, the exit status.
int copyOrCompare(const QStringList& argv, bool compare);

} // namespace vorlane::cli
