#pragma once

#include <QWidget>

namespace vorlane {

class NameEditor;

// The buffer window: a scratch editor that conversions can write to. Its text
// lives only as long as the program runs.
class TBuffer : public QWidget {
    Q_OBJECT
public:
    explicit TBuffer(QWidget* parent = nullptr);
    NameEditor* se1 = nullptr;

protected:
    // Whenever it becomes active it stands above all other windows.
    void changeEvent(QEvent* e) override;
};

} // namespace vorlane
