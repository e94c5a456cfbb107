// Drives the real main window through its controls, with the file dialogs
// and the error display replaced and a test engine that prints a recorded
// listing.
#include "ui/Contin.h"
#include "base/NumberFormat.h"
#include "core/Distribution.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"
#include "ui/Help.h"
#include "ui/Unit2.h"
#include "base/MemoText.h"
#include "io/Cp1250.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "ui/Charts.h"
#include "ui/Language.h"

#include <qcustomplot.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <functional>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace fluvena;

namespace {

const QString kData = QStringLiteral(FLUVENA_TEST_DATA);

struct FakeDialogs : ui::FileDialogs {
    std::deque<QStringList> openNames;
    std::deque<QString> saveNames;
    std::deque<std::optional<ui::ColumnChoice>> columns;  // the column question's answers
    QStringList openDirectories, openFilters, saveFilters;  // what the dialogs were started with
    QList<std::pair<int, ui::ColumnChoice>> columnQuestions;  // column count and the suggestion
    QString directory;                         // the working directory chosen
    std::deque<ui::UnsavedAnswer> answers;
    int questions = 0;
    template <typename T>
    static T Next(std::deque<T>& answers)
    {
        if (answers.empty()) return T{};
        const T a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList openFileNames(QWidget*, const QString& dir, const QString& filter) override
    {
        openDirectories << dir;
        openFilters << filter;
        return Next(openNames);
    }
    std::optional<ui::ColumnChoice> chooseColumns(QWidget*, const QString&, int count, ui::ColumnChoice suggested) override
    {
        columnQuestions.append({count, suggested});
        return Next(columns);
    }
    QString saveFileName(QWidget*, const QString& filter) override { saveFilters << filter; return Next(saveNames); }
    QString directoryName(QWidget*, const QString&) override { return directory; }
    ui::UnsavedAnswer unsavedResults(QWidget*) override { ++questions; return Next(answers); }
};

struct CollectErrors : ui::ErrorDisplay {
    QStringList messages;
    void showError(QWidget*, const QString& message) override { messages << message; }
};

std::string Bytes(const QString& path) { return ReadFile(path.toStdString()); }

QString E4(double v) { return QString::fromStdString(FormatFloat(v, Pattern::E4, '.')); }
QString F3(double v) { return QString::fromStdString(FormatFloat(v, Pattern::F3, '.')); }

// A value typed into a field and left, a choice made in a list: as the user does them.
void SetField(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}
void Choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

bool IsRed(QLabel* label)
{
    return label->autoFillBackground() && label->palette().color(QPalette::Window) == QColor(Qt::red);
}

QString Cell(QTableWidget* grid, int column, int row)
{
    auto* item = grid->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<QTemporaryDir> helpers_;
    std::unique_ptr<QTemporaryDir> settings_;
    QString oldDir_;
    QByteArray oldPath_;
    FakeDialogs* dialogs_ = nullptr;
    CollectErrors* errors_ = nullptr;
    std::unique_ptr<TForm1> form_;

    // A test engine that prints a recorded listing (or runs a shell body).
    void engine(const char* program, const QString& body)
    {
        const QString path = helpers_->filePath(QString::fromLatin1(program));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    void listingEngine(const char* program, const char* listing)
    {
        engine(program, QStringLiteral("cat '%1/%2'").arg(kData, QString::fromLatin1(listing)));
    }
    void open(const QString& path) { openAll({path}); }
    void openAll(const QStringList& paths)
    {
        dialogs_->openNames.push_back(paths);
        form_->Otw1->trigger();
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = work_->filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // A window as the program starts it, with fake dialogs and error display.
    void startWindow()
    {
        auto dialogs = std::make_unique<FakeDialogs>();
        auto errors = std::make_unique<CollectErrors>();
        dialogs_ = dialogs.get();
        errors_ = errors.get();
        form_ = std::make_unique<TForm1>(std::move(dialogs), std::move(errors), helpers_->path().toStdString());
        form_->show();
    }
    void activate()
    {
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

private slots:
    void initTestCase()
    {
        // Settings go to a temporary place of each test, never the user's.
        QCoreApplication::setOrganizationName(QStringLiteral("FluvenaTest"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        ui::UseLanguage(ui::Language::Polish);
    }

    void init()
    {
        settings_ = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_->path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_->path());
        QVERIFY(QSettings().fileName().startsWith(settings_->path()));
        work_ = std::make_unique<QTemporaryDir>();
        helpers_ = std::make_unique<QTemporaryDir>();
        oldDir_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        QDir::setCurrent(work_->path());
        startWindow();
    }
    void cleanup()
    {
        form_.reset();
        QDir::setCurrent(oldDir_);
        qputenv("PATH", oldPath_);
        work_.reset();
        helpers_.reset();
        settings_.reset();
        ui::UseLanguage(ui::Language::Polish);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

    void startState()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Fluvena 0.99 alfa"));
        QCOMPARE(form_->PageControl1->currentWidget(), form_->TabSheetDisc);
        QCOMPARE(form_->PageControl1->tabText(0), QStringLiteral("Contin"));
        QVERIFY(!form_->ButtonOKCont->isVisible());
        QVERIFY(!form_->ButtonOKDisc->isVisible());
        QVERIFY(!form_->ButtonClear->isVisible());
        QCOMPARE(form_->GroupBox2->width(), 0);
        for (auto* w : form_->GroupBox2->findChildren<QWidget*>())
            QCOMPARE(w->isEnabled(), w == form_->ButtonDefault);
        for (auto* l : {form_->Label1, form_->Label6, form_->Label10, form_->Label12}) QCOMPARE(l->text(), QStringLiteral(" "));
        const auto& m = form_->measurement();
        QCOMPARE(m.PointCount(), std::size_t(0));
        QCOMPARE(m.Range().Count(), 0);
        QCOMPARE(m.OnShow(), Analysis::None);
        QVERIFY(!m.LastContinRequest());
        QCOMPARE(form_->Edit1->text(), QStringLiteral("0.1"));
        QCOMPARE(form_->Edit2->text(), QStringLiteral("1000"));
        QCOMPARE(form_->Edit3->text(), QStringLiteral("100"));
        QCOMPARE(form_->Edit4->text(), QStringLiteral("6"));
        QCOMPARE(form_->Edit5->text(), QStringLiteral("2"));
        QCOMPARE(form_->Edit6->text(), QStringLiteral("5"));
        QVERIFY(form_->CheckBox1->isChecked() && !form_->CheckBox2->isChecked() && form_->CheckBox4->isChecked());
        QCOMPARE(form_->CheckBox9->text(), QStringLiteral("REPEAR"));
        QCOMPARE(form_->Otw1->text(), QStringLiteral("Otwórz"));
        QCOMPARE(form_->Pomoc1->text(), QStringLiteral("Pomoc"));
    }

    void openLoadsPlotsAndSetsTheRange()
    {
        open(kData + "/pairbase.txt");
        QVERIFY(errors_->messages.isEmpty());
        const auto& m = form_->measurement();
        QCOMPARE(m.PointCount(), std::size_t(100));
        QCOMPARE(form_->windowTitle(), QStringLiteral("Fluvena 0.99 alfa - ") + kData + "/pairbase.txt");
        QCOMPARE(form_->ScrollBar1->maximum(), 99);
        QCOMPARE(form_->ScrollBar2->maximum(), 99);
        QCOMPARE(form_->ScrollBar1->value(), 0);
        QCOMPARE(form_->ScrollBar2->value(), 99);
        QCOMPARE(m.Range().first, 0);
        QCOMPARE(m.Range().last, 99);
        QCOMPARE(m.Range().Count(), 100);
        QCOMPARE(form_->SeriesWejscie->data()->size(), 100);
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QCOMPARE(form_->Series1().size(), std::size_t(2));
        QCOMPARE(form_->Series1()[1].x1, m.X()[99]);
        QCOMPARE(form_->Series1()[1].y1, m.Y()[99]);

        form_->ScrollBar1->setValue(3);
        form_->ScrollBar2->setValue(7);
        QCOMPARE(m.Range().Count(), 5);
        QCOMPARE(form_->Series1()[0].x0, m.X()[3]);
        QCOMPARE(form_->Series1()[0].y0, 0.0);
        QCOMPARE(form_->Series1()[1].y1, m.Y()[7]);
        form_->ScrollBar1->setValue(9);
        QCOMPARE(m.Range().Count(), -1);

        // A shorter file afterwards: the scroll bars never point past it.
        open(writeFile("short.txt", "1\t0.5\r\n2\t0.25\r\n3\t0.125\r\n"));
        QCOMPARE(m.PointCount(), std::size_t(3));
        QCOMPARE(m.Range().Count(), 3);
        QCOMPARE(form_->ScrollBar2->value(), 2);
    }

    void openingRecentresTheWindow()
    {
        form_->move(10, 10);
        QApplication::processEvents();
        form_->Otw1->trigger();  // the reset runs before the (cancelled) dialog
        QApplication::processEvents();
        const QSize screen = QGuiApplication::primaryScreen()->size();
        const QSize outer = form_->frameGeometry().size();
        const QPoint expected(screen.width() / 2 - outer.width() / 2, screen.height() / 2 - outer.height() / 2);
        // The platform may place the frame a few pixels off what was asked.
        QVERIFY2((form_->frameGeometry().topLeft() - expected).manhattanLength() <= 4,
                 qPrintable(QStringLiteral("%1,%2").arg(form_->frameGeometry().left()).arg(form_->frameGeometry().top())));
    }

    void cancelledOpenLeavesNoDataButTheArrows()
    {
        open(kData + "/pairbase.txt");
        const QString caption = form_->windowTitle();
        form_->Memo1->setPlainText("x");
        form_->Otw1->trigger();  // no name queued: the dialog is cancelled
        QCOMPARE(form_->measurement().PointCount(), std::size_t(0));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QCOMPARE(form_->SeriesWejscie->data()->size(), 0);
        QCOMPARE(form_->windowTitle(), caption);
        QCOMPARE(form_->Series1().size(), std::size_t(2));
        form_->ScrollBar1->setValue(1);
        QCOMPARE(form_->Series1().size(), std::size_t(0));
        QCOMPARE(form_->measurement().Range().Count(), 0);
    }

    void emptyAndUnreadableFiles()
    {
        open(writeFile("empty.txt", ""));
        QCOMPARE(form_->Label1->text(), QStringLiteral("BLAD"));
        QCOMPARE(form_->Label12->text(), QStringLiteral("BŁĄD"));
        QCOMPARE(form_->Label10->text(), QStringLiteral("BŁĄD"));
        QCOMPARE(form_->measurement().PointCount(), std::size_t(0));

        open(writeFile("bad.txt", "1\t2\r\n3 4\r\n5\t6\r\n"));
        QCOMPARE(errors_->messages.size(), 1);
        // The line that cannot be read is named, in the window's language.
        QVERIFY2(errors_->messages[0].contains(QStringLiteral("wiersz 2")), qPrintable(errors_->messages[0]));
        QCOMPARE(form_->measurement().PointCount(), std::size_t(0));
        QCOMPARE(form_->SeriesWejscie->data()->size(), 0);

        open(work_->filePath("missing.txt"));
        QCOMPARE(errors_->messages.size(), 2);
        QVERIFY(errors_->messages[1].startsWith(QStringLiteral("Cannot open file ")));
    }

    void resizeKeepsThePagesAtHalfTheHeight()
    {
        form_->resize(924, 601);
        QApplication::processEvents();
        QCOMPARE(form_->PageControl1->height(), form_->frameGeometry().height() / 2);
    }

    void continRunAndBrowsing()
    {
        listingEngine("contin.exe", "pairbase.contin.out");
        open(kData + "/pairbase.txt");
        form_->Edit1->setText(QStringLiteral("0.5"));  // the grid the reference deck was written with
        form_->Edit2->setText(QStringLiteral("5000"));
        form_->UpDown1->setValue(0);
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
        const auto& m = form_->measurement();
        QCOMPARE(m.Contin()->solutions.size(), std::size_t(11));
        QCOMPARE(m.Contin()->chosen, std::size_t(7));
        QCOMPARE(m.OnShow(), Analysis::Contin);
        QCOMPARE(form_->UpDown1->maximum(), 10);
        QCOMPARE(form_->Label1->text(), QStringLiteral("0"));
        QVERIFY(!IsRed(form_->Label1));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), Bytes(kData + "/pairbase.contin.in"));
        QCOMPARE(form_->SeriesFid->data()->size(), 100);
        QVERIFY(form_->SeriesRozklad->data()->size() > 0);

        form_->UpDown1->setValue(7);
        QCOMPARE(form_->Label1->text(), QStringLiteral("7"));
        QVERIFY(IsRed(form_->Label1));
        QCOMPARE(m.ShownIndex(), std::size_t(7));
        QVERIFY(form_->Label4->text().startsWith(QStringLiteral("Probe1=0")));
        const int peaks = static_cast<int>(m.Contin()->solutions[7].peaks.size());
        QCOMPARE(form_->StringGrid1->columnCount(), peaks + 1);
        QCOMPARE(Cell(form_->StringGrid1, 1, 0), QStringLiteral("Peak 1"));
        QCOMPARE(Cell(form_->StringGrid1, 0, 2), QStringLiteral("Błąd % int"));
        form_->UpDown1->setValue(6);
        QVERIFY(!IsRed(form_->Label1));
    }

    void continRefusedRejectedAndMissing()
    {
        listingEngine("contin.exe", "badng.contin.out");
        open(kData + "/pairbase.txt");
        form_->ScrollBar1->setValue(10);
        form_->ScrollBar2->setValue(11);  // two points: 31 deck lines
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(form_->Label1->text(), QStringLiteral("BŁĄD"));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
        QVERIFY(!QFile::exists(work_->filePath("nazwa.in")));

        form_->ScrollBar2->setValue(99);
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(form_->Label1->text(), QStringLiteral("BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA"));
        QCOMPARE(form_->measurement().OnShow(), Analysis::None);

        QFile::remove(helpers_->filePath("contin.exe"));
        qputenv("PATH", "/usr/bin:/bin");
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(errors_->messages.size(), 1);
        QVERIFY2(errors_->messages[0].contains(QStringLiteral("not found")), qPrintable(errors_->messages[0]));

        // The grid fields are read "Do:", then "Siatka Od:", then "NG": the
        // first bad one in that order is named.
        struct Fields { const char *from, *to, *points, *message; };
        for (const Fields& f : {Fields{"x", "y", "z", "'y' is not a valid floating point value"},
                                Fields{"x", "1000", "z", "'x' is not a valid floating point value"},
                                Fields{"1", "1000", "100.5", "'100.5' is not a valid integer value"}}) {
            form_->Edit1->setText(QString::fromLatin1(f.from));
            form_->Edit2->setText(QString::fromLatin1(f.to));
            form_->Edit3->setText(QString::fromLatin1(f.points));
            QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
            QCOMPARE(errors_->messages.last(), QString::fromLatin1(f.message));
            QVERIFY(form_->Memo1->toPlainText().isEmpty());
        }
    }

    void cancelledRunChangesNothing()
    {
        listingEngine("contin.exe", "pairbase.contin.out");
        open(kData + "/pairbase.txt");
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(form_->measurement().Contin()->solutions.size(), std::size_t(11));
        engine("contin.exe", QStringLiteral("sleep 60"));
        bool sawDialog = false;
        QTimer::singleShot(600, [&] {
            auto* progress = form_->findChild<QProgressDialog*>(QStringLiteral("RunProgress"));
            sawDialog = progress && progress->isVisible();
            if (!progress) return;
            for (auto* button : progress->findChildren<QPushButton*>())
                if (button->text() == QStringLiteral("Przerwij")) button->click();
        });
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QVERIFY(sawDialog);
        QVERIFY(errors_->messages.isEmpty());
        QCOMPARE(form_->measurement().Contin()->solutions.size(), std::size_t(11));
        QCOMPARE(form_->measurement().OnShow(), Analysis::Contin);
    }

    void discreteRunBrowsingAndTheTable()
    {
        listingEngine("discrete.exe", "pairbase.discrete.out");
        open(kData + "/pairbase.txt");
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
        const auto& m = form_->measurement();
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), Bytes(kData + "/pairbase.discrete.in"));
        QCOMPARE(m.Discrete()->solutions.size(), std::size_t(3));
        QCOMPARE(m.OnShow(), Analysis::Discrete);
        QCOMPARE(form_->UpDown2->maximum(), 2);
        QCOMPARE(form_->Label10->text(), QStringLiteral("Uwaga"));  // the listing doubts its best solution
        QCOMPARE(form_->Label6->text(), QStringLiteral("0"));
        QVERIFY(IsRed(form_->Label6));
        QCOMPARE(form_->StringGrid2->columnCount(), 3);
        QCOMPARE(Cell(form_->StringGrid2, 1, 0), QStringLiteral("Składowa 1"));
        QCOMPARE(Cell(form_->StringGrid2, 0, 3), QStringLiteral("Czas"));
        QCOMPARE(form_->SeriesRezidua->data()->size(), 99);
        QVERIFY(form_->Label5->text().startsWith(QStringLiteral("PUNC=0")));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());

        const QString time = Cell(form_->StringGrid2, 1, 3);
        QTest::mouseClick(form_->CheckBoxDT, Qt::LeftButton);
        QCOMPARE(Cell(form_->StringGrid2, 0, 3), QStringLiteral("1/Czas"));
        QCOMPARE(Cell(form_->StringGrid2, 0, 4), QStringLiteral("Błąd % 1/Czas"));
        QVERIFY(Cell(form_->StringGrid2, 1, 3) != time);

        form_->UpDown2->setValue(1);
        QCOMPARE(form_->Label6->text(), QStringLiteral("1"));
        QVERIFY(!IsRed(form_->Label6));
        QCOMPARE(form_->StringGrid2->columnCount(), static_cast<int>(m.Discrete()->solutions[1].components.size()) + 1);

        // The CONTIN view refuses DISCRETE counts.
        form_->UpDown1Click();
        QCOMPARE(form_->Label1->text(), QStringLiteral("BŁĄD"));
    }

    void discretePanelDefaultsAndRefusals()
    {
        QTest::mouseClick(form_->SpeedButton1, Qt::LeftButton);
        QCOMPARE(form_->GroupBox2->width(), 108);
        QVERIFY(form_->CheckBox1->isEnabled() && form_->Edit5->isEnabled());
        form_->CheckBox1->setChecked(false);
        form_->CheckBox2->setChecked(true);
        form_->Edit5->setText(QStringLiteral("7"));
        open(kData + "/pairbase.txt");  // the reset keeps an open panel open
        QCOMPARE(form_->GroupBox2->width(), 108);
        QVERIFY(form_->CheckBox1->isEnabled());
        QTest::mouseClick(form_->SpeedButton1, Qt::LeftButton);
        QCOMPARE(form_->GroupBox2->width(), 0);
        QVERIFY(!form_->CheckBox1->isEnabled());
        form_->ButtonOKDisc->click();
        QVERIFY(form_->Memo1->toPlainText().split('\n')[1].startsWith(QStringLiteral("FTFTFFTTF  6  7  5")));
        form_->ButtonDefault->click();
        form_->ButtonOKDisc->click();
        QVERIFY(form_->Memo1->toPlainText().split('\n')[1].startsWith(QStringLiteral("TFFTFFTTF  6  2  5")));

        form_->ScrollBar1->setValue(5);
        form_->ScrollBar2->setValue(5);  // one point: 5 lines
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        QCOMPARE(form_->Label1->text(), QStringLiteral("BŁĄD"));
        QVERIFY(!QFile::exists(work_->filePath("nazwa.in")));

        form_->ScrollBar1->setValue(0);
        form_->ScrollBar2->setValue(99);
        engine("discrete.exe", QStringLiteral("echo NO TABLE HERE"));
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        QCOMPARE(form_->Label10->text(), QStringLiteral("BŁĄD"));
        QCOMPARE(form_->Memo1->toPlainText(), QStringLiteral("NO TABLE HERE"));
        QCOMPARE(form_->measurement().OnShow(), Analysis::None);

        form_->Edit4->setText(QString());
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        QCOMPARE(errors_->messages.last(), QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(form_->Memo1->toPlainText(), QStringLiteral("nazwa.in"));
    }

    void resultsLogOfBothAnalysesAndTheMenuSave()
    {
        listingEngine("contin.exe", "pairbase.contin.out");
        listingEngine("discrete.exe", "pairbase.discrete.out");
        open(kData + "/pairbase.txt");
        // Before any result: the header alone, "BŁĄD", and the file written.
        form_->ButtonZapisz->click();
        QCOMPARE(form_->Label1->text(), QStringLiteral("BŁĄD"));
        QCOMPARE(form_->Memo2->toPlainText().count('\n'), 0);
        const std::string header = Bytes(work_->filePath("tempCont.txt"));
        QVERIFY(header.rfind("Temp\tIntensywn1\tPolozenie1\tSzerokosc1\t", 0) == 0);
        QVERIFY(header.size() > 2 && header.substr(header.size() - 3) == "\t\r\n");

        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        form_->UpDown1->setValue(7);
        form_->Edit8->setText(QStringLiteral("25"));
        form_->ButtonZapisz->click();
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        form_->Edit10->setText(QStringLiteral("30"));
        form_->ButtonZapiszDisc->click();
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
        const QStringList lines = form_->Memo2->toPlainText().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[1].startsWith(QStringLiteral("25.00\t")));
        QVERIFY(lines[2].startsWith(QStringLiteral("30.00\t")));
        // The file is the memo's text form: Windows-1250, CR LF after every line.
        const std::string disc = Bytes(work_->filePath("tempDisc.txt"));
        std::string expected;
        for (const QString& line : lines) expected += Utf8ToCp1250(line.toStdString()) + "\r\n";
        QCOMPARE(disc, expected);
        QVERIFY(disc.find("Temp\tIntensywn1\t") == 0);
        QVERIFY(disc.find("\r\n25.00\t") != std::string::npos);
        QVERIFY(disc.find("\r\n30.00\t") != std::string::npos);

        // A bad value ends the click: no line, the file keeps its last state.
        form_->Edit10->setText(QStringLiteral("abc"));
        form_->ButtonZapiszDisc->click();
        QCOMPARE(errors_->messages.last(), QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(Bytes(work_->filePath("tempDisc.txt")), disc);

        // The menu save writes the memo to exactly the chosen name.
        dialogs_->saveNames.push_back(work_->filePath("wyniki"));
        form_->Zapisz1->trigger();
        QCOMPARE(Bytes(work_->filePath("wyniki")), disc);
        form_->Memo2->clear();
        dialogs_->saveNames.push_back(work_->filePath("pusty"));
        form_->Zapisz1->trigger();
        QCOMPARE(Bytes(work_->filePath("pusty")), std::string());

        // A DISCRETE header on the emptied memo, in Windows-1250.
        form_->Edit10->setText(QStringLiteral("30"));
        form_->ButtonZapiszDisc->click();
        QVERIFY(Bytes(work_->filePath("tempDisc.txt")).rfind("Temp\tSk\xB3.  sta\xB3" "a\tIntensywn1\tCzas1\t", 0) == 0);
    }

    // Another analysis holds the directory: a run or a "Zapamiętaj" waits
    // under a dialog; "Przerwij" leaves everything as it was, and the run
    // goes on once the lock is free.
    void anotherAnalysisInTheDirectory()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        open(kData + "/bimodal.txt");
        FileLock held(work_->filePath("nazwa.lock").toStdString());
        struct Case { const char* name; QPushButton* button; bool cancel; const char* written; };
        const Case cases[] = {
            {"cancelled run", form_->ButtonContin, true, "nazwa.in"},
            {"cancelled log", form_->ButtonZapisz, true, "tempCont.txt"},
            {"cancelled cumulant log", form_->ButtonZapiszCum, true, "tempCum.txt"},
            {"run after the wait", form_->ButtonContin, false, "nazwa.in"},
        };
        for (const Case& c : cases) {
            QVERIFY(held.TryLock());
            bool sawDialog = false;
            QTimer timer;
            timer.setSingleShot(true);
            connect(&timer, &QTimer::timeout, [&] {
                auto* wait = form_->findChild<QProgressDialog*>(QStringLiteral("LockWait"));
                sawDialog = wait && wait->isVisible() &&
                            wait->labelText() == QStringLiteral("Czekam na inną analizę w tym katalogu…");
                if (!c.cancel) held.Unlock();
                else if (wait)
                    for (auto* button : wait->findChildren<QPushButton*>())
                        if (button->text() == QStringLiteral("Przerwij")) button->click();
            });
            timer.start(300);
            QTest::mouseClick(c.button, Qt::LeftButton);
            QVERIFY2(sawDialog, c.name);
            QCOMPARE(QFile::exists(work_->filePath(QString::fromLatin1(c.written))), !c.cancel);
            QCOMPARE(form_->measurement().OnShow(), c.cancel ? Analysis::None : Analysis::Contin);
            QVERIFY(form_->Memo2->toPlainText().isEmpty());
            held.Unlock();
        }
        QCOMPARE(form_->LabelCum->text(), QStringLiteral(" "));  // a wait given up says nothing
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
    }

    // A log of an earlier start is kept before this start's first
    // "Zapamiętaj" replaces it, and the status bar says so.
    void earlierLogsAreKept()
    {
        struct Case { QPushButton* button; QString log, pattern; };
        const Case cases[] = {{form_->ButtonZapisz, QStringLiteral("tempCont.txt"), QStringLiteral("tempCont-*.txt")},
                              {form_->ButtonZapiszDisc, QStringLiteral("tempDisc.txt"), QStringLiteral("tempDisc-*.txt")},
                              {form_->ButtonZapiszCum, QStringLiteral("tempCum.txt"), QStringLiteral("tempCum-*.txt")}};
        const QByteArray earlier = "Temp\tearlier\r\n20.00\t1\r\n";
        for (const Case& c : cases) {
            writeFile(c.log, earlier);
            form_->Memo2->clear();
            c.button->click();
            c.button->click();
            const QStringList kept = QDir(work_->path()).entryList({c.pattern});
            QCOMPARE(kept.size(), 1);
            QCOMPARE(Bytes(work_->filePath(kept[0])), earlier.toStdString());
            QCOMPARE(Bytes(work_->filePath(c.log)), Utf8ToCp1250(form_->Memo2->toPlainText().toStdString()) + "\r\n");
            QVERIFY2(form_->statusBar()->currentMessage().contains(kept[0]), qPrintable(form_->statusBar()->currentMessage()));
        }
    }

    void exportTablesStayInTheMemo()
    {
        listingEngine("contin.exe", "pairbase.contin.out");
        open(kData + "/pairbase.txt");
        form_->ButtonZapiszFid->click();  // cancelled: nothing written
        QVERIFY(form_->Memo1->toPlainText().startsWith(QStringLiteral("X\tYexp\tYfit\n")));
        QVERIFY(form_->Memo1->toPlainText().contains(QStringLiteral("\t0.000E+00")));
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        dialogs_->saveNames.push_back(work_->filePath("rozklad.txt"));
        form_->ButtonRozklad->click();
        const std::string dist = Bytes(work_->filePath("rozklad.txt"));
        QVERIFY(dist.rfind("X\tYfit\r\n", 0) == 0);
        QCOMPARE(QString::fromLatin1(dist.c_str()).count(QStringLiteral("\r\n")), 101);
        QVERIFY(form_->Memo1->toPlainText().startsWith(QStringLiteral("X\tYfit")));
    }

    // Run by CTest a second time under a Polish locale: numbers shown and typed
    // use the decimal comma, decks keep the point.
    void decimalCommaLocale()
    {
        if (QLocale::system().decimalPoint() != QStringLiteral(","))
            QSKIP("the locale of this run writes a decimal point");
        QCOMPARE(form_->Edit1->text(), QStringLiteral("0,1"));
        listingEngine("contin.exe", "pairbase.contin.out");
        open(kData + "/pairbase.txt");
        form_->Edit1->setText(QStringLiteral("0,5"));
        form_->Edit2->setText(QStringLiteral("5000"));
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), Bytes(kData + "/pairbase.contin.in"));
        form_->UpDown1->setValue(7);
        QCOMPARE(form_->Label4->text(), QStringLiteral("Probe1=0,695"));
        QVERIFY(Cell(form_->StringGrid1, 1, 1).contains(QLatin1Char(',')));
        form_->Edit8->setText(QStringLiteral("25,5"));
        form_->ButtonZapisz->click();
        QVERIFY(form_->Memo2->toPlainText().split('\n').value(1).startsWith(QStringLiteral("25,50\t")));
        form_->Edit8->setText(QStringLiteral("25.5"));
        form_->ButtonZapisz->click();
        QCOMPARE(errors_->messages.value(0), QStringLiteral("'25.5' is not a valid floating point value"));
        // The sample's fields and the cumulant page show and read the comma too.
        open(kData + "/alv/LC8.2_0001.ASC");
        QCOMPARE(form_->EditTemperature->text(), QStringLiteral("297,92675"));
        SetField(form_->EditTemperature, QStringLiteral("300,5"));
        QCOMPARE(form_->measurement().Sample().temperatureK, 300.5);
        QCOMPARE(form_->EditCutoff->text(), QStringLiteral("0,1"));
        form_->ButtonCum->click();
        QVERIFY(Cell(form_->StringGridCum, 1, 1).contains(QLatin1Char(',')));
    }

    void splashWindow()
    {
        // Every line fits, in the system's font and in a wide one.
        const QFont system = QApplication::font();
        QFont wide(QStringLiteral("DejaVu Sans Mono"));
        wide.setStyleHint(QFont::Monospace);
        for (const QFont& font : {system, wide}) {
            QApplication::setFont(font);
            TForm2 splash;
            QCOMPARE(splash.size(), QSize(326, 225));
            QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
            QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(splash.findChildren<QLabel*>().size(), 10);
            QCOMPARE(splash.labels[0]->text(), QStringLiteral("Fluvena wersja 0.99 alfa"));
            QCOMPARE(splash.labels[7]->text(), QStringLiteral("Interfejs graficzny do programów Contin i Discrete "));
            for (QLabel* l : splash.labels)
                QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(), qPrintable(l->text()));
        }
        QApplication::setFont(system);
    }

    void helpWindowReloadsEachTime()
    {
        TForm3 help;
        form_->setHelpWindow(&help);
        writeFile("Pomoc.txt", "Pierwsza wersja \xB3");
        form_->Pomoc1->trigger();
        QVERIFY(help.isVisible());
        QCOMPARE(help.RichEdit1->toPlainText(), QStringLiteral("Pierwsza wersja ł"));
        writeFile("Pomoc.txt", "Druga");
        form_->Pomoc1->trigger();
        QCOMPARE(help.RichEdit1->toPlainText(), QStringLiteral("Druga"));
        QCOMPARE(QApplication::topLevelWidgets().count(&help), 1);
        // In English the English text, while there is one.
        writeFile("Help.txt", "English");
        ui::UseLanguage(ui::Language::English);
        form_->Pomoc1->trigger();
        QCOMPARE(help.RichEdit1->toPlainText(), QStringLiteral("English"));
        QFile::remove(work_->filePath("Help.txt"));
        form_->Pomoc1->trigger();
        QCOMPARE(help.RichEdit1->toPlainText(), QStringLiteral("Druga"));
        QVERIFY(errors_->messages.isEmpty());
    }

    // ------------------------------------------------------------ desktop habits

    void keysReachTheirCommands()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        listingEngine("discrete.exe", "bimodal.discrete.out");
        TForm3 help;
        form_->setHelpWindow(&help);
        writeFile("Pomoc.txt", "pomoc");
        dialogs_->openNames.emplace_back(kData + "/bimodal.txt");
        dialogs_->saveNames.push_back(work_->filePath("wyniki.txt"));
        const auto& m = form_->measurement();
        const struct {
            QWidget* page;  // brought forward first
            QKeyCombination key;
            std::function<bool()> done;
        } cases[] = {
            {nullptr, Qt::CTRL | Qt::Key_O, [&] { return m.PointCount() == 100; }},
            {form_->TabSheetCont, Qt::CTRL | Qt::Key_Return, [&] { return m.OnShow() == Analysis::Contin; }},
            // Home: the chosen solution, on its page.
            {form_->TabSheetDisc, QKeyCombination(Qt::Key_Home),
             [&] { return form_->PageControl1->currentWidget() == form_->TabSheetCont && m.ShownIndex() == m.Contin()->chosen; }},
            {form_->TabSheetDisc, Qt::CTRL | Qt::Key_Enter, [&] { return m.OnShow() == Analysis::Discrete; }},
            {nullptr, Qt::CTRL | Qt::Key_S, [&] { return QFile::exists(work_->filePath("wyniki.txt")); }},
            {nullptr, QKeyCombination(Qt::Key_F1), [&] { return help.isVisible(); }},
            {nullptr, Qt::CTRL | Qt::Key_Q, [&] { return !form_->isVisible(); }},
        };
        for (const auto& c : cases) {
            if (c.page) form_->PageControl1->setCurrentWidget(c.page);
            activate();
            form_->ScrollBar1->setFocus();
            QTest::keyClick(form_.get(), c.key.key(), c.key.keyboardModifiers());
            QVERIFY2(c.done(), qPrintable(QKeySequence(c.key).toString()));
        }
    }

    void closingTheMainWindowEndsTheProgramWithHelpOpen()
    {
        TForm3 help;
        form_->setHelpWindow(&help);
        writeFile("Pomoc.txt", "pomoc");
        form_->Pomoc1->trigger();
        QVERIFY(help.isVisible());
        // The program's event loop must end by itself; the watchdog only ends one that would not.
        QTimer::singleShot(0, form_->Zamknij1, &QAction::trigger);
        QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!help.isVisible());
    }

    void quitAsksAboutUnsavedResults()
    {
        using A = ui::UnsavedAnswer;
        const struct {
            bool saveFirst;
            A answer;
            QString saveName;  // what the save dialog answers
            bool closes;
        } cases[] = {{false, A::Cancel, "", false}, {false, A::Discard, "", true}, {false, A::Save, "wyniki.txt", true},
                     {false, A::Save, "", false},   {true, A::Cancel, "", true}};
        for (const auto& c : cases) {
            startWindow();
            open(kData + "/bimodal.txt");
            form_->ButtonZapisz->click();  // a line in the memo; tempCont.txt does not count as saved
            if (c.saveFirst) {
                dialogs_->saveNames.push_back(work_->filePath("przed.txt"));
                form_->Zapisz1->trigger();
            }
            dialogs_->answers.push_back(c.answer);
            if (!c.saveName.isEmpty()) dialogs_->saveNames.push_back(work_->filePath(c.saveName));
            form_->Zamknij1->trigger();
            QCOMPARE(dialogs_->questions, c.saveFirst ? 0 : 1);
            QCOMPARE(form_->isVisible(), !c.closes);
            if (!c.saveName.isEmpty()) QVERIFY(Bytes(work_->filePath(c.saveName)).rfind("Temp\tIntensywn1\t", 0) == 0);
        }
    }

    void settingsRecentFilesAndTheLastDirectoryLiveBetweenStarts()
    {
        const QString shortFile = writeFile("short.txt", "1\t0.5\r\n2\t0.25\r\n3\t0.125\r\n");
        open(kData + "/bimodal.txt");
        open(shortFile);
        const std::pair<QLineEdit* TForm1::*, QString> fields[] = {
            {&TForm1::Edit1, "0.5"}, {&TForm1::Edit3, "80"}, {&TForm1::Edit4, "4"}, {&TForm1::Edit5, "3"}, {&TForm1::Edit6, "9"}};
        for (const auto& [edit, text] : fields) (form_.get()->*edit)->setText(text);
        form_->CheckBox1->setChecked(false);
        form_->CheckBox2->setChecked(true);
        form_->resize(800, 600);
        QVERIFY(form_->close());

        startWindow();
        for (const auto& [edit, text] : fields) QCOMPARE((form_.get()->*edit)->text(), text);
        QVERIFY(!form_->CheckBox1->isChecked() && form_->CheckBox2->isChecked() && form_->CheckBox4->isChecked());
        QCOMPARE(form_->size(), QSize(800, 600));
        form_->Otw1->trigger();
        QCOMPARE(dialogs_->openDirectories, QStringList{work_->path()});
        // The recent files, the last opened first; an entry opens its file,
        // and a file that is gone leaves the list.
        const QList<QAction*> recent = form_->MenuRecent->actions();
        QCOMPARE(recent.size(), 2);
        QVERIFY(recent[0]->text().endsWith(QDir::toNativeSeparators(shortFile)));
        recent[1]->trigger();
        QCOMPARE(form_->measurement().PointCount(), std::size_t(100));
        QVERIFY(form_->MenuRecent->actions()[0]->text().endsWith(QStringLiteral("bimodal.txt")));
        QFile::remove(shortFile);
        form_->MenuRecent->actions()[1]->trigger();
        QCOMPARE(form_->MenuRecent->actions().size(), 1);
    }

    void droppedFilesOpenAndLogsGoToTheWorkingDirectory()
    {
        QMimeData text, file;
        text.setText(QStringLiteral("1\t2"));
        file.setUrls({QUrl::fromLocalFile(kData + "/bimodal.txt")});
        for (QMimeData* mime : {&text, &file}) {
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &enter);
            QCOMPARE(enter.isAccepted(), mime == &file);
            QDropEvent drop(QPointF(100, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &drop);
            QCOMPARE(form_->measurement().PointCount(), mime == &file ? std::size_t(100) : std::size_t(0));
        }
        QVERIFY(form_->acceptDrops());

        QVERIFY(form_->StatusWorkDir->text().contains(QDir::toNativeSeparators(QDir::currentPath())));
        QTemporaryDir other;
        dialogs_->directory = other.path();
        form_->ActionWorkDir->trigger();
        QVERIFY(form_->StatusWorkDir->text().contains(QDir::toNativeSeparators(QDir(other.path()).canonicalPath())));
        form_->ButtonZapisz->click();
        QVERIFY(QFile::exists(other.filePath("tempCont.txt")));
        QVERIFY(!QFile::exists(work_->filePath("tempCont.txt")));
    }

    void tablesCopyTabSeparatedText()
    {
        listingEngine("discrete.exe", "bimodal.discrete.out");
        open(kData + "/bimodal.txt");
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        QTableWidget* grid = form_->StringGrid2;
        auto block = [&](int top, int left, int bottom, int right) {
            QStringList lines;
            for (int r = top; r <= bottom; ++r) {
                QStringList cells;
                for (int c = left; c <= right; ++c) cells << Cell(grid, c, r);
                lines << cells.join('\t');
            }
            return lines.join('\n');
        };
        activate();
        grid->setFocus();
        grid->clearSelection();  // nothing selected: the whole table
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), block(0, 0, grid->rowCount() - 1, grid->columnCount() - 1));
        grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 3, 2), true);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), block(1, 1, 3, 2));
    }

    // ------------------------------------------------------------ charts

    void fitResidualsUnderTheDataChart()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        listingEngine("discrete.exe", "bimodal.discrete.out");
        open(kData + "/bimodal.txt");
        form_->ScrollBar1->setValue(4);  // the analysed points only
        for (QPushButton* run : {form_->ButtonContin, form_->ButtonDisc}) {
            QTest::mouseClick(run, Qt::LeftButton);
            form_->ScrollBar1->setValue(0);  // a later range does not shift them
            const auto fit = form_->SeriesFid->data();
            const auto residuals = form_->SeriesFitResiduals->data();
            QVERIFY(fit->size() > 90);
            QCOMPARE(residuals->size(), fit->size());
            for (int k = 0; k < fit->size(); ++k) {
                QCOMPARE(residuals->at(k)->key, fit->at(k)->key);
                QVERIFY(std::fabs(residuals->at(k)->value + fit->at(k)->value - form_->measurement().Y()[4 + k]) < 1e-12);
            }
            form_->ScrollBar1->setValue(4);
        }
    }

    void everyChartZoomsPansAndResets()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        listingEngine("discrete.exe", "bimodal.discrete.out");
        open(kData + "/bimodal.txt");
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        auto mouse = [](QWidget* w, QEvent::Type type, Qt::MouseButton button, QPointF at, Qt::KeyboardModifiers mods = {}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
            QMouseEvent e(type, at, w->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
            QApplication::sendEvent(w, &e);
        };
        auto drag = [&](QWidget* w, Qt::MouseButton button, QPointF from, QPointF to, Qt::KeyboardModifiers mods = {}) {
            mouse(w, QEvent::MouseButtonPress, button, from, mods);
            mouse(w, QEvent::MouseMove, button, (from + to) / 2, mods);
            mouse(w, QEvent::MouseMove, button, to, mods);
            mouse(w, QEvent::MouseButtonRelease, button, to, mods);
        };
        for (auto [page, plot] : {std::pair{form_->TabSheetCont, form_->Chart1}, {form_->TabSheetDisc, form_->Chart2},
                                  {form_->TabSheetDisc, form_->Chart3}}) {
            form_->PageControl1->setCurrentWidget(page);
            plot->replot();
            const QPointF c = plot->axisRect()->rect().center();
            const QCPRange x0 = plot->xAxis->range(), y0 = plot->yAxis->range();
            const std::pair<bool, std::function<void()>> gestures[] = {  // (pans, gesture)
                {false,
                 [&] {
                     QWheelEvent e(c, plot->mapToGlobal(c), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
                     QApplication::sendEvent(plot, &e);
                 }},
                {false, [&] { drag(plot, Qt::LeftButton, c - QPointF(40, 30), c + QPointF(40, 30)); }},  // rubber band
                {true, [&] { drag(plot, Qt::MiddleButton, c, c + QPointF(50, 20)); }},
                {true, [&] { drag(plot, Qt::LeftButton, c, c + QPointF(50, 20), Qt::ShiftModifier); }},
            };
            for (const auto& [pans, gesture] : gestures) {
                gesture();
                const QCPRange x = plot->xAxis->range();
                QVERIFY2(x != x0 && plot->yAxis->range() != y0, qPrintable(plot->objectName()));
                // A pan moves the view to earlier times and keeps its span (in decades on a logarithmic axis).
                const bool log = plot->xAxis->scaleType() == QCPAxis::stLogarithmic;
                const double span = log ? std::log(x.upper / x.lower) : x.size(), span0 = log ? std::log(x0.upper / x0.lower) : x0.size();
                if (pans) QVERIFY(x.lower < x0.lower && std::fabs(span - span0) < 1e-9 * std::fabs(span0));
                mouse(plot, QEvent::MouseButtonDblClick, Qt::LeftButton, c);
                QCOMPARE(plot->xAxis->range(), x0);
                QCOMPARE(plot->yAxis->range(), y0);
            }
        }
    }

    void chartMenuSavesImagesAndCopies()
    {
        open(kData + "/bimodal.txt");
        std::unique_ptr<QMenu> menu(form_->dataChart().MakeContextMenu(nullptr));
        const struct {
            const char* action;
            QString name, written;
            QByteArray start;
        } cases[] = {{"savePng", "w.png", "w.png", "\x89PNG"},
                     {"savePng", "w", "w.png", "\x89PNG"},
                     {"saveSvg", "w.svg", "w.svg", "<?xml"},
                     {"savePdf", "w.pdf", "w.pdf", "%PDF"}};
        for (const auto& c : cases) {
            dialogs_->saveNames.push_back(work_->filePath(c.name));
            menu->findChild<QAction*>(c.action)->trigger();
            QFile f(work_->filePath(c.written));
            QVERIFY2(f.open(QIODevice::ReadOnly) && f.readAll().startsWith(c.start), qPrintable(c.written));
            QVERIFY(dialogs_->saveFilters.last().contains("*." + QFileInfo(c.written).suffix()));
            f.remove();
        }
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join('\n')));
        QGuiApplication::clipboard()->clear();
        menu->findChild<QAction*>(QStringLiteral("copyImage"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), form_->Chart2->size());
    }

    void axisTitlesAndTheResidualTimeScale()
    {
        // The measurement's time unit (µs unless its sample says otherwise).
        for (QCustomPlot* plot : {form_->Chart1, form_->Chart2, form_->Chart3}) {
            QVERIFY(plot->axisRects().last()->axis(QCPAxis::atBottom)->label().endsWith(QStringLiteral("[µs]")));
            QVERIFY(!plot->yAxis->label().isEmpty());
        }
        for (bool log : {false, true}) {
            form_->dataChart().SetLogX(log);
            QCOMPARE(form_->residualChart().LogX(), log);
        }
        QCOMPARE(form_->Chart3->xAxis->range(), QCPRange(0.1, 1000));  // empty: the default grid's range
    }

    // ------------------------------------------------------------ sample, sizes, cumulants, instrument files

    void samplePresetsFollowTheTemperatureAndLiveBetweenStarts()
    {
        const auto& m = form_->measurement();
        using physics::Solvent;
        const struct {
            int item;
            QString temperature;
            Solvent solvent;
        } cases[] = {{0, "298.15", Solvent::Water}, {1, "298.15", Solvent::Toluene}, {2, "310", Solvent::Ethanol}, {0, "320", Solvent::Water}};
        for (const auto& c : cases) {
            SetField(form_->EditTemperature, c.temperature);
            Choose(form_->ComboSolvent, c.item);
            const auto p = physics::SolventAt(c.solvent, c.temperature.toDouble());
            QVERIFY(std::fabs(m.Sample().viscosityCp / p->viscosityCp - 1) < 1e-7);
            QCOMPARE(m.Sample().refractiveIndex, p->refractiveIndex);
            QVERIFY(form_->LabelCelsius->text().contains(F3(c.temperature.toDouble() - 273.15).chopped(1)));
        }
        // Water's viscosity follows the temperature; a typed one is no preset's and stays.
        SetField(form_->EditTemperature, "300");
        QVERIFY(std::fabs(m.Sample().viscosityCp / physics::WaterViscosityCp(300).value() - 1) < 1e-7);
        SetField(form_->EditTemperature, "400");  // beyond water's table: refused, nothing changes
        QCOMPARE(errors_->messages.size(), 1);
        QCOMPARE(m.Sample().temperatureK, 300.0);
        QCOMPARE(form_->EditTemperature->text(), QStringLiteral("300"));
        SetField(form_->EditAngle, "abc");  // not a number: said, and the field shows the sample again
        QCOMPARE(errors_->messages.value(1), QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(form_->EditAngle->text(), QStringLiteral("90"));
        form_->EditViscosity->setText("0.95");
        emit form_->EditViscosity->textEdited("0.95");
        SetField(form_->EditViscosity, "0.95");
        QCOMPARE(form_->ComboSolvent->currentIndex(), 3);
        SetField(form_->EditTemperature, "305");
        QCOMPARE(m.Sample().viscosityCp, 0.95);

        // The text files' kind and unit, and the instrument's values, kept between starts.
        SetField(form_->EditAngle, "45");
        Choose(form_->ComboDataKind, 2);
        Choose(form_->ComboTimeUnit, 3);
        QVERIFY(form_->ComboBaseline->isEnabled());
        QVERIFY(form_->close());
        startWindow();
        const auto& n = form_->measurement();
        QCOMPARE(n.Sample().angleDeg, 45.0);
        QCOMPARE(n.Sample().viscosityCp, 0.95);
        QCOMPARE(form_->EditAngle->text(), QStringLiteral("45"));
        // A correlator file states its own values, kind and unit; a text file opened next takes the text files' ones.
        open(kData + "/alv/LC8.2_0028.ASC");
        const io::InstrumentHeader h = *n.File().instrument;
        QCOMPARE(n.Sample().angleDeg, *h.angleDeg);
        QCOMPARE(n.Sample().temperatureK, *h.temperatureK);
        QCOMPARE(n.Sample().viscosityCp, *h.viscosityCp);
        QCOMPARE(n.Sample().dataKind, DataKind::G2Minus1);
        QCOMPARE(form_->EditTemperature->text(), QStringLiteral("297.94326"));
        QCOMPARE(form_->ComboTimeUnit->currentText(), QStringLiteral("ms"));
        open(kData + "/bimodal.txt");
        QCOMPARE(n.Sample().dataKind, DataKind::G2);
        QCOMPARE(n.Sample().timeUnit, TimeUnit::Nanoseconds);
        QCOMPARE(n.Sample().angleDeg, *h.angleDeg);
    }

    void radiiRowsBetaAndTheRegularizerChoice()
    {
        listingEngine("contin.exe", "pairbase.contin.out");
        listingEngine("discrete.exe", "pairbase.discrete.out");
        open(kData + "/pairbase.txt");
        const auto& m = form_->measurement();
        form_->Edit1->setText("0.5");
        form_->Edit2->setText("5000");
        form_->CheckBoxSignal->setChecked(true);
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QVERIFY(m.LastContinRequest()->signalWeighted);
        QCOMPARE(form_->LabelBeta1->text(), QString());  // g1 data have no beta
        auto rowsHoldSizes = [&](QTableWidget* grid, int first, const std::vector<std::pair<double, double>>& times) {
            const QString captions[] = {"D [m²/s]", "Błąd D [m²/s]", "R_h [nm]", "Błąd R_h [nm]"};
            for (int r = 0; r < 4; ++r) QCOMPARE(Cell(grid, 0, first + r), captions[r]);
            for (std::size_t k = 0; k < times.size(); ++k) {
                const auto size = physics::SizeFromDecayTime(times[k].first, times[k].second, m.Sample());
                const double values[] = {size->diffusion, size->diffusionErr, size->radiusNm, size->radiusErrNm};
                for (int r = 0; r < 4; ++r) QCOMPARE(Cell(grid, int(k) + 1, first + r), E4(values[r]));
            }
        };
        for (const QString temperature : {"293.16", "310"}) {  // the sizes follow the sample at once
            SetField(form_->EditTemperature, temperature);
            std::vector<std::pair<double, double>> times;
            for (const ContinPeak& p : m.ContinOnShow()->peaks) times.emplace_back(p.position, p.positionErr);
            rowsHoldSizes(form_->StringGrid1, 6, times);
        }
        QCOMPARE(Cell(form_->StringGrid1, 0, 5), QStringLiteral("Szerokosc"));
        SetField(form_->EditAngle, "0");  // no size: empty cells, the reason on the captions
        QCOMPARE(Cell(form_->StringGrid1, 1, 8), QString());
        QVERIFY(form_->StringGrid1->item(8, 0)->toolTip().contains("0"));
        SetField(form_->EditAngle, "90");

        QTest::mouseClick(form_->ButtonDisc, Qt::LeftButton);
        std::vector<std::pair<double, double>> times;
        for (const Component& c : m.DiscreteOnShow()->components) times.emplace_back(1 / c.rate, c.rateErr);
        rowsHoldSizes(form_->StringGrid2, 5, times);
        QCOMPARE(Cell(form_->StringGrid2, 0, 4), QStringLiteral("Błąd % czasu"));

        Choose(form_->ComboDataKind, 1);  // the same points as g2 - 1: beta from the cumulant intercept
        for (auto [run, label] : {std::pair{form_->ButtonContin, form_->LabelBeta1}, {form_->ButtonDisc, form_->LabelBeta2}}) {
            QTest::mouseClick(run, Qt::LeftButton);
            const std::optional<double> beta = run == form_->ButtonContin ? m.Contin()->beta : m.Discrete()->beta;
            QVERIFY(beta && *beta > 0.5);
            QCOMPARE(label->text(), "β = " + F3(*beta));
            // The fit is drawn over the data in the data's terms: through the Siegert relation it is the g1 fit.
            std::vector<double> drawn;
            for (const auto& point : *form_->SeriesFid->data()) drawn.push_back(point.value);
            const auto g1 = physics::FieldCorrelation(drawn, DataKind::G2Minus1, *beta);
            const auto& fitted = run == form_->ButtonContin ? m.ContinOnShow()->fitY : m.DiscreteOnShow()->fitY;
            for (std::size_t k = 0; k < drawn.size(); k += 9) QVERIFY(std::fabs(g1.value()[k] - fitted[k]) < 1e-12);
        }
    }

    void distributionAxesAndTheirExport()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        open(kData + "/bimodal.txt");
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        const auto& m = form_->measurement();
        const struct {
            int axis, weighting;
            const char* header;
            QString xTitle, yTitle;
        } cases[] = {{0, 0, "X\tYfit\r\n", "Czas zaniku [µs]", "Intensywność G(τ)"},
                     {1, 0, "Rh_nm\tG(tau)\terr\r\n", "Promień hydrodynamiczny R_h [nm]", "Intensywność G(τ)"},
                     {0, 1, "tau\ttau*G(tau)\terr\r\n", "Czas zaniku [µs]", "Intensywność τ·G(τ) (na ln τ)"},
                     {1, 1, "Rh_nm\ttau*G(tau)\terr\r\n", "Promień hydrodynamiczny R_h [nm]", "Intensywność τ·G(τ) (na ln R_h)"}};
        for (const auto& c : cases) {
            Choose(form_->ComboDistAxis, c.axis);
            Choose(form_->ComboDistWeight, c.weighting);
            const auto curve = Distribution(*m.ContinDrawn(), DistributionAxis(c.axis), DistributionWeighting(c.weighting), m.Sample());
            const auto drawn = form_->SeriesRozklad->data();
            QCOMPARE(drawn->size(), int(curve->x.size()));
            for (int k = 0; k < drawn->size(); ++k) {
                QCOMPARE(drawn->at(k)->key, curve->x[k]);
                QCOMPARE(drawn->at(k)->value, curve->y[k]);
            }
            QCOMPARE(form_->Chart1->xAxis->label(), c.xTitle);
            QCOMPARE(form_->Chart1->yAxis->label(), c.yTitle);
            dialogs_->saveNames.push_back(work_->filePath("rozklad.txt"));
            form_->ButtonRozklad->click();
            const std::string text = Bytes(work_->filePath("rozklad.txt"));
            QVERIFY2(text.rfind(c.header, 0) == 0, text.substr(0, 40).c_str());
            QCOMPARE(QString::fromStdString(text).count("\r\n"), int(curve->x.size()) + 1);
        }
        QVERIFY(errors_->messages.isEmpty());
    }

    void cumulantPageRunsLogsAndSaysWhyNot()
    {
        open(kData + "/alv/LC8.2_0001.ASC");
        const auto& m = form_->measurement();
        form_->PageControl1->setCurrentWidget(form_->TabSheetCum);
        QCOMPARE(form_->PageControl1->tabText(2), QStringLiteral("Kumulanty"));
        activate();
        QTest::keyClick(form_.get(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(m.Cumulants());
        const cumulants::Result& f = m.Cumulants()->fit;
        const auto z = physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m.Sample());
        const QString shown[] = {E4(f.gammaMean), F3(f.pdi), F3(f.beta), E4(z->diameterNm), E4(z->radiusNm), QString::number(f.pointsUsed)};
        for (int r = 0; r < 6; ++r) QCOMPARE(Cell(form_->StringGridCum, 1, r + 1), shown[r]);
        QCOMPARE(form_->cumulantChart().fit->data()->size(), int(f.fitted.size()));
        QCOMPARE(form_->cumulantChart().residuals->data()->size(), int(f.residuals.size()));

        // Frisken's form takes the smaller cut-off, unless the user typed one.
        QCOMPARE(form_->EditCutoff->text(), QStringLiteral("0.1"));
        QTest::mouseClick(form_->CheckBoxFrisken, Qt::LeftButton);
        QCOMPARE(form_->EditCutoff->text(), QStringLiteral("0.01"));
        form_->ButtonCum->click();
        QCOMPARE(m.Cumulants()->request.cutoff, 0.01);
        QVERIFY(m.Cumulants()->request.frisken);
        QTest::mouseClick(form_->CheckBoxFrisken, Qt::LeftButton);
        QCOMPARE(form_->EditCutoff->text(), QStringLiteral("0.1"));
        form_->EditCutoff->clear();
        QTest::keyClicks(form_->EditCutoff, "0.05");
        QTest::mouseClick(form_->CheckBoxFrisken, Qt::LeftButton);
        QCOMPARE(form_->EditCutoff->text(), QStringLiteral("0.05"));

        // The log: the header and one line per click, as the other two logs.
        form_->EditCumValue->setText("25");
        form_->ButtonZapiszCum->click();
        const std::string log = Bytes(work_->filePath("tempCum.txt"));
        QVERIFY(log.rfind("Temp\tZ-\x9Crednia\tPDI\tGamma\tBeta\t\r\n25.00\t", 0) == 0);
        QCOMPARE(form_->Memo2->toPlainText().count('\n'), 1);

        // A decay whose log curves down has a negative mu2: PDI 0 and the fit's note say so.
        QByteArray curved;
        for (int k = 1; k <= 60; ++k) curved += QByteArray::number(0.05 * k) + '\t' + QByteArray::number(0.4 * std::exp(-2 * 0.05 * k - 0.8 * std::pow(0.05 * k, 2))) + '\n';
        open(writeFile("curved.txt", curved));
        Choose(form_->ComboDataKind, 1);
        form_->ButtonCum->click();
        QVERIFY(m.Cumulants() && m.Cumulants()->fit.mu2 < 0);
        QCOMPARE(Cell(form_->StringGridCum, 1, 2), QStringLiteral("0.000"));
        QVERIFY2(form_->LabelCumNote->text().startsWith(QStringLiteral("μ₂ jest ujemne (")), qPrintable(form_->LabelCumNote->text()));

        // No fit: the reason, no figures of an earlier fit, and no log line.
        const struct {
            QString file;
            int first, last;
        } failures[] = {{kData + "/alv/toluene-0001.ASC", 0, -1}, {kData + "/alv/LC8.2_0001.ASC", 10, 12}};
        for (const auto& c : failures) {
            open(c.file);
            if (c.last >= 0) {
                form_->ButtonCum->click();
                form_->ScrollBar1->setValue(c.first);
                form_->ScrollBar2->setValue(c.last);
            }
            form_->ButtonCum->click();
            QCOMPARE(form_->LabelCum->text(), QStringLiteral("BŁĄD"));
            QVERIFY(!form_->statusBar()->currentMessage().isEmpty());
            QCOMPARE(form_->LabelCum->toolTip(), form_->statusBar()->currentMessage());
            QCOMPARE(Cell(form_->StringGridCum, 1, 1), QString());
        }
        form_->LabelCum->clear();
        form_->ButtonZapiszCum->click();
        QCOMPARE(form_->LabelCum->text(), QStringLiteral("BŁĄD"));
        QCOMPARE(form_->Memo2->toPlainText().count('\n'), 1);
        QVERIFY(errors_->messages.isEmpty());
    }

    void severalFilesColumnsAndTheCountRate()
    {
        const QStringList alv = {kData + "/alv/LC8.2_0001.ASC", kData + "/alv/LC8.2_0028.ASC", writeFile("bad.asc", "1\t2\n3\n"),
                                 kData + "/alv/LC8.2_0045.ASC"};
        openAll(alv);
        QCOMPARE(dialogs_->openFilters.last(), QStringLiteral("Dane (*.txt *.dat *.csv *.asc);;Wszystkie (*)"));
        QCOMPARE(errors_->messages.size(), 1);  // the file that cannot be read is named; the others open
        QVERIFY(errors_->messages[0].contains("bad.asc"));
        QCOMPARE(form_->fileCount(), 3);
        QVERIFY(form_->FileBar->isVisibleTo(form_.get()));
        QCOMPARE(form_->ComboFiles->count(), 3);
        const auto& m = form_->measurement();
        const io::CountRateTrace& trace = m.File().countRate;
        QCOMPARE(form_->countRateChart().channels.size(), trace.rateKHz.size());
        QCOMPARE(form_->countRateChart().channels[1]->data()->size(), int(trace.timeS.size()));
        QCOMPARE(form_->countRateChart().channels[1]->data()->at(3)->value, trace.rateKHz[1][3]);

        // Each file keeps its own sample and results; switching shows them.
        form_->ButtonCum->click();
        const double gamma = m.Cumulants()->fit.gammaMean;
        form_->ActionNextFile->trigger();
        QCOMPARE(form_->currentFile(), 1);
        QCOMPARE(m.Sample().angleDeg, 55.0);
        QVERIFY(!m.Cumulants());
        QCOMPARE(Cell(form_->StringGridCum, 1, 1), QString());
        SetField(form_->EditTemperature, "300");
        form_->ScrollBar1->setValue(5);
        Choose(form_->ComboFiles, 0);
        QVERIFY(m.Cumulants());
        QCOMPARE(m.Cumulants()->fit.gammaMean, gamma);
        QCOMPARE(Cell(form_->StringGridCum, 1, 1), E4(gamma));
        QCOMPARE(m.Sample().angleDeg, 21.7);
        QCOMPARE(form_->ScrollBar1->value(), 0);
        QVERIFY(!form_->ActionPrevFile->isEnabled());
        form_->ActionNextFile->trigger();
        QCOMPARE(m.Sample().temperatureK, 300.0);
        QCOMPARE(m.Range().first, 5);

        // A text file of more columns: which two is asked, and offered again next time.
        const QString three = writeFile("three.txt", "t\tA\tB\n1\t0.5\t0.9\n2\t0.25\t0.8\n3\t0.125\t0.7\n");
        dialogs_->columns.push_back(ui::ColumnChoice{1, 3});
        open(three);
        QCOMPARE(form_->fileCount(), 1);
        QVERIFY(!form_->FileBar->isVisibleTo(form_.get()));
        QCOMPARE(m.Y()[0], 0.9);
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("Pominięto wiersze nagłówka: 1"));
        QVERIFY(form_->countRateChart().channels.empty());
        dialogs_->columns.push_back(std::nullopt);  // cancelled: nothing is opened
        open(three);
        QCOMPARE(dialogs_->columnQuestions.size(), 2);
        QCOMPARE(dialogs_->columnQuestions[0].first, 3);
        QCOMPARE(dialogs_->columnQuestions[0].second.y, 2);
        QCOMPARE(dialogs_->columnQuestions[1].second.y, 3);
        QCOMPARE(m.PointCount(), std::size_t(0));
    }

    // ------------------------------------------------------------ language

    void startingLanguage()
    {
        const struct {
            QString chosen, system;
            ui::Language expected;
        } cases[] = {{"", "pl_PL", ui::Language::Polish},   {"", "en_GB", ui::Language::English},
                     {"", "de_DE", ui::Language::English},  {"pl", "en_US", ui::Language::Polish},
                     {"en", "pl_PL", ui::Language::English}};
        for (const auto& c : cases) QCOMPARE(ui::ChooseLanguage(c.chosen, QLocale(c.system)), c.expected);
    }

    void languageSwitchTranslatesTheWindowButNotTheFiles()
    {
        listingEngine("contin.exe", "bimodal.contin.out");
        open(kData + "/bimodal.txt");
        form_->ScrollBar1->setValue(9);
        form_->ScrollBar2->setValue(7);
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);  // refused: a reversed range
        const QString english = QString::fromStdString(form_->measurement().UsableRange(Engine::Contin).failure().message());
        const QString polish = form_->statusBar()->currentMessage();
        QVERIFY2(polish != english && polish.contains('9') && polish.contains('7'), qPrintable(polish));

        form_->ActionEnglish->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(QSettings().value("language").toString(), QStringLiteral("en"));
        QCOMPARE(form_->Plik1->title(), QStringLiteral("File"));
        QCOMPARE(form_->ButtonZapisz->text(), QStringLiteral("Record"));
        QCOMPARE(form_->dataChart().Title(), QStringLiteral("Solution"));
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(form_->statusBar()->currentMessage(), english);

        form_->ScrollBar1->setValue(0);
        form_->ScrollBar2->setValue(99);
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(Cell(form_->StringGrid1, 0, 1), QStringLiteral("Intensity"));
        QCOMPARE(form_->StatusSolution->text(), QStringLiteral("CONTIN: solution 0 of 11, chosen: 7"));
        // The deck does not change with the language.
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), FileText(form_->measurement().ContinDeck(ContinRequest{})));
        form_->ButtonZapisz->click();
        QVERIFY(Bytes(work_->filePath("tempCont.txt")).rfind("Temp\tIntensywn1\tPolozenie1\tSzerokosc1\t", 0) == 0);

        form_->ActionPolish->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(Cell(form_->StringGrid1, 0, 1), QStringLiteral("Intensywnosc"));
        form_->ButtonChosen->click();
        QCOMPARE(form_->StatusSolution->text(), QStringLiteral("CONTIN: rozwiązanie 7 z 11, wybrane: 7"));
        QCOMPARE(QSettings().value("language").toString(), QStringLiteral("pl"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
