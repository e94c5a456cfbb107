#pragma once
// What the window's Qt tests share: dialogs that answer from queues and
// record what they were asked, an error display that collects messages, and
// a harness that starts the real window in a temporary working directory
// with test engines of its own and settings that live only for one test.
#include "ui/Contin.h"
#include "ui/Dialogs.h"
#include "ui/Language.h"

#include <QTest>
#include <QtWidgets>

#include <cmath>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace fluvena::testing {

inline const QString kData = QStringLiteral(FLUVENA_TEST_DATA);

// The number a readable cell or label starts with ("3.15·10⁻¹³ m²/s ± …", "779 nm ± 35", "0,25").
inline double Number(const QString& text)
{
    static const QString super = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString plain;
    for (const QChar c : text.section(QLatin1Char(' '), 0, 0)) {
        if (const auto d = super.indexOf(c); d >= 0) plain += QChar(char16_t('0' + d));
        else if (c == QChar(0x207B)) plain += '-';
        else if (c == QChar(0x00B7)) plain += 'e';
        else if (c == ',') plain += '.';
        else plain += c;
    }
    plain.replace(QStringLiteral("e10"), QStringLiteral("e"));
    bool ok = false;
    const double v = plain.toDouble(&ok);
    return ok ? v : NAN;
}
// A value typed into a field and left, a choice made in a list, a click: as the user does them.
inline void SetField(QLineEdit* edit, const QString& text) { edit->setText(text); emit edit->editingFinished(); }
inline void Choose(QComboBox* combo, int index) { combo->setCurrentIndex(index); emit combo->activated(index); }
inline void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
inline QString Cell(QTableWidget* grid, int column, int row) { return grid->item(row, column) ? grid->item(row, column)->text() : QString(); }
// One decay at 2000/s over 120 lags of 1 µs … 1 s with a little noise: g1 (beta 0), else g2 − 1 with
// the coherence factor beta.
inline QByteArray Decay(double beta)
{
    QByteArray bytes;
    for (int k = 0; k < 120; ++k) {
        const double t = std::pow(10.0, 6.0 * k / 119.0), e = std::exp(-2000e-6 * t);
        bytes += QByteArray::number(t, 'g', 9) + '\t' +
                 QByteArray::number((beta > 0 ? beta * e * e : e) + 1e-3 * std::sin(1.7 * k), 'g', 9) + "\r\n";
    }
    return bytes;
}

struct FakeDialogs : ui::FileDialogs {
    std::deque<QStringList> openNames;
    std::deque<QString> saveNames;
    std::deque<std::optional<ui::ColumnChoice>> columns;  // the column question's answers
    std::deque<ui::UnsavedAnswer> answers;                 // none left: unsavedWhenNone
    ui::UnsavedAnswer unsavedWhenNone = ui::UnsavedAnswer::Cancel;
    QStringList openDirectories, saveFilters;                 // what the dialogs were started with
    QList<std::pair<int, ui::ColumnChoice>> columnQuestions;  // column count and the suggestion
    QStringList suggested;                                    // the names the save dialog offered
    QString directory;                                        // the working directory chosen
    int questions = 0;
    std::deque<ui::KindAnswer> kindAnswers;                      // none left: kindAnswer
    ui::KindAnswer kindAnswer = ui::KindAnswer::Analyse;
    std::vector<std::vector<ui::KindDoubtShown>> kindQuestions;  // the doubts each question named

    template <typename T>
    static T Next(std::deque<T>& queue, T none = T{})
    {
        if (queue.empty()) return none;
        const T a = queue.front();
        queue.pop_front();
        return a;
    }
    QStringList openFileNames(QWidget*, const QString& dir, const QString&) override { openDirectories << dir; return Next(openNames); }
    std::optional<ui::ColumnChoice> chooseColumns(QWidget*, const QString&, int count, ui::ColumnChoice suggestion) override
    {
        columnQuestions.append({count, suggestion});
        return Next(columns);
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& name) override
    {
        saveFilters << filter, suggested << name;
        return Next(saveNames);
    }
    QString directoryName(QWidget*, const QString&) override { return directory; }
    ui::UnsavedAnswer unsavedResults(QWidget*) override { ++questions; return Next(answers, unsavedWhenNone); }
    ui::KindAnswer doubtfulKind(QWidget*, const std::vector<ui::KindDoubtShown>& doubts) override
    {
        kindQuestions.push_back(doubts);
        return Next(kindAnswers, kindAnswer);
    }
};

struct CollectErrors : ui::ErrorDisplay {
    QStringList messages;
    void showError(QWidget*, const QString& message) override { messages << message; }
};

// The window of one test: call setUpWindow() in init() and tearDownWindow()
// in cleanup().
class WindowHarness {
protected:
    std::unique_ptr<QTemporaryDir> work_, helpers_, settings_;
    QString oldDir_;
    QByteArray oldPath_;
    FakeDialogs* dialogs_ = nullptr;
    CollectErrors* errors_ = nullptr;
    std::unique_ptr<TForm1> form_;

    void setUpWindow()
    {
        settings_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_->path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_->path());
        QVERIFY(QSettings().fileName().startsWith(settings_->path()));
        work_ = std::make_unique<QTemporaryDir>(), helpers_ = std::make_unique<QTemporaryDir>();
        oldDir_ = QDir::currentPath(), oldPath_ = qgetenv("PATH");
        QDir::setCurrent(work_->path());
        startWindow();
    }
    void tearDownWindow()
    {
        form_.reset();
        QDir::setCurrent(oldDir_);
        qputenv("PATH", oldPath_);
        work_.reset(), helpers_.reset(), settings_.reset();
        ui::UseLanguage(ui::Language::Polish);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
    void startWindow()
    {
        auto dialogs = std::make_unique<FakeDialogs>();
        auto errors = std::make_unique<CollectErrors>();
        dialogs_ = dialogs.get(), errors_ = errors.get();
        form_ = std::make_unique<TForm1>(std::move(dialogs), std::move(errors), helpers_->path().toStdString());
        form_->show();
    }
    QString writeFile(const QString& name, const QByteArray& bytes)  // an absolute name stays as it is
    {
        QFile f(QDir(work_->path()).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    // A test engine that runs a shell body.
    void engine(const char* program, const QString& body)
    {
        QFile f(writeFile(helpers_->filePath(QString::fromLatin1(program)), ("#!/bin/sh\n" + body + "\n").toUtf8()));
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }
    void openAll(const QStringList& paths) { dialogs_->openNames.push_back(paths); form_->Otw1->trigger(); }
    void activate() { form_->activateWindow(); QVERIFY(QTest::qWaitForWindowActive(form_.get())); }
    void noErrors() { QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join('\n'))); }
};

}  // namespace fluvena::testing
