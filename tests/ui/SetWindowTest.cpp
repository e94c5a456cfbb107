// The measurement set in the real window: opening and adding files, the
// analysis of every measurement in the background, the page "Zestaw" with
// its table, fit and export. Controls are driven as the user drives them.
#include "ui/Contin.h"
#include "ui/ContinPage.h"
#include "ui/CumulantPage.h"
#include "ui/SamplePage.h"
#include "ui/SetPage.h"
#include "ui/SetRun.h"
#include "sets/SetTable.h"
#include "io/FileIO.h"
#include "ui/Language.h"
#include "WindowKit.h"

#include <qcustomplot.h>

#include <QTest>
#include <QtWidgets>

#include <cmath>
#include <deque>
#include <memory>

using namespace fluvena;
using fluvena::testing::kData;

class SetWindowTest : public QObject, fluvena::testing::WindowHarness {
    Q_OBJECT

    ui::SetPage& page() const { return form_->setPage(); }
    // The number after a label's "=" ("D₀ = 4.8180E-12 ± ...").
    static double FirstNumber(const QLabel* label) { return testing::Number(label->text().section("= ", 1)); }
    void addAll(const QStringList& paths) { dialogs_->openNames.push_back(paths); form_->ActionAddToSet->trigger(); }
    void runAll() { form_->ActionRunAll->trigger(), finished(); }
    void finished() { QTRY_VERIFY_WITH_TIMEOUT(!form_->setRun().running(), 60000); }
    QString cell(int row, int column) const { return testing::Cell(page().GridSet, column, row); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("FluvenaSetTest"));
        QSettings::setDefaultFormat(QSettings::IniFormat);
        ui::UseLanguage(ui::Language::Polish);
    }
    void init() { setUpWindow(), dialogs_->unsavedWhenNone = ui::UnsavedAnswer::Discard; }
    void cleanup() { tearDownWindow(); }

    // The eight-detector file: its README's D0 = 4.818e-12 m²/s and R_h = 44.50 nm
    // within 2 %, read from the page's labels after Ctrl+Shift+Enter on the page.
    void eightDetectorsExtrapolateToTheTruth()
    {
        openAll({kData + "/alv/multiangle-8det.ASC"});
        QCOMPARE(form_->presenter().count(), 8);
        form_->PageControl1->setCurrentWidget(&page()), activate();
        QTest::keyClick(form_.get(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        finished(), noErrors();
        QVERIFY(!form_->ProgressSet->isVisible() && page().GridSet->rowCount() == 8);
        const double d0 = FirstNumber(page().LabelD0), rh = FirstNumber(page().LabelRh0);
        QVERIFY2(std::abs(d0 / 4.818e-12 - 1.0) < 0.02, qPrintable(page().LabelD0->text()));
        QVERIFY2(std::abs(rh / 44.50 - 1.0) < 0.02, qPrintable(page().LabelRh0->text()));
        QVERIFY(page().LabelR2->text().contains("punktów: 8") && page().chart().dIn->data()->size() == 8);
        // D_app's axis keeps its scale: zero and a twentieth of the span beyond.
        const QCPRange dRange = page().chart().dPanel->axis(QCPAxis::atLeft)->range();
        QVERIFY2(dRange.lower > -0.1 * dRange.upper, qPrintable(QString::number(dRange.lower)));
        // Left out by its check box: a hollow point, out of the fit, which changes.
        page().GridSet->item(7, 0)->setCheckState(Qt::Unchecked);
        QVERIFY(!form_->presenter().set().At(7).included && page().chart().dIn->data()->size() == 7);
        QVERIFY(page().chart().dOut->data()->size() == 1 && page().LabelR2->text().contains("punktów: 7"));
        QVERIFY(FirstNumber(page().LabelD0) != d0);
        // Sorted by angle, largest first: the rows still lead to their measurements.
        page().GridSet->sortItems(1, Qt::DescendingOrder);
        QVERIFY(cell(0, 1) == "135" && cell(7, 1) == "30" && page().memberOfRow(0) == 7);
        QCOMPARE(page().GridSet->item(0, 0)->checkState(), Qt::Unchecked);
        QTest::mouseDClick(page().GridSet->viewport(), Qt::LeftButton, {},
                           page().GridSet->visualItemRect(page().GridSet->item(7, 1)).center());
        QCOMPARE(form_->presenter().current(), 0);
        // The export: one header row and a row per measurement, the same numbers.
        dialogs_->saveNames.push_back(QDir(work_->path()).filePath("angles"));
        QTest::mouseClick(page().ButtonExportCsv, Qt::LeftButton);
        const QStringList lines = QString::fromStdString(ReadFile(QDir(work_->path()).filePath("angles.csv").toStdString()))
                                      .split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 9);
        const int gamma = lines[0].split(',').indexOf("gammaMean"), included = lines[0].split(',').indexOf("included");
        QVERIFY(gamma > 0 && included > 0 && lines[8].split(',')[included] == "0");
        QCOMPARE(lines[1].split(',')[gamma].toDouble(),
                 form_->presenter().set().At(0).measurement.Cumulants()->fit.gammaMean);
    }

    // "Analizuj wszystkie" asks once for the whole set, naming only the measurements whose data
    // look like another kind; Cancel runs nothing, "change" gives each its likely kind and runs.
    void oneKindQuestionForTheSet()
    {
        QStringList names;
        for (const double beta : {0.6, 0.0, 0.5})  // 0: g1 data, else g2 − 1 data with that β
            names << writeFile(QStringLiteral("beta%1.txt").arg(beta), testing::Decay(beta));
        openAll(names), form_->PageControl1->setCurrentWidget(&form_->cumulants());
        const auto analysed = [this] {
            QString which;
            for (int k = 0; k < 3; ++k) which += form_->presenter().set().At(k).measurement.Cumulants() ? '+' : '-';
            return which;
        };
        dialogs_->kindAnswer = ui::KindAnswer::Cancel, runAll();
        QCOMPARE(dialogs_->kindQuestions.size(), std::size_t(1));
        QStringList doubtful;
        for (const ui::KindDoubtShown& d : dialogs_->kindQuestions[0]) doubtful << d.measurement + ": " + d.declared + " → " + d.likely;
        QCOMPARE(doubtful.join("; "), QStringLiteral("beta0.6.txt: g₁ → g₂ − 1; beta0.5.txt: g₁ → g₂ − 1"));
        QCOMPARE(analysed(), QStringLiteral("---"));
        dialogs_->kindAnswer = ui::KindAnswer::ChangeKind, runAll();
        QCOMPARE(analysed(), QStringLiteral("+++"));
        const auto kind = [this](int k) { return form_->presenter().set().At(k).measurement.Sample().dataKind; };
        QVERIFY(kind(0) == DataKind::G2Minus1 && kind(1) == DataKind::G1 && kind(2) == DataKind::G2Minus1);
        QCOMPARE(form_->sample().ComboDataKind->currentIndex(), 1);  // the one on show, in its page
        runAll();
        QCOMPARE(dialogs_->kindQuestions.size(), std::size_t(2));
        noErrors();
    }

    // "Otwórz" replaces the set, "Dodaj do zestawu" adds to it (results kept), and a measurement can be
    // taken out. The series chart follows its combo boxes: the z-average radius against the values typed
    // in the table, then against the files' times (minutes after the first, from their Date and Time); a
    // measurement left out is hollow, and the typed values outlive a change of page.
    void addingReplacingRemovingAndTheSeries()
    {
        openAll({kData + "/alv/LC8.2_0001.ASC"}), form_->PageControl1->setCurrentWidget(&page());
        runAll();
        QVERIFY(page().GridSet->rowCount() == 1 && !cell(0, 6).isEmpty());  // ⟨Γ⟩
        addAll({kData + "/alv/LC8.2_0028.ASC", kData + "/alv/LC8.2_0045.ASC"});
        QVERIFY(form_->presenter().count() == 3 && form_->presenter().current() == 1);
        QVERIFY(form_->ComboFiles->count() == 3 && page().GridSet->rowCount() == 3);
        QVERIFY(!cell(0, 6).isEmpty() && cell(1, 6).isEmpty() && cell(2, 1) == "87.5");
        // Only the included measurements are analysed.
        page().GridSet->item(2, 0)->setCheckState(Qt::Unchecked), runAll();
        QVERIFY(!cell(1, 6).isEmpty() && cell(2, 6).isEmpty());
        page().GridSet->item(2, 0)->setCheckState(Qt::Checked), runAll();
        const int valueColumn = page().GridSet->columnCount() - 1;
        QCOMPARE(page().GridSet->horizontalHeaderItem(valueColumn)->text(), QStringLiteral("Wartość"));
        page().GridSet->item(0, valueColumn)->setText(QStringLiteral("2")), page().GridSet->item(1, valueColumn)->setText(QStringLiteral("1,5"));
        QCOMPARE(form_->presenter().set().At(1).userValue, std::optional<double>(1.5));
        page().ComboSeriesY->setCurrentIndex(0);  // z-average radius
        page().ComboSeriesX->setCurrentIndex(page().ComboSeriesX->findText(QStringLiteral("wartość wpisana")));
        const QCPGraph* in = page().seriesChart().included;
        const auto row = [this](int k) { return sets::MakeRow(form_->presenter().set().At(k)); };
        QCOMPARE(in->data()->size(), 2);
        for (int k = 0; k < 2; ++k)
            QVERIFY(in->data()->at(k)->key == 1.5 + 0.5 * k && in->data()->at(k)->value == *row(1 - k).zRadiusNm);
        QCOMPARE(page().seriesChart().includedBars->data()->at(0).errorMinus, *row(1).zRadiusErrNm);
        QCOMPARE(page().seriesChart().plot()->xAxis->label(), QStringLiteral("wartość wpisana"));
        // Against the files' times: minutes after the first (15:53:10; 16:22:15 and, left out, 16:12:04).
        page().ComboSeriesX->setCurrentIndex(page().ComboSeriesX->findText(QStringLiteral("czas od pierwszego pomiaru [min]")));
        page().GridSet->item(1, 0)->setCheckState(Qt::Unchecked);
        QVERIFY(in->data()->size() == 2 && page().seriesChart().excluded->data()->size() == 1);
        QCOMPARE(in->data()->at(0)->key, 0.0);
        QCOMPARE(in->data()->at(1)->key, (29 * 60 + 5) / 60.0);
        QCOMPARE(page().seriesChart().excluded->data()->at(0)->key, (18 * 60 + 54) / 60.0);
        form_->PageControl1->setCurrentWidget(&form_->contin()), form_->PageControl1->setCurrentWidget(&page());
        QCOMPARE(page().GridSet->item(1, valueColumn)->text().replace(',', '.'), QStringLiteral("1.5"));
        QCOMPARE(page().seriesChart().included->data()->size(), 2);
        // No text of the page leans on a combining mark: a font without an
        // anchor for it on a capital (DejaVu Sans on Γ) draws the mark inside the letter.
        QStringList texts;
        for (int c = 0; c < page().GridSet->columnCount(); ++c) texts << page().GridSet->horizontalHeaderItem(c)->text();
        for (const QLabel* label : page().findChildren<QLabel*>()) texts << label->text();
        for (const QComboBox* combo : page().findChildren<QComboBox*>())
            for (int k = 0; k < combo->count(); ++k) texts << combo->itemText(k);
        for (const QCustomPlot* plot : {page().chart().plot(), page().seriesChart().plot()})
            for (const QCPAxisRect* rect : plot->axisRects())
                for (const QCPAxis* axis : rect->axes()) texts << axis->label();
        for (const QString& text : texts)
            for (const QChar c : text) QVERIFY2(c.category() != QChar::Mark_NonSpacing, qPrintable(text));
        // The page's button takes out the selected row, the menu the measurement on show.
        page().GridSet->selectRow(0), QTest::mouseClick(page().ButtonRemove, Qt::LeftButton);
        QVERIFY(form_->presenter().count() == 2 && form_->presenter().name(0).startsWith("LC8.2_0028"));
        form_->ActionRemoveFromSet->trigger();
        QVERIFY(form_->presenter().count() == 1 && form_->ComboFiles->count() == 1);
        openAll({kData + "/alv/LC8.2_0045.ASC"});
        QVERIFY(form_->presenter().count() == 1 && page().GridSet->rowCount() == 1);
        noErrors();
    }

    // The Contin page's analysis on every measurement: each keeps its own
    // result, shown when stepped to; a stop ends the program and keeps them.
    void everyMeasurementKeepsItsResultAndTheRunStops()
    {
        engine("contin.exe", QStringLiteral("cat '%1/bimodal.contin.out'").arg(kData));
        openAll({kData + "/bimodal.txt", kData + "/bimodal.txt"});
        form_->PageControl1->setCurrentWidget(&form_->contin()), runAll();
        noErrors();
        QVERIFY(form_->statusBar()->currentMessage().contains(QStringLiteral("2 z 2")));
        for (int k : {1, 0}) {
            form_->showFile(k);
            QVERIFY(form_->measurement().Contin() && !form_->StatusSolution->text().isEmpty());
        }
        // The window answers during a run; what the user types meanwhile stays.
        engine("contin.exe", QStringLiteral("sleep 1; cat '%1/bimodal.contin.out'").arg(kData));
        form_->ActionRunAll->trigger();
        testing::SetField(form_->sample().EditAngle, QStringLiteral("45"));
        QTRY_VERIFY_WITH_TIMEOUT(!form_->setRun().running(), 20000);
        QVERIFY(form_->measurement().Sample().angleDeg == 45.0 && form_->measurement().Contin());
        engine("contin.exe", QStringLiteral("sleep 30"));
        form_->ActionRunAll->trigger();
        QVERIFY(form_->setRun().running() && form_->ButtonCancelSet->isVisible());
        QTest::qWait(300), QTest::mouseClick(form_->ButtonCancelSet, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form_->setRun().running(), 10000);
        QVERIFY(form_->statusBar()->currentMessage().contains("przerwano") && form_->presenter().set().At(1).measurement.Contin());
        noErrors();
    }
};

QTEST_MAIN(SetWindowTest)
#include "SetWindowTest.moc"
