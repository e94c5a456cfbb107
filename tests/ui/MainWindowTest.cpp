// Drives the real main window through its controls, with the file dialogs and the error
// display replaced and a test engine that prints a recorded listing.
#include "ui/Contin.h"
#include "ui/ContinPage.h"
#include "ui/CumulantPage.h"
#include "ui/DiscretePage.h"
#include "ui/SamplePage.h"
#include "ui/Verdict.h"
#include "WindowKit.h"
#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "core/Distribution.h"
#include "io/Cp1250.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"
#include "results/ResultsLog.h"
#include "ui/Charts.h"
#include "ui/Help.h"
#include "ui/Language.h"

#include <qcustomplot.h>

#include <QTest>
#include <QtWidgets>

#include <deque>
#include <functional>
#include <memory>

using namespace fluvena;
using namespace fluvena::testing;

namespace {

std::string Bytes(const QString& path) { return ReadFile(path.toStdString()); }
bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

QString E4(double v) { return QString::fromStdString(FormatFloat(v, Pattern::E4, '.')); }
QString F3(double v) { return QString::fromStdString(FormatFloat(v, Pattern::F3, '.')); }

// `shown` is `value` to three significant digits (`digits` 2: an error), or to the last digit of its error.
bool Shows(const QString& shown, double value, int digits = 3, double error = 0)
{
    return std::fabs(Number(shown) - value) <= std::max(0.6 * std::pow(10.0, 1 - digits) * std::fabs(value), error / 19);
}
// "value unit ± error": both shown as the readable rows show them.
bool ShowsWithError(const QString& shown, double value, double error, const QString& unit)
{
    return shown.contains(" " + unit + " ± ") && Shows(shown, value, 3, error) && Shows(shown.section(" ± ", 1), error, 2);
}
// A correlation that does not decay: 0.3 ± 0.002 over the lags 1 … n.
QByteArray Flat(int n)
{
    QByteArray bytes;
    for (int k = 1; k <= n; ++k) bytes += QByteArray::number(k) + '\t' + QByteArray::number(0.3 + (k % 2 ? 0.002 : -0.002)) + '\n';
    return bytes;
}

// The measurement on show, asked for at each use: opening files replaces the set's members.
struct OnShow {
    const std::unique_ptr<TForm1>& form;
    const Measurement* operator->() const { return &form->measurement(); }
};

bool IsRed(QLabel* label) { return label->autoFillBackground() && label->palette().color(QPalette::Window) == QColor(Qt::red); }

// Once the named progress dialog of the window is up: notes that it showed with that label
// (any, when none is given), then presses "Przerwij" or, when given, does something else.
void OnDialog(QObject* window, const QString& name, int ms, bool& saw, const QString& label = {},
              std::function<void()> instead = {})
{
    QTimer::singleShot(ms, [=, &saw] {
        auto* dialog = window->findChild<QProgressDialog*>(name);
        saw = dialog && dialog->isVisible() && (label.isEmpty() || dialog->labelText() == label);
        if (instead) return instead();
        for (auto* button : dialog ? dialog->findChildren<QPushButton*>() : QList<QPushButton*>())
            if (button->text() == QStringLiteral("Przerwij")) button->click();
    });
}

}  // namespace

class MainWindowTest : public QObject, WindowHarness {
    Q_OBJECT

    // A test engine that prints a recorded listing.
    void listingEngine(const char* program, const QString& listing) { engine(program, QStringLiteral("cat '%1/%2'").arg(kData, listing)); }
    // Both engines print the recorded listings of one data file, which is then opened.
    void listings(const QString& fixture) { listingEngine("contin.exe", fixture + ".contin.out"); listingEngine("discrete.exe", fixture + ".discrete.out"); }
    void openWithListings(const QString& fixture) { listings(fixture); open(kData + "/" + fixture + ".txt"); }
    void switchTo(QAction* language) { language->trigger(); QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange); }
    void withHelp(TForm3& help) { form_->setHelpWindow(&help); writeFile("Pomoc.txt", "pomoc"); }
    void open(const QString& path) { openAll({path}); }
    // A control of the window, found by its name as the tests know it.
    template <typename T>
    T* C(const char* name) const
    {
        T* control = form_->findChild<T*>(QString::fromLatin1(name));
        if (!control) qFatal("no control %s", name);
        return control;
    }
    // The named controls read and used most: a label's text, a table's cell, a field's text, a button
    // clicked with the mouse (click) or through its own signal (press, for one not on show).
    QString text(const char* label) const { return C<QLabel>(label)->text(); }
    QString cell(const char* grid, int column, int row) const { return Cell(C<QTableWidget>(grid), column, row); }
    void type(const char* edit, const QString& text) const { C<QLineEdit>(edit)->setText(text); }
    void click(const char* button) const { Click(C<QPushButton>(button)); }
    void press(const char* button) const { C<QPushButton>(button)->click(); }
    void show(QWidget* page) const { form_->PageControl1->setCurrentWidget(page); }
    QStringList memo(const QPlainTextEdit* memo) const { return memo->toPlainText().split('\n'); }
    void range(int first, int last) { form_->ScrollBar1->setValue(first); form_->ScrollBar2->setValue(last); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("FluvenaTest"));  // settings: a temporary place of each test
        QSettings::setDefaultFormat(QSettings::IniFormat);
        ui::UseLanguage(ui::Language::Polish);
    }
    void init() { setUpWindow(); }
    void cleanup() { tearDownWindow(); }

    // The scroll bars set the analysed range and the markers drawn at its ends; a file that fails, or a
    // text file after a correlator file, leaves no chart, axis or trace of the file before; the files named
    // on the command line open together; the exports offer the data file's name and get their extension.
    void openingSetsTheRangeAndFailuresLeaveNoData()
    {
        open(kData + "/pairbase.txt");
        const OnShow m{form_};
        QCOMPARE(form_->windowTitle(), "Fluvena 0.99 alfa - " + kData + "/pairbase.txt");
        QCOMPARE(form_->dataChart().data->data()->size(), 100);
        range(3, 7);
        QCOMPARE(m->Range().Count(), 5);
        QVERIFY(form_->Series1()[0].x0 == m->X()[3] && form_->Series1()[1].y1 == m->Y()[7]);
        form_->ScrollBar1->setValue(9);
        QCOMPARE(m->Range().Count(), -1);
        open(writeFile("short.txt", "1\t0.5\r\n2\t0.25\r\n3\t0.125\r\n"));  // the scroll bars never point past it
        QVERIFY(m->Range().Count() == 3 && form_->ScrollBar2->value() == 2);
        // A cancelled dialog leaves no data but the caption; the markers go when the range moves.
        const QString caption = form_->windowTitle();
        form_->Memo1->setPlainText("x"), form_->Otw1->trigger();
        QVERIFY(m->PointCount() == 0 && form_->Memo1->toPlainText().isEmpty() && form_->dataChart().data->data()->isEmpty());
        QVERIFY(form_->windowTitle() == caption && form_->Series1().size() == 2);
        form_->ScrollBar1->setValue(1);
        QCOMPARE(form_->Series1().size(), std::size_t(0));
        open(writeFile("empty.txt", ""));
        QCOMPARE(text("Label1") + text("Label12") + text("Label10"), QStringLiteral("BLADBŁĄDBŁĄD"));
        open(kData + "/alv/LC8.2_0001.ASC");
        QVERIFY(!form_->sample().countRateChart().channels.empty());
        const QCPRange alvTime = form_->Chart2->xAxis->range();
        open(writeFile("bad.txt", "1\t2\r\n3 4\r\n5\t6\r\n"));  // the bad line named, in the window's language
        QVERIFY2(errors_->messages.size() == 1 && errors_->messages[0].contains("wiersz 2"), qPrintable(errors_->messages.join('\n')));
        QVERIFY(form_->sample().countRateChart().channels.empty() && form_->dataChart().data->data()->isEmpty());
        QVERIFY(form_->Chart2->xAxis->range() == QCPRange(0.1, 1000) && form_->Chart2->xAxis->range() != alvTime);
        QVERIFY(text("LabelInstrument").isEmpty() && C<QCustomPlot>("ChartCountRate")->xAxis->range() == QCPRange(0, 1));
        open(work_->filePath("missing.txt"));
        QVERIFY(errors_->messages.value(1).startsWith(QStringLiteral("Cannot open file ")));
        errors_->messages.clear();
        const QString dir = QDir::currentPath();
        form_->openCommandLine({"fluvena", kData + "/alv/LC8.2_0028.ASC", kData + "/bimodal.txt"});
        QVERIFY(form_->ComboFiles->count() == 2 && m->PointCount() > 0 && form_->ComboFiles->itemText(1) == "bimodal.txt");
        form_->ActionNextFile->trigger();  // a text file: no trace of the correlator file's
        QVERIFY(form_->sample().countRateChart().channels.empty() && text("LabelInstrument").startsWith("Plik tekstowy"));
        QDir(work_->path()).mkpath("inny");
        for (const auto& [button, saved, suggested] : {std::tuple{form_->ButtonZapiszFid, QString("dopasowanie"), QString("bimodal-fit.txt")},
                                                      {C<QPushButton>("ButtonRozklad"), "inny/rozklad.dat", "bimodal-dist.txt"}}) {
            dialogs_->saveNames.push_back(work_->filePath(saved)), button->click();
            QCOMPARE(dialogs_->suggested.last(), suggested);
            const QString written = QFileInfo(saved).suffix().isEmpty() ? saved + ".txt" : saved;  // an extension is kept
            QVERIFY2(QFile::exists(work_->filePath(written)), qPrintable(written));
        }
        QCOMPARE(QDir::currentPath(), dir);  // the working directory stays the process's own
        noErrors();
    }

    void continRunBrowsedCancelledRefusedRejectedAndMissing()
    {
        openWithListings("pairbase");
        C<QSpinBox>("UpDown1")->setValue(0), click("ButtonContin");
        noErrors();
        const OnShow m{form_};
        QVERIFY(C<QSpinBox>("UpDown1")->maximum() == 10 && text("Label1") == QStringLiteral("0") && !IsRed(C<QLabel>("Label1")));
        C<QSpinBox>("UpDown1")->setValue(7);  // the chosen solution is marked red; its peaks fill the table
        QVERIFY(IsRed(C<QLabel>("Label1")) && m->ShownIndex() == 7 && text("Label4").startsWith(QStringLiteral("Probe1=0")));
        QCOMPARE(C<QTableWidget>("StringGrid1")->columnCount(), int(m->Contin()->solutions[7].peaks.size()) + 1);
        const ContinPeak& peak = m->Contin()->solutions[7].peaks[0];
        QCOMPARE(cell("StringGrid1", 1, 0) + cell("StringGrid1", 0, 2) + cell("StringGrid1", 1, 3) + cell("StringGrid1", 1, 5),
                 "Peak 1Błąd % int" + E4(peak.position) + E4(peak.width));
        C<QSpinBox>("UpDown1")->setValue(6);
        QVERIFY(!IsRed(C<QLabel>("Label1")));
        // "Przerwij" on the running dialog ends the engine and keeps the earlier results.
        engine("contin.exe", QStringLiteral("sleep 60"));
        bool sawDialog = false;
        OnDialog(form_.get(), QStringLiteral("RunProgress"), 600, sawDialog);
        click("ButtonContin");
        QVERIFY(sawDialog && errors_->messages.isEmpty() && m->Contin()->solutions.size() == 11 && m->OnShow() == Analysis::Contin);
        // Refused, rejected by the engine, missing.
        listingEngine("contin.exe", "badng.contin.out");
        open(kData + "/pairbase.txt"), QFile::remove(work_->filePath("nazwa.in"));
        range(10, 11), click("ButtonContin");  // two points: 31 deck lines
        QVERIFY(text("Label1") == QStringLiteral("BŁĄD") && !QFile::exists(work_->filePath("nazwa.in")));
        form_->ScrollBar2->setValue(99), click("ButtonContin");
        QCOMPARE(text("Label1"), QStringLiteral("BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA"));
        QCOMPARE(form_->measurement().OnShow(), Analysis::None);
        QFile::remove(helpers_->filePath("contin.exe")), qputenv("PATH", "/usr/bin:/bin");
        click("ButtonContin");
        QVERIFY2(errors_->messages.value(0).contains(QStringLiteral("not found")), qPrintable(errors_->messages.value(0)));
        // The grid fields are read "Do:", then "Siatka Od:", then "NG": the first bad one is named.
        struct Fields { const char *from, *to, *points, *message; };
        for (const Fields& f : {Fields{"x", "y", "z", "'y' is not a valid floating point value"},
                                Fields{"x", "1000", "z", "'x' is not a valid floating point value"},
                                Fields{"1", "1000", "100.5", "'100.5' is not a valid integer value"}}) {
            type("Edit1", f.from), type("Edit2", f.to), type("Edit3", f.points), click("ButtonContin");
            QCOMPARE(errors_->messages.last(), QString::fromLatin1(f.message));
            QVERIFY(form_->Memo1->toPlainText().isEmpty());
        }
        // An NG beyond the deck's field: the value typed, and no deck, for a run and for the deck alone.
        type("Edit3", "123456789");
        for (const char* button : {"ButtonContin", "ButtonOKCont"}) {
            C<QLabel>("Label1")->setToolTip(QString()), click(button);
            const QString tip = C<QLabel>("Label1")->toolTip();
            QVERIFY2(text("Label1") == QStringLiteral("BŁĄD") && tip.startsWith("NG = 123456789 ") && form_->Memo1->toPlainText().isEmpty(),
                     qPrintable(tip));
        }
    }

    // The solutions browsed, the table of components, and Ctrl+C copying it as tab-separated text.
    void discreteRunTablePanelAndRefusals()
    {
        openWithListings("pairbase"), click("ButtonDisc");
        noErrors();
        QTableWidget* grid = C<QTableWidget>("StringGrid2");
        QCOMPARE(text("Label10"), QStringLiteral("Uwaga"));  // the listing doubts its best solution, and says so
        const QString doubt = "PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY 0.945";
        QVERIFY2(C<QLabel>("Label10")->toolTip().contains(doubt), qPrintable(C<QLabel>("Label10")->toolTip()));
        QVERIFY(form_->discrete().verdict().flagLines().filter(doubt).size() == 1);
        QVERIFY(C<QSpinBox>("UpDown2")->maximum() == 2 && text("Label6") == QStringLiteral("0") && IsRed(C<QLabel>("Label6")));
        QVERIFY(grid->columnCount() == 3 && form_->discrete().residualChart().residuals->data()->size() == 99);
        const Component& first = form_->measurement().DiscreteOnShow()->components[0];
        QCOMPARE(Cell(grid, 1, 1) + Cell(grid, 1, 2) + Cell(grid, 1, 4), E4(first.amplitude) + E4(first.amplitudeErr) + E4(first.rateErr));
        const QString time = Cell(grid, 1, 3);
        QCOMPARE(Cell(grid, 0, 3), QStringLiteral("Czas"));
        Click(C<QCheckBox>("CheckBoxDT"));
        QCOMPARE(Cell(grid, 0, 3) + ", " + Cell(grid, 0, 4), QStringLiteral("1/Czas, Błąd % 1/Czas"));
        QVERIFY(Cell(grid, 1, 3) != time);
        auto block = [&](int top, int left, int bottom, int right) {
            QStringList lines;
            for (int r = top; r <= bottom; ++r) {
                lines << QString();
                for (int c = left; c <= right; ++c) lines.last() += (c > left ? "\t" : "") + Cell(grid, c, r);
            }
            return lines.join('\n');
        };
        activate(), grid->setFocus();
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);  // nothing selected: the whole table
        QCOMPARE(QGuiApplication::clipboard()->text(), block(0, 0, grid->rowCount() - 1, grid->columnCount() - 1));
        grid->setRangeSelected(QTableWidgetSelectionRange(1, 1, 3, 2), true);
        QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), block(1, 1, 3, 2));
        C<QSpinBox>("UpDown2")->setValue(1);
        QVERIFY(!IsRed(C<QLabel>("Label6")) && grid->columnCount() == int(form_->measurement().Discrete()->solutions[1].components.size()) + 1);
        form_->UpDown1Click();  // the CONTIN view refuses DISCRETE counts
        QCOMPARE(text("Label1"), QStringLiteral("BŁĄD"));
        // The panel of DISCRETE's switches, and the engine's refusals.
        Click(C<QToolButton>("SpeedButton1"));
        C<QCheckBox>("CheckBox1")->setChecked(false), C<QCheckBox>("CheckBox2")->setChecked(true), type("Edit5", "7");
        open(kData + "/pairbase.txt");  // the reset keeps an open panel open
        QCOMPARE(C<QGroupBox>("GroupBox2")->width(), 108);
        Click(C<QToolButton>("SpeedButton1"));
        QCOMPARE(C<QGroupBox>("GroupBox2")->width(), 0);
        press("ButtonOKDisc");
        QVERIFY(memo(form_->Memo1)[1].startsWith(QStringLiteral("FTFTFFTTF  6  7  5")));
        press("ButtonDefault"), press("ButtonOKDisc");
        QVERIFY(memo(form_->Memo1)[1].startsWith(QStringLiteral("TFFTFFTTF  6  2  5")));
        engine("discrete.exe", QStringLiteral("echo NO TABLE HERE")), click("ButtonDisc");
        QCOMPARE(text("Label10") + ": " + form_->Memo1->toPlainText(), QStringLiteral("BŁĄD: NO TABLE HERE"));
        QCOMPARE(form_->measurement().OnShow(), Analysis::None);
        // DISCRETE's own reason for giving no solution: on the tool tip and the status bar.
        engine("discrete.exe", QStringLiteral("printf '1DISCRETE\\n\\n1DISCRETE\\n\\n NO MEANINGFUL SOLUTION WAS FOUND:\\n'"));
        click("ButtonDisc");
        QCOMPARE(text("Label10"), QStringLiteral("BŁĄD"));
        QVERIFY2(C<QLabel>("Label10")->toolTip().endsWith(QStringLiteral(": NO MEANINGFUL SOLUTION WAS FOUND:")), qPrintable(C<QLabel>("Label10")->toolTip()));
        QCOMPARE(form_->statusBar()->currentMessage(), C<QLabel>("Label10")->toolTip());
        C<QLineEdit>("Edit4")->clear(), click("ButtonDisc");
        QCOMPARE(errors_->messages.last(), QStringLiteral("'' is not a valid integer value"));
        QCOMPARE(form_->Memo1->toPlainText(), QStringLiteral("nazwa.in"));
    }

    // Each log holds its own analysis's lines under its own header; the memo shows every click in
    // order, a header over each block; a renamed parameter starts a new header, never a wrong one.
    void resultsLogsPerAnalysisAndTheMenuSave()
    {
        openWithListings("pairbase");
        press("ButtonZapisz");  // before any result: the header alone, and "BŁĄD"
        QCOMPARE(text("Label1"), QStringLiteral("BŁĄD"));
        QVERIFY(StartsWith(Bytes(work_->filePath("tempCont.txt")), "Temp\tIntensywn1\tPolozenie1\tSzerokosc1\t"));
        show(&form_->contin()), click("ButtonContin"), C<QSpinBox>("UpDown1")->setValue(7);
        type("Edit8", "25"), press("ButtonZapisz");
        show(&form_->discrete()), click("ButtonDisc");
        type("Edit10", "30"), press("ButtonZapiszDisc");
        type("Edit9", "Kąt"), type("Edit10", "45"), press("ButtonZapiszDisc");
        show(&form_->cumulants()), click("ButtonCum"), press("ButtonZapiszCum");
        noErrors();
        const QStringList shown = memo(form_->Memo2);
        auto log = [&](const char* name) { return QString::fromStdString(Cp1250ToUtf8(Bytes(work_->filePath(name)))).split("\r\n"); };
        const QStringList cont = log("tempCont.txt"), disc = log("tempDisc.txt"), cum = log("tempCum.txt");
        QCOMPARE(cont, (QStringList{shown[0], shown[1], ""}));
        QVERIFY(cont[1].startsWith("25.00\t") && disc[0].startsWith("Temp\tSkł.  stała\t") && disc[1].startsWith("30.00\t"));
        QVERIFY(disc.size() == 5 && disc[2].startsWith("Kąt\tSkł.  stała\t") && disc[3].startsWith("45.00\t"));
        QVERIFY(cum.size() == 3 && cum[0].startsWith("Temp\tZ-średnia\t") && cum[1].startsWith("1.00\t"));
        QCOMPARE(shown, (cont.mid(0, 2) + disc.mid(0, 4) + cum.mid(0, 2)));
        // A bad value ends the click: no line, the file keeps its last state.
        const std::string before = Bytes(work_->filePath("tempDisc.txt"));
        type("Edit10", "abc"), press("ButtonZapiszDisc");
        QCOMPARE(errors_->messages.last(), QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(Bytes(work_->filePath("tempDisc.txt")), before);
        dialogs_->saveNames.push_back(work_->filePath("wyniki")), form_->Zapisz1->trigger();
        QCOMPARE(Bytes(work_->filePath("wyniki")), Utf8ToCp1250(form_->Memo2->toPlainText().replace('\n', "\r\n").toStdString()) + "\r\n");
    }

    // The logs go to the working directory chosen; a log of an earlier start there is kept before this start's
    // first "Zapamiętaj" replaces it. Another analysis holds the directory: a run or a "Zapamiętaj" waits under
    // a dialog; "Przerwij" leaves everything as it was, and the run goes on once the lock is free.
    void anotherAnalysisAndAnotherDirectory()
    {
        QTemporaryDir other;
        dialogs_->directory = other.path(), form_->ActionWorkDir->trigger();
        QVERIFY(form_->StatusWorkDir->text().contains(QDir::toNativeSeparators(QDir(other.path()).canonicalPath())));
        const QByteArray earlier = "Temp\tearlier\r\n20.00\t1\r\n";
        for (const auto& [button, log] : {std::pair{"ButtonZapisz", QString("tempCont")}, {"ButtonZapiszDisc", "tempDisc"}, {"ButtonZapiszCum", "tempCum"}}) {
            writeFile(other.filePath(log + ".txt"), earlier);
            form_->Memo2->clear(), press(button), press(button);
            const QStringList kept = QDir(other.path()).entryList({log + "-*.txt"});
            QVERIFY(kept.size() == 1 && Bytes(other.filePath(kept[0])) == earlier.toStdString());
            QCOMPARE(Bytes(other.filePath(log + ".txt")), Utf8ToCp1250(form_->Memo2->toPlainText().toStdString()) + "\r\n");
            QVERIFY(form_->statusBar()->currentMessage().contains(kept[0]));
        }
        QVERIFY(QDir(work_->path()).entryList({"temp*"}).isEmpty());
        dialogs_->directory = work_->path(), form_->ActionWorkDir->trigger(), form_->Memo2->clear();
        openWithListings("bimodal");
        FileLock held(work_->filePath("nazwa.lock").toStdString());
        const struct { const char* button; bool cancel; QString written; } cases[] = {
            {"ButtonContin", true, "nazwa.in"}, {"ButtonZapisz", true, "tempCont.txt"}, {"ButtonZapiszCum", true, "tempCum.txt"},
            {"ButtonContin", false, "nazwa.in"}};
        for (const auto& c : cases) {
            QVERIFY(held.TryLock());
            bool sawDialog = false;
            OnDialog(form_.get(), QStringLiteral("LockWait"), 300, sawDialog, QStringLiteral("Czekam na inną analizę w tym katalogu…"),
                     c.cancel ? std::function<void()>() : [&] { held.Unlock(); });
            click(c.button);
            QVERIFY2(sawDialog, qPrintable(c.written));
            QCOMPARE(QFile::exists(work_->filePath(c.written)), !c.cancel);
            QVERIFY(form_->measurement().OnShow() == (c.cancel ? Analysis::None : Analysis::Contin) && form_->Memo2->toPlainText().isEmpty());
            held.Unlock();
        }
        QCOMPARE(text("LabelCum"), QStringLiteral(" "));  // a wait given up says nothing
        noErrors();
    }

    // Run by CTest a second time under a Polish locale: numbers shown and typed
    // use the decimal comma, decks keep the point.
    void decimalCommaLocale()
    {
        if (QLocale::system().decimalPoint() != QStringLiteral(","))
            QSKIP("the locale of this run writes a decimal point");
        QCOMPARE(C<QLineEdit>("Edit1")->text(), QStringLiteral("0,1"));
        openWithListings("pairbase");
        type("Edit1", "0,5"), type("Edit2", "5000"), click("ButtonContin");
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), Bytes(kData + "/pairbase.contin.in"));
        C<QSpinBox>("UpDown1")->setValue(7);
        QVERIFY(text("Label4") == QStringLiteral("Probe1=0,695") && cell("StringGrid1", 1, 1).contains(QLatin1Char(',')));
        type("Edit8", "25,5"), press("ButtonZapisz");
        QVERIFY(memo(form_->Memo2).value(1).startsWith(QStringLiteral("25,50\t")));
        type("Edit8", "25.5"), press("ButtonZapisz");
        QCOMPARE(errors_->messages.value(0), QStringLiteral("'25.5' is not a valid floating point value"));
        open(kData + "/alv/LC8.2_0001.ASC");  // the sample's fields show and read the comma too
        QCOMPARE(C<QLineEdit>("EditTemperature")->text(), QStringLiteral("297,92675"));
        SetField(C<QLineEdit>("EditTemperature"), QStringLiteral("300,5"));
        QCOMPARE(form_->measurement().Sample().temperatureK, 300.5);
        // The numbers of the flags' sentences too (the file's PDI note).
        show(&form_->cumulants()), click("ButtonCum");
        const QStringList lines = form_->cumulants().verdict().flagLines();
        QVERIFY2(lines.filter(QRegularExpression("^PDI 0,\\d+ powyżej 0,1: ")).size() == 1 && lines.filter(QRegularExpression("\\d\\.\\d")).isEmpty(),
                 qPrintable(lines.join('\n')));
    }

    // Each key reaches its command; a dropped file opens, dropped text does not.
    void keysDropsAndQuitting()
    {
        listings("bimodal");
        QMimeData text, file;
        text.setText(QStringLiteral("1\t2")), file.setUrls({QUrl::fromLocalFile(kData + "/bimodal.txt")});
        for (QMimeData* mime : {&text, &file}) {
            QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &enter);
            QCOMPARE(enter.isAccepted(), mime == &file);
            QDropEvent drop(QPointF(100, 100), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(form_.get(), &drop);
            QCOMPARE(form_->measurement().PointCount(), mime == &file ? std::size_t(100) : std::size_t(0));
        }
        TForm3 help;
        withHelp(help);
        dialogs_->openNames.emplace_back(kData + "/bimodal.txt"), dialogs_->saveNames.push_back(work_->filePath("wyniki.txt"));
        const OnShow m{form_};
        const struct { QWidget* page; QKeyCombination key; std::function<bool()> done; } cases[] = {
            {nullptr, Qt::CTRL | Qt::Key_O, [&] { return m->PointCount() == 100; }},
            {C<QWidget>("TabSheetCont"), Qt::CTRL | Qt::Key_Return, [&] { return m->OnShow() == Analysis::Contin; }},
            {C<QWidget>("TabSheetCont"), QKeyCombination(Qt::Key_Home), [&] { return m->ShownIndex() == m->Contin()->chosen; }},
            {C<QWidget>("TabSheetDisc"), Qt::CTRL | Qt::Key_Enter, [&] { return m->OnShow() == Analysis::Discrete; }},
            {nullptr, Qt::CTRL | Qt::Key_S, [&] { return QFile::exists(work_->filePath("wyniki.txt")); }},
            {nullptr, QKeyCombination(Qt::Key_F1), [&] { return help.isVisible(); }},
            {nullptr, Qt::CTRL | Qt::Key_Q, [&] { return !form_->isVisible(); }},
        };
        for (const auto& c : cases) {
            if (c.page) show(c.page);
            activate(), form_->ScrollBar1->setFocus();
            QTest::keyClick(form_.get(), c.key.key(), c.key.keyboardModifiers());
            QVERIFY2(c.done(), qPrintable(QKeySequence(c.key).toString()));
        }
        // Quitting asks about results not saved, and ends the program.
        using A = ui::UnsavedAnswer;
        const struct { bool saveFirst; A answer; QString saveName; bool closes; } quits[] = {
            {false, A::Cancel, "", false}, {false, A::Discard, "", true}, {false, A::Save, "wyniki.txt", true},
            {false, A::Save, "", false},   {true, A::Cancel, "", true}};  // saveName: what the save dialog answers
        for (const auto& c : quits) {
            startWindow(), open(kData + "/bimodal.txt");
            press("ButtonZapisz");  // a line in the memo; tempCont.txt does not count as saved
            if (c.saveFirst) dialogs_->saveNames.push_back(work_->filePath("przed.txt")), form_->Zapisz1->trigger();
            dialogs_->answers.push_back(c.answer);
            if (!c.saveName.isEmpty()) dialogs_->saveNames.push_back(work_->filePath(c.saveName));
            form_->Zamknij1->trigger();
            QCOMPARE(dialogs_->questions, c.saveFirst ? 0 : 1);
            QCOMPARE(form_->isVisible(), !c.closes);
            if (!c.saveName.isEmpty()) QVERIFY(StartsWith(Bytes(work_->filePath(c.saveName)), "Temp\tIntensywn1\t"));
        }
        // With nothing to save and help open, closing ends the program (the watchdog only ends a loop that would not).
        startWindow(), withHelp(help), form_->Pomoc1->trigger();
        QVERIFY(help.isVisible());
        QTimer::singleShot(0, form_->Zamknij1, &QAction::trigger);
        QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!help.isVisible());
    }

    // The page on show, not the analysis run last, decides the fit over the data, the status bar
    // and where Home goes; Home reaches its command from the solution spinner too; the two
    // residual charts read on one scale. The time axes in the measurement's unit (µs unless its
    // sample says otherwise); on every chart a drag with the middle button (or Shift) pans to earlier
    // times keeping the span (in decades on a logarithmic axis), a double click resets; the chart's menu.
    void thePageOnShowDecidesTheChartsAndTheChartsPan()
    {
        const auto plots = {C<QCustomPlot>("Chart1"), form_->Chart2, C<QCustomPlot>("Chart3")};
        for (QCustomPlot* plot : plots) QVERIFY(plot->axisRects().last()->axis(QCPAxis::atBottom)->label().endsWith(QStringLiteral("[µs]")));
        QCOMPARE(C<QCustomPlot>("Chart3")->xAxis->range(), QCPRange(0.1, 1000));  // empty: the default grid's range
        for (bool log : {false, true}) { form_->dataChart().SetLogX(log); QCOMPARE(form_->discrete().residualChart().LogX(), log); }
        openWithListings("bimodal");
        Choose(C<QComboBox>("ComboDataKind"), 1);  // g2 - 1: the fit in the data's terms differs from g1's
        const OnShow m{form_};
        auto* spin = C<QSpinBox>("UpDown1");
        show(&form_->contin()), click("ButtonContin");
        show(&form_->discrete()), click("ButtonDisc"), C<QSpinBox>("UpDown2")->setValue(2);
        auto fitDrawn = [&] { return form_->dataChart().fit->data()->size(); };
        const int discreteFit = int(m->DiscreteOnShow()->fitX.size()) - 1;
        QVERIFY(fitDrawn() == discreteFit && form_->StatusSolution->text().startsWith("DISCRETE: rozwiązanie 2"));
        const auto strip = form_->dataChart().residuals->data(), own = form_->discrete().residualChart().residuals->data();
        QCOMPARE(own->size(), strip->size());
        for (int k = 0; k < own->size(); k += 7) QVERIFY(own->at(k)->key == strip->at(k)->key && own->at(k)->value == strip->at(k)->value);
        show(&form_->contin());
        QVERIFY(fitDrawn() == int(m->ContinOnShow()->fitX.size()) && fitDrawn() != discreteFit);
        QCOMPARE(form_->StatusSolution->text(), QStringLiteral("CONTIN: rozwiązanie 0 z 11, wybrane: 7"));
        activate(), spin->setFocus();
        for (int k = 0; k < 3; ++k) QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(m->ShownIndex(), std::size_t(3));
        QTest::keyClick(spin, Qt::Key_Home);  // the spinner has the focus
        QVERIFY(m->OnShow() == Analysis::Contin && m->ShownIndex() == 7 && spin->value() == 7 && IsRed(C<QLabel>("Label1")));
        press("ButtonZapisz");  // records the solution Home chose
        const LogInput in{"Temp", "1", false, false, '.'};
        QCOMPARE(memo(form_->Memo2).value(1), QString::fromStdString(*ContinLogClick(&m->Contin()->solutions[7], false, in).line));
        show(&form_->discrete());
        QTest::keyClick(C<QSpinBox>("UpDown2"), Qt::Key_Home);
        QVERIFY(m->OnShow() == Analysis::Discrete && m->ShownIndex() == 0 && fitDrawn() == discreteFit);
        show(&form_->sample());  // a page without a decay fit shows none
        QVERIFY(fitDrawn() == 0 && form_->StatusSolution->text().isEmpty() && !form_->ActionChosen->isEnabled());
        // The residuals under the data chart belong to the analysed points, whatever range is set later.
        form_->ScrollBar1->setValue(4);
        for (const char* run : {"ButtonContin", "ButtonDisc"}) {
            show(C<QWidget>(run == std::string("ButtonDisc") ? "TabSheetDisc" : "TabSheetCont"));
            click(run), form_->ScrollBar1->setValue(0);
            const auto fit = form_->dataChart().fit->data(), residuals = form_->dataChart().residuals->data();
            QVERIFY(fit->size() > 90 && residuals->size() == fit->size());
            for (int k = 0; k < fit->size(); ++k)
                QVERIFY(residuals->at(k)->key == fit->at(k)->key &&
                        std::fabs(residuals->at(k)->value + fit->at(k)->value - form_->measurement().Y()[4 + k]) < 1e-12);
            form_->ScrollBar1->setValue(4);
        }
        auto send = [](QCustomPlot* plot, QEvent::Type type, Qt::MouseButton button, QPointF at, Qt::KeyboardModifiers mods = {}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
            QMouseEvent e(type, at, plot->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button, held, mods);
            QApplication::sendEvent(plot, &e);
        };
        for (QCustomPlot* plot : plots) {
            show(C<QWidget>(plot == C<QCustomPlot>("Chart1") ? "TabSheetCont" : "TabSheetDisc")), plot->replot();
            const QPointF c = plot->axisRect()->rect().center(), to = c + QPointF(50, 20);
            const QCPRange x0 = plot->xAxis->range(), y0 = plot->yAxis->range();
            const bool log = plot->xAxis->scaleType() == QCPAxis::stLogarithmic;
            auto span = [log](QCPRange r) { return log ? std::log(r.upper / r.lower) : r.size(); };
            for (const auto& [button, mods] : {std::pair{Qt::MiddleButton, Qt::NoModifier}, {Qt::LeftButton, Qt::ShiftModifier}}) {
                for (auto [type, at] : {std::pair{QEvent::MouseButtonPress, c}, {QEvent::MouseMove, (c + to) / 2},
                                        {QEvent::MouseMove, to}, {QEvent::MouseButtonRelease, to}})
                    send(plot, type, button, at, mods);
                const QCPRange x = plot->xAxis->range();
                QVERIFY2(x.lower < x0.lower && plot->yAxis->range() != y0, qPrintable(plot->objectName()));
                QVERIFY(std::fabs(span(x) - span(x0)) < 1e-9 * std::fabs(span(x0)));
                send(plot, QEvent::MouseButtonDblClick, Qt::LeftButton, c);
                QVERIFY(plot->xAxis->range() == x0 && plot->yAxis->range() == y0);
            }
        }
        // The chart's menu: a bare name gets the format's suffix; the copy is the chart's image.
        std::unique_ptr<QMenu> menu(form_->dataChart().MakeContextMenu(nullptr));
        dialogs_->saveNames.push_back(work_->filePath("w")), menu->findChild<QAction*>("savePng")->trigger();
        QVERIFY(StartsWith(Bytes(work_->filePath("w.png")), "\x89PNG") && dialogs_->saveFilters.last().contains("*.png"));
        QGuiApplication::clipboard()->clear(), menu->findChild<QAction*>(QStringLiteral("copyImage"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().size(), form_->Chart2->size());
        noErrors();
    }

    // The sample's presets follow the temperature; the sample's and the analyses' fields, the window's size,
    // the last directory and the recent files live between starts.
    void settingsPresetsAndRecentFilesLiveBetweenStarts()
    {
        const OnShow m{form_};
        using physics::Solvent;
        const struct { int item; QString temperature; Solvent solvent; } cases[] = {
            {0, "298.15", Solvent::Water}, {1, "298.15", Solvent::Toluene}, {2, "310", Solvent::Ethanol}, {0, "320", Solvent::Water}};
        for (const auto& c : cases) {
            SetField(C<QLineEdit>("EditTemperature"), c.temperature), Choose(C<QComboBox>("ComboSolvent"), c.item);
            const auto p = physics::SolventAt(c.solvent, c.temperature.toDouble());
            QVERIFY(std::fabs(m->Sample().viscosityCp / p->viscosityCp - 1) < 1e-7 && m->Sample().refractiveIndex == p->refractiveIndex);
            QVERIFY(Shows(text("LabelCelsius").mid(1), c.temperature.toDouble() - 273.15));
        }
        SetField(C<QLineEdit>("EditTemperature"), "400");  // beyond water's table: refused, nothing changes
        QVERIFY(errors_->messages.size() == 1 && C<QLineEdit>("EditTemperature")->text() == QStringLiteral("320"));
        SetField(C<QLineEdit>("EditAngle"), "abc");  // not a number: said, and the field shows the sample again
        QCOMPARE(errors_->messages.value(1), QStringLiteral("'abc' is not a valid floating point value"));
        QCOMPARE(C<QLineEdit>("EditAngle")->text(), QStringLiteral("90"));
        emit C<QLineEdit>("EditViscosity")->textEdited("0.95");  // a typed viscosity is no preset's and stays
        SetField(C<QLineEdit>("EditViscosity"), "0.95");
        QCOMPARE(C<QComboBox>("ComboSolvent")->currentIndex(), 3);
        SetField(C<QLineEdit>("EditTemperature"), "305");
        QCOMPARE(m->Sample().viscosityCp, 0.95);
        // The text files' kind and unit, and the instrument's values, kept between starts.
        SetField(C<QLineEdit>("EditAngle"), "45"), Choose(C<QComboBox>("ComboDataKind"), 2), Choose(C<QComboBox>("ComboTimeUnit"), 3);
        const QString shortFile = writeFile("short.txt", "1\t0.5\r\n2\t0.25\r\n3\t0.125\r\n");
        open(kData + "/bimodal.txt"), open(shortFile);
        const std::pair<const char*, QString> fields[] = {{"Edit1", "0.5"}, {"Edit3", "80"}, {"Edit4", "4"}, {"Edit5", "3"}, {"Edit6", "9"}};
        for (const auto& [edit, text] : fields) type(edit, text);
        C<QCheckBox>("CheckBox1")->setChecked(false), C<QCheckBox>("CheckBox2")->setChecked(true), form_->resize(800, 600);
        QVERIFY(form_->close());
        startWindow();
        for (const auto& [edit, text] : fields) QCOMPARE(C<QLineEdit>(edit)->text(), text);
        QVERIFY(!C<QCheckBox>("CheckBox1")->isChecked() && C<QCheckBox>("CheckBox2")->isChecked() && C<QCheckBox>("CheckBox4")->isChecked());
        QVERIFY(form_->size() == QSize(800, 600) && m->Sample().angleDeg == 45.0 && m->Sample().viscosityCp == 0.95);
        form_->Otw1->trigger();
        QCOMPARE(dialogs_->openDirectories, QStringList{work_->path()});
        // The recent files, the last opened first; an entry opens its file, and a file that is gone leaves the list.
        const auto recent = [&] { return form_->MenuRecent->actions(); };
        QVERIFY(recent().size() == 2 && recent()[0]->text().endsWith(QDir::toNativeSeparators(shortFile)));
        recent()[1]->trigger();
        QVERIFY(m->PointCount() == 100 && recent()[0]->text().endsWith(QStringLiteral("bimodal.txt")));
        QFile::remove(shortFile), recent()[1]->trigger();
        QCOMPARE(recent().size(), 1);
        // A correlator file states its own values, kind and unit; a text file opened next takes the text files' ones.
        open(kData + "/alv/LC8.2_0028.ASC");
        const io::InstrumentHeader h = *m->File().instrument;
        QVERIFY(m->Sample().angleDeg == *h.angleDeg && m->Sample().dataKind == DataKind::G2Minus1);
        QCOMPARE(C<QLineEdit>("EditTemperature")->text() + " K, " + C<QComboBox>("ComboTimeUnit")->currentText(), QStringLiteral("297.94326 K, ms"));
        open(kData + "/bimodal.txt");
        QVERIFY(m->Sample().dataKind == DataKind::G2 && m->Sample().timeUnit == TimeUnit::Nanoseconds && m->Sample().angleDeg == *h.angleDeg);
    }

    void radiiRowsBetaTheRegularizerAndTheWeights()
    {
        openWithListings("pairbase");
        const OnShow m{form_};
        C<QCheckBox>("CheckBoxSignal")->setChecked(true), click("ButtonContin");
        QVERIFY(m->LastContinRequest()->signalWeighted && text("LabelBeta1").isEmpty());  // g1 data have no beta
        // Rows of R_h and D (the radii first), each with its error, under each peak's or component's decay time.
        auto rowsHoldSizes = [&](const char* grid, int first, int dRow, const std::vector<std::pair<double, double>>& times) {
            QCOMPARE(cell(grid, 0, first).left(3) + ", " + cell(grid, 0, dRow), QStringLiteral("R_h, D"));
            for (std::size_t k = 0; k < times.size(); ++k) {
                const auto size = physics::SizeFromDecayTime(times[k].first, times[k].second, m->Sample());
                const QString d = cell(grid, int(k) + 1, dRow), r = cell(grid, int(k) + 1, first);
                QVERIFY2(ShowsWithError(d, size->diffusion, size->diffusionErr, "m²/s"), qPrintable(d));
                QVERIFY2(ShowsWithError(r, size->radiusNm, size->radiusErrNm, "nm"), qPrintable(r));
            }
        };
        SetField(C<QLineEdit>("EditTemperature"), "310");  // the sizes follow the sample at once
        std::vector<std::pair<double, double>> times;
        for (const ContinPeak& p : m->ContinOnShow()->peaks) times.emplace_back(p.position, p.positionErr);
        rowsHoldSizes("StringGrid1", 6, 8, times);
        SetField(C<QLineEdit>("EditAngle"), "0");  // no size: empty cells, the reason on the captions
        QVERIFY(cell("StringGrid1", 1, 7).isEmpty() && C<QTableWidget>("StringGrid1")->item(7, 0)->toolTip().contains("0"));
        SetField(C<QLineEdit>("EditAngle"), "90"), click("ButtonDisc");
        times.clear();
        for (const Component& c : m->DiscreteOnShow()->components) times.emplace_back(1 / c.rate, c.rateErr);
        rowsHoldSizes("StringGrid2", 5, 6, times);
        // At the designed size the group box keeps its height above the table, and the radius row shows.
        show(&form_->discrete()), QTest::qWait(50);
        QTableWidget* components = C<QTableWidget>("StringGrid2");
        QVERIFY(form_->size() == QSize(924, 632) && components->geometry().top() > C<QGroupBox>("GroupBox3")->geometry().bottom());
        QVERIFY(components->rowViewportPosition(5) + components->rowHeight(5) <= components->viewport()->height());
        Choose(C<QComboBox>("ComboDataKind"), 1);  // the same points as g2 - 1: beta from the cumulant intercept
        for (const bool contin : {true, false}) {
            click(contin ? "ButtonContin" : "ButtonDisc");
            const std::optional<double> beta = contin ? m->Contin()->beta : m->Discrete()->beta;
            QVERIFY(beta && *beta > 0.5);
            QCOMPARE(text(contin ? "LabelBeta1" : "LabelBeta2"), "β = " + F3(*beta));
            std::vector<double> drawn;  // the fit drawn in the data's terms: through Siegert, the g1 fit
            for (const auto& point : *form_->dataChart().fit->data()) drawn.push_back(point.value);
            const auto g1 = physics::FieldCorrelation(drawn, DataKind::G2Minus1, *beta);
            const auto& fitted = contin ? m->ContinOnShow()->fitY : m->DiscreteOnShow()->fitY;
            for (std::size_t k = 0; k < drawn.size(); k += 9) QVERIFY(std::fabs(g1.value()[k] - fitted[k]) < 1e-12);
        }
        // g2 - 1 data are weighted by the Siegert relation unless a page's box is cleared: the CONTIN
        // deck reads weights with the data, the DISCRETE deck lists them after its own card.
        for (const auto& [box, button, card] : {std::tuple{"CheckBoxWagiCont", "ButtonOKCont", " IWT                     4."},
                                                {"CheckBoxWagiDisc", "ButtonOKDisc", "WEIGHTS"}}) {
            QVERIFY(C<QCheckBox>(box)->isChecked());
            for (const bool on : {true, false}) {
                C<QCheckBox>(box)->setChecked(on), press(button);
                QCOMPARE(memo(form_->Memo1).contains(QString::fromLatin1(card)), on);
            }
        }
    }

    void cumulantPageSeveralFilesColumnsAndTheCountRate()
    {
        open(kData + "/alv/LC8.2_0001.ASC");
        const OnShow m{form_};
        const char* grid = "StringGridCum";
        show(C<QWidget>("TabSheetCum")), activate();
        QTest::keyClick(form_.get(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(m->Cumulants());
        const cumulants::Result& f = m->Cumulants()->fit;
        const auto z = physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m->Sample());
        const double shown[] = {f.gammaMean, f.pdi, f.beta, z->diameterNm, z->radiusNm, double(f.pointsUsed)};
        for (int r = 0; r < 6; ++r) QVERIFY2(Shows(cell(grid, 1, r + 1), shown[r]), qPrintable(cell(grid, 1, r + 1)));
        QVERIFY(Shows(cell(grid, 2, 4), z->diameterErrNm, 2) && !cell(grid, 1, 1).contains('E'));
        QVERIFY(form_->cumulants().chart().fit->data()->size() == int(f.fitted.size()) &&
                form_->cumulants().chart().residuals->data()->size() == int(f.residuals.size()));
        // Frisken's form takes the smaller cut-off, unless the user typed one.
        Click(C<QCheckBox>("CheckBoxFrisken")), press("ButtonCum");
        QVERIFY(C<QLineEdit>("EditCutoff")->text() == QStringLiteral("0.01") && m->Cumulants()->request.frisken && m->Cumulants()->request.cutoff == 0.01);
        Click(C<QCheckBox>("CheckBoxFrisken"));
        QCOMPARE(C<QLineEdit>("EditCutoff")->text(), QStringLiteral("0.1"));
        QTest::keyClicks(C<QLineEdit>("EditCutoff"), "5"), Click(C<QCheckBox>("CheckBoxFrisken"));
        QCOMPARE(C<QLineEdit>("EditCutoff")->text(), QStringLiteral("0.15"));
        type("EditCumValue", "25"), press("ButtonZapiszCum");  // the log's header and a line
        QVERIFY(StartsWith(Bytes(work_->filePath("tempCum.txt")), "Temp\tZ-\x9Crednia\tPDI\tGamma\tBeta\t\r\n25.00\t"));
        // A decay whose log curves down has a negative mu2: PDI 0 and the fit's note say so.
        QByteArray curved;
        for (double t = 0.05; t < 3.01; t += 0.05) curved += QByteArray::number(t) + '\t' + QByteArray::number(0.4 * std::exp(-2 * t - 0.8 * t * t)) + '\n';
        open(writeFile("curved.txt", curved)), Choose(C<QComboBox>("ComboDataKind"), 1), press("ButtonCum");
        QVERIFY(m->Cumulants() && m->Cumulants()->fit.mu2 < 0 && cell(grid, 1, 2) == QStringLiteral("0.000"));
        QVERIFY(text("LabelCumNote").startsWith(QStringLiteral("μ₂ jest ujemne (")));
        // No fit (no points; too few): the reason, no figures of an earlier fit, and no log line.
        for (const auto& [file, first, last] : {std::tuple{QString("toluene-0001"), 0, -1}, {"LC8.2_0001", 10, 12}}) {
            open(kData + "/alv/" + file + ".ASC");
            if (last >= 0) press("ButtonCum"), range(first, last);
            press("ButtonCum");
            const QString reason = form_->statusBar()->currentMessage();
            QVERIFY(!reason.isEmpty() && C<QLabel>("LabelCum")->toolTip() == reason);
            QVERIFY(text("LabelCum") == QStringLiteral("BŁĄD") && cell(grid, 1, 1).isEmpty());
        }
        C<QLabel>("LabelCum")->clear(), press("ButtonZapiszCum");
        QVERIFY(text("LabelCum") == QStringLiteral("BŁĄD") && form_->Memo2->toPlainText().count('\n') == 1);
        // Several files at once, one of them bad: the others open, each with its own count rate, sample,
        // range and results; switching shows them.
        openAll({kData + "/alv/LC8.2_0001.ASC", kData + "/alv/LC8.2_0028.ASC", writeFile("bad.asc", "1\t2\n3\n"),
                 kData + "/alv/LC8.2_0045.ASC"});
        QVERIFY2(errors_->messages.size() == 1 && errors_->messages[0].contains("bad.asc"), qPrintable(errors_->messages.join('\n')));
        QVERIFY(form_->ComboFiles->count() == 3 && form_->FileBar->isVisibleTo(form_.get()));
        const io::CountRateTrace& trace = m->File().countRate;
        const auto& channels = form_->sample().countRateChart().channels;
        QVERIFY(channels.size() == trace.rateKHz.size() && channels[1]->data()->size() == int(trace.timeS.size()));
        QCOMPARE(channels[1]->data()->at(3)->value, trace.rateKHz[1][3]);
        press("ButtonCum");
        const double gamma = m->Cumulants()->fit.gammaMean;
        form_->ActionNextFile->trigger();
        QVERIFY(m->Sample().angleDeg == 55.0 && cell(grid, 1, 1).isEmpty());
        SetField(C<QLineEdit>("EditTemperature"), "300"), form_->ScrollBar1->setValue(5);
        Choose(form_->ComboFiles, 0);
        QVERIFY(Shows(cell(grid, 1, 1), gamma));
        QVERIFY(m->Sample().angleDeg == 21.7 && form_->ScrollBar1->value() == 0 && !form_->ActionPrevFile->isEnabled());
        // Beside each value, where it came from; each file keeps its own.
        auto sources = [&] {
            QStringList said;
            for (const char* name : {"SourceTemperature", "SourceAngle", "SourceWavelength", "SourceDataKind"}) said << text(name);
            return said.join(", ");
        };
        QCOMPARE(sources(), QStringLiteral("z pliku, z pliku, z pliku, z pliku"));
        form_->ActionNextFile->trigger();
        QVERIFY(m->Sample().temperatureK == 300.0 && m->Range().first == 5);
        QCOMPARE(sources(), QStringLiteral("wpisane, z pliku, z pliku, z pliku"));
        // A text file of more columns: which two is asked, and offered again next time.
        const QString three = writeFile("three.txt", "t\tA\tB\n1\t0.5\t0.9\n2\t0.25\t0.8\n3\t0.125\t0.7\n");
        dialogs_->columns.push_back(ui::ColumnChoice{1, 3}), open(three);
        QVERIFY(!form_->FileBar->isVisibleTo(form_.get()) && m->Y()[0] == 0.9 && form_->sample().countRateChart().channels.empty());
        QCOMPARE(sources(), QStringLiteral("domyślne, domyślne, domyślne, domyślne"));
        QCOMPARE(form_->statusBar()->currentMessage(), QStringLiteral("Pominięto wiersze nagłówka: 1"));
        dialogs_->columns.push_back(std::nullopt), open(three);  // cancelled: nothing is opened
        QVERIFY(dialogs_->columnQuestions.size() == 2 && dialogs_->columnQuestions[0].first == 3);
        QVERIFY(dialogs_->columnQuestions[1].second.y == 3 && m->PointCount() == 0);
    }

    void languageSwitchTranslatesTheWindowAndTheReadersReasonsButNotTheFiles()
    {
        using L = ui::Language;  // at start: the one chosen before, else Polish for a Polish system, else English
        for (const auto& [chosen, system, expected] : {std::tuple{QString(), "pl_PL", L::Polish}, {"", "en_GB", L::English},
                                                       {"", "de_DE", L::English}, {"pl", "en_US", L::Polish}, {"en", "pl_PL", L::English}})
            QCOMPARE(ui::ChooseLanguage(chosen, QLocale(system)), expected);
        openWithListings("bimodal"), show(&form_->contin()), range(9, 7);
        click("ButtonContin");  // refused: a reversed range
        const QString english = QString::fromStdString(form_->measurement().UsableRange(Engine::Contin).failure().message());
        const QString polish = form_->statusBar()->currentMessage();
        QVERIFY2(polish != english && polish.contains('9') && polish.contains('7'), qPrintable(polish));
        switchTo(form_->ActionEnglish);
        QCOMPARE(QSettings().value("language").toString(), QStringLiteral("en"));
        QCOMPARE(form_->Plik1->title() + ", " + form_->dataChart().Title(), QStringLiteral("File, Solution"));
        click("ButtonContin");
        QCOMPARE(form_->statusBar()->currentMessage(), english);
        range(0, 99), click("ButtonContin");
        QCOMPARE(cell("StringGrid1", 0, 1) + "; " + form_->StatusSolution->text(),
                 QStringLiteral("Intensity; CONTIN: solution 0 of 11, chosen: 7"));
        // The deck and the log do not change with the language.
        QCOMPARE(Bytes(work_->filePath("nazwa.in")), FileText(form_->measurement().ContinDeck(ContinRequest{})));
        press("ButtonZapisz");
        QVERIFY(StartsWith(Bytes(work_->filePath("tempCont.txt")), "Temp\tIntensywn1\tPolozenie1\tSzerokosc1\t"));
        // Back in Polish: every table and label in Polish at once, the values kept.
        C<QSpinBox>("UpDown1")->setValue(3);
        const QString prob = text("Label4").section(QLatin1Char('='), 1);  // "Prob1=" in English
        show(&form_->cumulants()), click("ButtonCum");
        switchTo(form_->ActionPolish);
        QVERIFY(!prob.isEmpty() && text("Label4") == "Probe1=" + prob);
        QCOMPARE(cell("StringGrid1", 0, 1) + ", " + cell("StringGrid1", 0, 8) + ", " + cell("StringGridCum", 0, 1) + ", " + cell("StringGridCum", 1, 0),
                 QStringLiteral("Intensywnosc, D, Średnie Γ [1/s], Wartość"));
        show(&form_->contin()), form_->ButtonChosen->click();
        QCOMPARE(form_->StatusSolution->text(), QStringLiteral("CONTIN: rozwiązanie 7 z 11, wybrane: 7"));
        // A file that cannot be read says why in the window's language, naming the line, the key and the value;
        // the file errors' own words stay, the reason added to them is translated; the workspace is reset.
        const QStringList alv = QString::fromLatin1(Bytes(kData + "/alv/LC8.2_0001.ASC")).split("\r\n");
        const auto joined = [](QStringList lines) { return lines.join("\r\n").toLatin1(); };
        QStringList hot = alv, flat = QString::fromLatin1(Bytes(kData + "/alv/multiangle-8det.ASC")).split("\r\n");
        hot[14] = "Temperature [K] :\t     5", flat[18] = QStringLiteral("Angle(1)[°]     :\t 180");
        struct Case { QString file, says; };
        const Case cases[] = {
            {writeFile("cut.asc", joined(alv.mid(0, 40)) + "\r\n"),
             "wiersz 40: plik kończy się wewnątrz bloku \"Correlation\": jest ucięty"},
            {writeFile("cutline.asc", joined(alv.mid(0, 40)).chopped(3)), "wiersz 40: plik kończy się w środku tego wiersza: jest ucięty"},
            {writeFile("hot.asc", joined(hot)), "wiersz 15: 'Temperature [K]' podaje 5, poza zakresem 200 … 500"},
            {writeFile("flat.asc", joined(flat)), "wiersz 19: 'Angle(1)[°]' podaje 180, a nie wartość leżącą ściśle między 0 a 180"},
            {writeFile("ragged.txt", "1\t0.5\r\n2\t0.4\r\n3\t0.3\t7\r\n4\t0.2\r\n"),
             "wiersz 3: 3 kolumn, a wiersze danych przed nim (od wiersza 1) mają 2"},
        };
        for (const Case& c : cases) {
            open(kData + "/pairbase.txt"), errors_->messages.clear(), open(c.file);
            QVERIFY2(errors_->messages.size() == 1, qPrintable(c.file + ": " + errors_->messages.join('\n')));
            QCOMPARE(errors_->messages[0], "Nie można odczytać pliku " + c.file + ": " + c.says);
            QCOMPARE(form_->measurement().PointCount(), std::size_t(0));
        }
        errors_->messages.clear(), open(work_->path()), open("/dev/zero");
        QCOMPARE(errors_->messages, QStringList({"Cannot open file " + work_->path() + " (to jest katalog)",
                                                 "Cannot open file /dev/zero (to nie jest zwykły plik)"}));
    }

    // Each page's flags: one line per flag under its table, an icon, the numbers in the tool tip.
    QStringList flags(const char* page)
    {
        QStringList codes;
        for (QWidget* line : C<QWidget>(page)->findChildren<QWidget*>("FlagLine")) {
            codes << line->property("code").toString() + ":" + line->property("severity").toString();
            auto* icon = line->findChild<QLabel*>("FlagIcon");
            if (!icon || icon->pixmap().isNull() || line->findChild<QLabel*>("FlagText")->text().isEmpty()) qFatal("a flag line without its icon or text");
        }
        return codes;
    }
    bool coloured(QLabel* label) { return label->palette().color(QPalette::WindowText) != form_->palette().color(QPalette::WindowText); }

    void flagsUnderEachTableJudgeTheData()
    {
        const struct { QString file; bool g2; QStringList expected; } cases[] = {
            {writeFile("flat.txt", Flat(80)), true, {"no-decay:error", "size-not-given:error"}},
            {writeFile("three.txt", "1\t0.5\n2\t0.4\n3\t0.3\n"), true, {"few-points:error", "size-not-given:error"}},
            {kData + "/instruments/lsi-pseudo-cross.dat", false, {"first-lags:note", "dust:warning"}},
            {kData + "/instruments/zetasizer-export.txt", false, {}},
        };
        show(&form_->cumulants());
        for (const auto& c : cases) {
            open(c.file);
            if (c.g2) Choose(C<QComboBox>("ComboDataKind"), 1);
            click("ButtonCum");
            const QStringList shown = flags("FlagsCum");
            for (const QString& code : c.expected) QVERIFY2(shown.contains(code), qPrintable(c.file + ": " + shown.join(", ")));
            QLabel* headline = C<QLabel>("LabelHeadlineCum");
            const bool warned = shown.join(' ').contains(":warning") || shown.join(' ').contains(":error");
            QCOMPARE(warned, !c.expected.isEmpty());
            QVERIFY(headline->text().isEmpty() || coloured(headline) == warned);
            QCOMPARE(C<QWidget>("FlagsCum")->isVisibleTo(form_.get()), !shown.isEmpty());
        }
        // A clean export (the last case): the answer in one line, its numbers those of the sample.
        const QString headline = text("LabelHeadlineCum");
        static const QRegularExpression parts(QStringLiteral("^Z-średnia (\\S+) nm \\(d (\\S+) nm\\) · PDI (\\S+) · β (\\S+)$"));
        const auto match = parts.match(headline);
        QVERIFY2(match.hasMatch(), qPrintable(headline));
        QVERIFY(std::fabs(Number(match.captured(2)) / 99.3 - 1) < 0.015 && std::fabs(Number(match.captured(1)) * 2 / Number(match.captured(2)) - 1) < 0.01);
        QVERIFY(std::fabs(Number(match.captured(3)) - 0.015) < 0.03 && std::fabs(Number(match.captured(4)) - 0.935) < 0.03);
        // Without a run the data's flags follow the range: the dead-time lags taken back in.
        open(cases[2].file);
        QVERIFY(flags("FlagsCum").contains("first-lags:note"));
        range(0, form_->ScrollBar2->value());
        QVERIFY2(flags("FlagsCum").contains("first-lags:warning"), qPrintable(flags("FlagsCum").join(", ")));
        // The flat file in English: the flag's sentence and its numbers.
        switchTo(form_->ActionEnglish);
        open(cases[0].file), Choose(C<QComboBox>("ComboDataKind"), 1), click("ButtonCum");
        auto* line = C<QWidget>("FlagsCum")->findChild<QWidget*>("FlagLine");
        QVERIFY2(line->findChild<QLabel*>("FlagText")->text().startsWith("no decay above the noise: the correlation starts at 0.3"),
                 qPrintable(line->findChild<QLabel*>("FlagText")->text()));
        QVERIFY2(line->toolTip().startsWith("error (no-decay): ") && line->toolTip().contains("starts at 0.3007"), qPrintable(line->toolTip()));
    }

    // CONTIN's headline, both radii in the table and on the chart, a peak or a whole curve that gives no size;
    // the four views of the distribution: what is drawn, the axis titles and the exported file; the fit's
    // table stays in the memo when its save is cancelled.
    void headlinesRadiiAndTheDistributionOfCONTIN()
    {
        openWithListings("bimodal");
        form_->ButtonZapiszFid->click();
        QVERIFY(form_->Memo1->toPlainText().startsWith(QStringLiteral("X\tYexp\tYfit\n")) &&
                form_->Memo1->toPlainText().contains(QStringLiteral("\t0.000E+00")));
        const OnShow m{form_};
        show(&form_->contin()), click("ButtonContin");
        QLabel* headline = C<QLabel>("LabelHeadlineCont");
        const QString chosen = headline->text();
        const ContinSolution& s = m->Contin()->solutions[m->Contin()->chosen];
        QVERIFY2(chosen.startsWith(QStringLiteral("wybrane rozwiązanie %1: ").arg(m->Contin()->chosen)), qPrintable(chosen));
        // Each peak's share and radius; the shares make the whole.
        static const QRegularExpression part(QStringLiteral("(\\S+) nm \\((\\S+) %\\)"));
        double shares = 0;
        int k = 0;
        for (auto it = part.globalMatch(chosen); it.hasNext(); ++k) {
            const auto p = it.next();
            QVERIFY(Shows(p.captured(1), physics::SizeFromDecayTime(s.peaks[k].position, 0, m->Sample())->radiusNm));
            shares += Number(p.captured(2));
        }
        QVERIFY(k == int(s.peaks.size()) && k >= 2 && std::fabs(shares - 100) <= k);
        // The table names both radii of the solution on show; the mean rate's is the smaller (a harmonic mean).
        QTableWidget* grid = C<QTableWidget>("StringGrid1");
        const ContinSolution& shown = *m->ContinOnShow();
        QCOMPARE(grid->columnCount(), int(shown.peaks.size()) + 1);
        QCOMPARE(Cell(grid, 0, 6) + "; " + Cell(grid, 0, 7), QStringLiteral("R_h (ze średniego czasu); R_h (średnia harmoniczna)"));
        const auto& chart = form_->contin().distributionChart();
        QCOMPARE(chart.harmonicMarks->data()->size() + chart.meanTimeMarks->data()->size(), 2 * int(shown.peaks.size()));
        for (int c = 1; c < grid->columnCount(); ++c) {
            QVERIFY2(Number(Cell(grid, c, 7)) < Number(Cell(grid, c, 6)), qPrintable(Cell(grid, c, 7) + " / " + Cell(grid, c, 6)));
            const QString row = Cell(grid, c, 7);
            const double harmonic = *shown.peaks[c - 1].harmonicPosition;
            QVERIFY2(Shows(row, physics::SizeFromDecayTime(harmonic, 0, m->Sample())->radiusNm, 3, Number(row.section(" ± ", 1))), qPrintable(row));
            QCOMPARE(chart.harmonicMarks->data()->at(c - 1)->key, harmonic);
        }
        QVERIFY(chart.plot()->legend->visible() && chart.harmonicMarks->name() == "Rₕ (średnia harmoniczna)");
        QTest::qWait(50);  // at the window's designed size both radius rows show without scrolling
        for (const int row : {6, 7})
            QVERIFY2(grid->rowViewportPosition(row) + grid->rowHeight(row) <= grid->viewport()->height(), qPrintable(QString::number(row)));
        // Another solution on show: the table follows, the headline stays with CONTIN's choice.
        C<QSpinBox>("UpDown1")->setValue(m->Contin()->chosen == 1 ? 2 : 1);
        QVERIFY(m->ShownIndex() != m->Contin()->chosen && headline->text() == chosen);
        switchTo(form_->ActionEnglish);
        QVERIFY(headline->text().startsWith(QStringLiteral("chosen solution %1: ").arg(m->Contin()->chosen)));
        switchTo(form_->ActionPolish);
        const QString time = "Czas zaniku τ [µs]", radius = "Promień hydrodynamiczny Rₕ [nm]";
        const struct { int axis, weighting; const char* header; QString xTitle, yTitle; } cases[] = {
            {0, 0, "X\tYfit\r\n", time, "Udział G(τ) na punkt siatki [%]"},
            {1, 0, "Rh_nm\tG(tau)\terr\r\n", radius, "Udział G(τ) na punkt siatki [%]"},
            {0, 1, "tau\ttau*G(tau)\terr\r\n", time, "Udział τ·G(τ) na punkt siatki [%]"},
            {1, 1, "Rh_nm\ttau*G(tau)\terr\r\n", radius, "Udział τ·G(τ) na punkt siatki [%]"}};
        for (const auto& c : cases) {
            Choose(C<QComboBox>("ComboDistAxis"), c.axis), Choose(C<QComboBox>("ComboDistWeight"), c.weighting);
            const auto curve = Distribution(*m->ContinDrawn(), DistributionAxis(c.axis), DistributionWeighting(c.weighting), m->Sample());
            const auto drawn = form_->contin().distributionChart().distribution->data();
            // Each grid point's share in percent: the heights of any two solutions compare.
            QCOMPARE(drawn->size(), int(curve->x.size()));
            double total = 0;
            for (double v : curve->y) total += std::max(v, 0.0);
            for (int k = 0; k < drawn->size(); ++k)
                QVERIFY(drawn->at(k)->key == curve->x[k] && std::fabs(drawn->at(k)->value - 100 * std::max(curve->y[k], 0.0) / total) < 1e-9);
            QCOMPARE(C<QCustomPlot>("Chart1")->xAxis->label() + " / " + C<QCustomPlot>("Chart1")->yAxis->label(), c.xTitle + " / " + c.yTitle);
            dialogs_->saveNames.push_back(work_->filePath("rozklad.txt")), press("ButtonRozklad");
            const std::string text = Bytes(work_->filePath("rozklad.txt"));
            QVERIFY2(StartsWith(text, c.header), text.substr(0, 40).c_str());
            QCOMPARE(QString::fromStdString(text).count("\r\n"), int(curve->x.size()) + 1);
        }
        Choose(C<QComboBox>("ComboDistAxis"), 0), Choose(C<QComboBox>("ComboDistWeight"), 0);
        // Lags a thousand times longer than the peaks' decay times: no peak gives a size, each says why.
        QByteArray slow;
        for (const QByteArray& row : QByteArray::fromStdString(Bytes(kData + "/bimodal.txt")).split('\n'))
            if (const auto cells = row.simplified().split(' '); cells.size() == 2) slow += QByteArray::number(cells[0].toDouble() * 1000) + '\t' + cells[1] + '\n';
        open(writeFile("slow.txt", slow)), click("ButtonContin");
        QVERIFY2(Cell(grid, 1, 7) == "brak" && grid->item(7, 1)->toolTip().startsWith("pik 1 leży w całości poniżej pierwszego czasu opóźnienia"),
                 qPrintable(Cell(grid, 1, 7) + grid->item(7, 1)->toolTip()));
        QVERIFY2(flags("FlagsCont").contains("size-not-given:warning") && chart.harmonicMarks->data()->size() < int(m->ContinOnShow()->peaks.size()), qPrintable(flags("FlagsCont").join(", ")));
        // No size at all from a correlation that does not decay: the cells say so and why.
        open(writeFile("flat.txt", Flat(100))), click("ButtonContin");
        QVERIFY2(Cell(grid, 1, 7) == "brak" && grid->item(7, 1)->toolTip().startsWith("brak zaniku ponad szum"), qPrintable(grid->item(7, 1)->toolTip()));
        QVERIFY(headline->text().contains("brak rozmiaru") && coloured(headline) && flags("FlagsCont").contains("size-not-given:error"));
        QCOMPARE(form_->contin().verdict().flagLines().filter(QRegularExpression("^rozmiar nie jest podany: brak zaniku ponad szum")).size(), 1);
        noErrors();
    }

    // Data that look like another kind than the one chosen: the question names the likely kind and the
    // figures before any analysis runs; Cancel runs nothing, "analyse" runs and is not asked again for
    // that measurement and kind, "change" takes the likely kind; clean data ask nothing.
    void doubtfulDataKindIsAskedAboutOnce()
    {
        // The test engine leaves a mark and fails: each run of it is one error message.
        engine("contin.exe", QStringLiteral("touch '%1/ran'; exit 3").arg(work_->path()));
        open(writeFile("g2m1.txt", testing::Decay(0.6)));  // g2 − 1 data (β = 0.6) in a text file, read as g1
        const OnShow m{form_};
        QCOMPARE(m->Sample().dataKind, DataKind::G1);
        auto& asked = dialogs_->kindQuestions;
        const auto runs = {"ButtonCum", "ButtonContin"};
        const auto ran = [&](const QString& run) { return run == "ButtonCum" ? m->Cumulants() != nullptr : QFile::exists(work_->filePath("ran")); };
        for (const char* run : runs) {
            dialogs_->kindAnswers = {ui::KindAnswer::Cancel}, press(run);
            QVERIFY2(asked.size() == 1 && asked[0].size() == 1 && !ran(run), run);
            const ui::KindDoubtShown& d = asked[0][0];
            QCOMPARE(d.measurement + " " + d.declared + " → " + d.likely, QStringLiteral("g2m1.txt g₁ → g₂ − 1"));
            QVERIFY2(d.reason.startsWith(QStringLiteral("wartość początkowa g₁ ")) && d.reason.contains(QStringLiteral("leży daleko poniżej 1")),
                     qPrintable(d.reason));
            QVERIFY(ui::KindQuestionText(asked[0]).contains(QStringLiteral("wyglądają raczej na g₂ − 1 niż na g₁")));
            asked.clear();
        }
        // Analysed as they are: asked once, for both analyses and every later run of this kind.
        dialogs_->kindAnswers = {ui::KindAnswer::Analyse};
        QVERIFY(errors_->messages.isEmpty());
        for (const char* run : runs) press(run), press(run);
        QVERIFY(asked.size() == 1 && ran("ButtonCum") && ran("ButtonContin") && errors_->messages.size() == 2);
        errors_->messages.clear();
        // Another kind is another question; its answer changes the kind to the likely one and runs.
        Choose(C<QComboBox>("ComboDataKind"), 2);
        dialogs_->kindAnswers = {ui::KindAnswer::ChangeKind};
        press("ButtonCum");
        QVERIFY(asked.size() == 2 && asked[1][0].declared == QStringLiteral("g₂") && asked[1][0].likely == QStringLiteral("g₂ − 1"));
        QVERIFY(m->Sample().dataKind == DataKind::G2Minus1 && C<QComboBox>("ComboDataKind")->currentIndex() == 1);
        QVERIFY(m->Cumulants() && std::fabs(m->Cumulants()->fit.beta - 0.6) < 0.02);
        // Clean data and the ones now of their own kind: no question.
        press("ButtonCum");
        open(writeFile("g1.txt", testing::Decay(0)));
        Choose(C<QComboBox>("ComboDataKind"), 0);
        press("ButtonCum");
        QVERIFY(asked.size() == 2 && m->Cumulants());
        noErrors();
    }

    void samplePageShowsTheInstrumentsAnswerAndWhatWasLeftOut()
    {
        const QString zeta = kData + "/instruments/zetasizer-export.txt";
        open(zeta);
        const OnShow m{form_};
        show(&form_->sample());
        QCOMPARE(text("SourceAngle") + ", " + text("SourceWavelength"), QStringLiteral("domyślne, domyślne"));
        QTableWidget* grid = C<QTableWidget>("GridReported");
        QVERIFY(grid->isVisibleTo(form_.get()) && Cell(grid, 1, 0) == "Aparat" && Cell(grid, 2, 1) == "–");
        QVERIFY(Number(Cell(grid, 1, 1)) == 100.0 && Number(Cell(grid, 1, 3)) == 0.93);  // record 1: Z-Ave 100.0, intercept 0.930
        click("ButtonCum");
        QVERIFY(std::fabs(Number(Cell(grid, 2, 1)) / 99.3 - 1) < 0.015 && std::fabs(Number(Cell(grid, 2, 2)) - Number(Cell(grid, 1, 2))) < 0.03);
        // A Nano S90: the angle typed once holds for every record of the export.
        SetField(C<QLineEdit>("EditAngle"), "90");
        for (int r = 0; r < 3; ++r) {
            Choose(form_->ComboFiles, r);
            QVERIFY(m->Sample().angleDeg == 90 && text("SourceAngle") == "wpisane" && m->File().record == r + 1);
        }
        // ... but the angle of one detector of a goniometer stays its own.
        open(kData + "/alv/multiangle-8det.ASC");
        const double second = form_->presenter().file(1).instrument->angleDeg.value();
        SetField(C<QLineEdit>("EditAngle"), "60"), form_->ActionNextFile->trigger();
        QVERIFY(m->Sample().angleDeg == second && second != 60);
        // The correlator's dead time left out of the range, and said to be.
        open(kData + "/instruments/lsi-pseudo-cross.dat");
        QVERIFY(m->Range().first == 3 && !grid->isVisibleTo(form_.get()));
        QCOMPARE(text("LabelLeftOut"), QStringLiteral("pierwsze 3 punkty pominięte: martwy czas korelatora"));
        QVERIFY(text("LabelQ").startsWith("q = ") && text("LabelQ").endsWith(" µm⁻¹"));
        // A record of distributions only: listed with its reason, the others open.
        QStringList lines = QString::fromLatin1(Bytes(zeta)).split("\r\n");
        const int header = int(lines.indexOf(QString())) + 1;
        QStringList record2 = lines[header + 2].split('\t');
        for (int c = 0; c < record2.size(); ++c)
            if (lines[header].section('\t', c, c).startsWith("Correlation")) record2[c].clear();
        lines[header + 2] = record2.join('\t');
        open(writeFile("mixed.txt", lines.join("\r\n").toLatin1()));
        QVERIFY2(text("LabelLeftOut") == "Rekordy odrzucone (1):\nmixed.txt [2]: rekord 2 ('PS-100 synthetic 2') zawiera tylko rozkłady, bez funkcji korelacji",
                 qPrintable(text("LabelLeftOut")));
        QVERIFY(form_->ComboFiles->count() == 3 && m->PointCount() > 0);
        noErrors();
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
