#pragma once
// The splash window shown while Fluvena starts.
#include <QWidget>

class QLabel;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // Shows the window and keeps it on screen for `milliseconds` while the
    // window system's events (mapping, painting) are handled and input is
    // held back: the window is painted as soon as it is mapped.
    void ShowFor(int milliseconds);
    QLabel* labels[10] = {};
};
