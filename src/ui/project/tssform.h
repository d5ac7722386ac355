#pragma once

#include <QWidget>

#include <functional>

class QProgressBar;

namespace vorlane {

// The small window that shows a project was saved: no border, on top of the
// other windows, a bar that runs from 0 to 10.
class TSSForm : public QWidget {
    Q_OBJECT
public:
    explicit TSSForm(QWidget* parent = nullptr);

    QProgressBar* Pb1 = nullptr;

    // Shows the window centred across `main`, 50 pixels below its top, runs
    // the bar through 0..10 with a short pause after each step and hides it.
    void showSaved(const QWidget* main);

    // The pause after each step of the bar; tests replace it.
    std::function<void(int ms)> pause;
};

} // namespace vorlane
