#pragma once

#include <QString>

namespace vorlane {

// Desktop services the main window hands work to; tests replace them.
class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file with the program the desktop associates with it.
    virtual bool openFile(const QString& path);
    // Shows the file selected in the desktop's file manager, else opens its folder.
    virtual bool showInFileManager(const QString& path);

    static Shell& desktop();
};

} // namespace vorlane
