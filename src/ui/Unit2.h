#pragma once
// The splash window shown while Fluvena starts.
#include <QWidget>

class QLabel;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    QLabel* labels[10] = {};
};
