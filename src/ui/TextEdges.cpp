#include "ui/TextEdges.h"

#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "io/Cp1250.h"
#include "ui/Language.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QStatusBar>

namespace fluvena::ui {

QString FromCore(const std::string& bytes) { return QString::fromUtf8(Cp1250ToUtf8(bytes)); }

std::string ToCore(const QString& text) { return Utf8ToCp1250(text.toUtf8().toStdString()); }

char DecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) return static_cast<char>(point.at(0).unicode());
    return '.';
}

QString FieldNumber(double value)
{
    QString text = QString::number(value, 'g', 8);
    const char separator = DecimalSeparator();
    if (separator != '.') text.replace(QLatin1Char('.'), QLatin1Char(separator));
    return text;
}

std::vector<std::string> MemoLines(const QPlainTextEdit* memo) { return SplitLines(ToCore(memo->toPlainText())); }

void SetMemoLines(QPlainTextEdit* memo, const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k) text += '\n';
        text += lines[k];
    }
    memo->setPlainText(FromCore(text));
}

void SetLabelColour(QLabel* label, bool red)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, red ? QColor(Qt::red) : QApplication::palette().color(QPalette::Button));
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

void ShowBeta(QLabel* label, const std::optional<double>& beta)
{
    label->setText(beta ? QStringLiteral("β = ") + QString::fromStdString(FormatFloat(*beta, Pattern::F3, DecimalSeparator()))
                        : QString());
    label->adjustSize();
}

void ShowRunFailure(QLabel* label, const QString& text, const Failure& why, QStatusBar* status)
{
    const QString reason = FailureText(why);
    SetLabelColour(label, false);
    label->setText(text);
    label->setToolTip(reason);
    status->showMessage(reason);
}

}  // namespace fluvena::ui
