#pragma once
// The help window: a read-only view of the help text, shown without making
// it modal; closing it only hides it, and it never keeps the program running
// once the main window is closed.
#include <QWidget>

class QLabel;
class QPlainTextEdit;

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    void FormCreate();
    void setHelpText(const QString& text);

    QLabel* Panel1 = nullptr;
    QPlainTextEdit* RichEdit1 = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();
};
