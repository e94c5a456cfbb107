// Drives the real main window through its controls, with the file dialogs
// and the error display replaced and a test engine that prints a recorded
// listing.
#include "ui/Contin.h"
#include "ui/Help.h"
#include "ui/Unit2.h"
#include "io/Cp1250.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "ui/Charts.h"

#include <qcustomplot.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <filesystem>
#include <fstream>
#include <memory>

using namespace fluvena;

namespace {

const QString kData = QStringLiteral(FLUVENA_TEST_DATA);

struct FakeDialogs : ui::FileDialogs {
    std::deque<QString> openNames, saveNames;
    QString openFileName(QWidget*) override
    {
        if (openNames.empty()) return {};
        auto n = openNames.front();
        openNames.pop_front();
        return n;
    }
    QString saveFileName(QWidget*) override
    {
        if (saveNames.empty()) return {};
        auto n = saveNames.front();
        saveNames.pop_front();
        return n;
    }
};

struct CollectErrors : ui::ErrorDisplay {
    QStringList messages;
    void showError(QWidget*, const QString& message) override { messages << message; }
};

std::string Bytes(const QString& path) { return ReadFile(path.toStdString()); }

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
    void open(const QString& path)
    {
        dialogs_->openNames.push_back(path);
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

private slots:
    void init()
    {
        work_ = std::make_unique<QTemporaryDir>();
        helpers_ = std::make_unique<QTemporaryDir>();
        oldDir_ = QDir::currentPath();
        oldPath_ = qgetenv("PATH");
        QDir::setCurrent(work_->path());
        auto dialogs = std::make_unique<FakeDialogs>();
        auto errors = std::make_unique<CollectErrors>();
        dialogs_ = dialogs.get();
        errors_ = errors.get();
        form_ = std::make_unique<TForm1>(std::move(dialogs), std::move(errors), helpers_->path().toStdString());
        form_->show();
    }
    void cleanup()
    {
        form_.reset();
        QDir::setCurrent(oldDir_);
        qputenv("PATH", oldPath_);
        work_.reset();
        helpers_.reset();
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
        // The line without a tab between its columns is named.
        QVERIFY2(errors_->messages[0].contains(QStringLiteral("line 2")), qPrintable(errors_->messages[0]));
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

        form_->Edit3->setText(QStringLiteral("100.5"));
        QTest::mouseClick(form_->ButtonContin, Qt::LeftButton);
        QCOMPARE(errors_->messages.last(), QStringLiteral("'100.5' is not a valid integer value"));
        QVERIFY(form_->Memo1->toPlainText().isEmpty());
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
        QVERIFY2(errors_->messages.isEmpty(), qPrintable(errors_->messages.join("\n")));
    }

    // A log of an earlier start is kept before this start's first
    // "Zapamiętaj" replaces it, and the status bar says so.
    void earlierLogsAreKept()
    {
        struct Case { QPushButton* button; QString log, pattern; };
        const Case cases[] = {{form_->ButtonZapisz, QStringLiteral("tempCont.txt"), QStringLiteral("tempCont-*.txt")},
                              {form_->ButtonZapiszDisc, QStringLiteral("tempDisc.txt"), QStringLiteral("tempDisc-*.txt")}};
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
    }

    void splashWindow()
    {
        TForm2 splash;
        QCOMPARE(splash.size(), QSize(326, 225));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(splash.findChildren<QLabel*>().size(), 10);
        QCOMPARE(splash.labels[0]->text(), QStringLiteral("Fluvena wersja 0.99 alfa"));
        QCOMPARE(splash.labels[7]->text(), QStringLiteral("Interfejs graficzny do programów Contin i Discrete "));
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
        QVERIFY(errors_->messages.isEmpty());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
