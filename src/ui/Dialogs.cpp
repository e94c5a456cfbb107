#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace fluvena::ui {

namespace {

class StandardDialogs : public FileDialogs {
    Q_DECLARE_TR_FUNCTIONS(StandardDialogs)
public:
    QStringList openFileNames(QWidget* parent, const QString& directory, const QString& filter) override
    {
        return QFileDialog::getOpenFileNames(parent, QString(), directory, filter);
    }
    std::optional<ColumnChoice> chooseColumns(QWidget* parent, const QString& fileName, int columnCount,
                                              ColumnChoice suggested) override
    {
        QDialog dialog(parent);
        dialog.setObjectName(QStringLiteral("ColumnDialog"));
        dialog.setWindowTitle(tr("Kolumny danych"));
        auto* form = new QFormLayout(&dialog);
        auto* about = new QLabel(tr("Plik %1 ma %2 kolumn liczb. Które z nich czytać?")
                                     .arg(QFileInfo(fileName).fileName())
                                     .arg(columnCount));
        about->setWordWrap(true);
        form->addRow(about);
        QSpinBox* boxes[2];
        const std::pair<QString, int> rows[] = {{tr("Kolumna czasu"), suggested.x}, {tr("Kolumna korelacji"), suggested.y}};
        for (int k = 0; k < 2; ++k) {
            boxes[k] = new QSpinBox(&dialog);
            boxes[k]->setRange(1, columnCount);
            boxes[k]->setValue(std::clamp(rows[k].second, 1, columnCount));
            form->addRow(rows[k].first, boxes[k]);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        form->addRow(buttons);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return ColumnChoice{boxes[0]->value(), boxes[1]->value()};
    }
    QString saveFileName(QWidget* parent, const QString& filter, const QString& suggested) override
    {
        // The folder chosen last, with the suggested name in it when there is one.
        QString start = lastSaved_;
        if (!suggested.isEmpty())
            start = QDir(lastSaved_.isEmpty() ? QDir::currentPath() : QFileInfo(lastSaved_).absolutePath()).filePath(suggested);
        const QString name = QFileDialog::getSaveFileName(parent, QString(), start, filter);
        if (!name.isEmpty()) lastSaved_ = name;
        return name;
    }
    QString directoryName(QWidget* parent, const QString& current) override
    {
        return QFileDialog::getExistingDirectory(parent, tr("Katalog roboczy"), current);
    }
    UnsavedAnswer unsavedResults(QWidget* parent) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Fluvena"),
                        tr("Wyniki w oknie wyników nie zostały zapisane. Zapisać je przed zamknięciem?"),
                        QMessageBox::NoButton, parent);
        QPushButton* save = box.addButton(tr("Zapisz…"), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(tr("Nie zapisuj"), QMessageBox::DestructiveRole);
        box.addButton(tr("Anuluj"), QMessageBox::RejectRole);
        box.setDefaultButton(save);
        box.exec();
        if (box.clickedButton() == save) return UnsavedAnswer::Save;
        if (box.clickedButton() == discard) return UnsavedAnswer::Discard;
        return UnsavedAnswer::Cancel;
    }

    KindAnswer doubtfulKind(QWidget* parent, const std::vector<KindDoubtShown>& doubts) override
    {
        if (doubts.empty()) return KindAnswer::Analyse;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Fluvena"), KindQuestionText(doubts), QMessageBox::NoButton,
                        parent);
        box.setObjectName(QStringLiteral("KindQuestion"));
        const bool one = doubts.size() == 1;
        QPushButton* analyse =
            box.addButton(one ? tr("Analizuj jako %1").arg(doubts.front().declared) : tr("Analizuj bez zmian"),
                          QMessageBox::AcceptRole);
        QPushButton* change =
            box.addButton(one ? tr("Zmień na %1 i analizuj").arg(doubts.front().likely) : tr("Zmień rodzaj danych i analizuj"),
                          QMessageBox::ActionRole);
        QPushButton* cancel = box.addButton(tr("Anuluj"), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == analyse) return KindAnswer::Analyse;
        if (box.clickedButton() == change) return KindAnswer::ChangeKind;
        return KindAnswer::Cancel;
    }

private:
    QString lastSaved_;
};

class MessageBoxDisplay : public ErrorDisplay {
public:
    void showError(QWidget* parent, const QString& message) override
    {
        QMessageBox::critical(parent, QStringLiteral("Fluvena"), message);
    }
};

}  // namespace

QString KindQuestionText(const std::vector<KindDoubtShown>& doubts)
{
    if (doubts.size() == 1) {
        const KindDoubtShown& d = doubts.front();
        return StandardDialogs::tr("Dane pomiaru %1 wyglądają raczej na %2 niż na %3: %4.\n\nAnalizować je mimo to jako %3?")
            .arg(d.measurement, d.likely, d.declared, d.reason);
    }
    QString text = StandardDialogs::tr("Dane tych pomiarów wyglądają na inny rodzaj niż wybrany:");
    for (const KindDoubtShown& d : doubts)
        text += QLatin1Char('\n') + StandardDialogs::tr("• %1: raczej %2 niż %3 (%4)").arg(d.measurement, d.likely, d.declared, d.reason);
    return text + QStringLiteral("\n\n") + StandardDialogs::tr("Analizować zestaw mimo to?");
}

std::unique_ptr<FileDialogs> MakeStandardDialogs() { return std::make_unique<StandardDialogs>(); }
std::unique_ptr<ErrorDisplay> MakeMessageBoxDisplay() { return std::make_unique<MessageBoxDisplay>(); }

}  // namespace fluvena::ui
