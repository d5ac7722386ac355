#pragma once

#include <QWidget>

class QsciScintilla;

namespace vorlane {

// The buffer window: a scratch editor that conversions can write to. Its text
// lives only as long as the program runs.
class TBuffer : public QWidget {
    Q_OBJECT
public:
    explicit TBuffer(QWidget* parent = nullptr);
    QsciScintilla* se1 = nullptr;
};

} // namespace vorlane
