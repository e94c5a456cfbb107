// Pictures of every page of the window in both languages, for looking at the
// window after a change: ui_screenshots OUTPUT_DIR [ENGINE_DIR]. Without an
// engine directory the analysis programs are replaced by scripts that print
// the recorded listings of tests/data; with one (the build's bin directory)
// the real programs analyse a real ALV file, and the Sample page shows a
// Zetasizer export's record beside Fluvena's fit of it.
#include "ui/Contin.h"
#include "ui/Dialogs.h"
#include "ui/Language.h"
#include "ui/SetPage.h"
#include "ui/SetRun.h"
#include "WindowKit.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Dialogs that answer nothing and let the window close without asking.
std::unique_ptr<fluvena::testing::FakeDialogs> NoDialogs()
{
    auto d = std::make_unique<fluvena::testing::FakeDialogs>();
    d->unsavedWhenNone = fluvena::ui::UnsavedAnswer::Discard;
    return d;
}

struct PrintErrors : fluvena::ui::ErrorDisplay {
    void showError(QWidget*, const QString& message) override { qWarning("%s", qPrintable(message)); }
};

void Engine(const QDir& dir, const char* name, const QString& listing)
{
    QFile f(dir.filePath(QString::fromLatin1(name)));
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("#!/bin/sh\ncat '%1/%2'\n").arg(QStringLiteral(FLUVENA_TEST_DATA), listing).toUtf8());
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: ui_screenshots OUTPUT_DIR [ENGINE_DIR]");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {  // pictures saved into a missing folder were lost without a word
        qWarning("ui_screenshots: cannot create %s", argv[1]);
        return 1;
    }
    QTemporaryDir work, helpers, settings;
    QCoreApplication::setOrganizationName(QStringLiteral("FluvenaScreenshots"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QDir::setCurrent(work.path());
    Engine(QDir(helpers.path()), "contin.exe", QStringLiteral("bimodal.contin.out"));
    Engine(QDir(helpers.path()), "discrete.exe", QStringLiteral("bimodal.discrete.out"));
    const QString data = QStringLiteral(FLUVENA_TEST_DATA);
    const bool real = argc > 2;
    const QString engines = real ? QString::fromLocal8Bit(argv[2]) : helpers.path();
    const QStringList files = real ? QStringList{data + QStringLiteral("/alv/LC8.2_0001.ASC"), data + QStringLiteral("/instruments/zetasizer-export.txt")}
                                   : QStringList{data + QStringLiteral("/bimodal.txt"), data + QStringLiteral("/alv/LC8.2_0001.ASC")};
    for (const auto language : {fluvena::ui::Language::Polish, fluvena::ui::Language::English}) {
        fluvena::ui::UseLanguage(language);
        TForm1 form(NoDialogs(), std::make_unique<PrintErrors>(), engines.toStdString());
        form.show();
        QTest::qWait(200);
        form.openCommandLine(QStringList{QStringLiteral("fluvena")} + files);
        const QString code = fluvena::ui::LanguageCode(language);
        const struct { const char* page; const char* run; int file; } shots[] = {
            {"TabSheetCont", "ButtonContin", 0}, {"TabSheetDisc", "ButtonDisc", 0}, {"TabSheetCum", "ButtonCum", real ? 0 : 1},
            {"TabSheetSample", real ? "ButtonCum" : nullptr, 1}};
        for (const auto& shot : shots) {
            form.showFile(shot.file);
            form.PageControl1->setCurrentWidget(form.findChild<QWidget*>(QString::fromLatin1(shot.page)));
            if (shot.run) form.findChild<QPushButton*>(QString::fromLatin1(shot.run))->click();

            QTest::qWait(300);
            form.grab().save(out.filePath(QStringLiteral("%1-%2.png").arg(QString::fromLatin1(shot.page), code)));
        }
        // The set page over the three angles of one sample and over the
        // eight-detector file, each analysed whole (cumulants).
        // The series below the table: the z-average radius against the
        // files' times, and D_app against the detectors' angles.
        const struct { const char* name; QStringList files; fluvena::sets::SeriesY y; fluvena::sets::SeriesX x; } sets[] = {
            {"angles", {data + QStringLiteral("/alv/LC8.2_0001.ASC"), data + QStringLiteral("/alv/LC8.2_0028.ASC"),
                        data + QStringLiteral("/alv/LC8.2_0045.ASC")},
             fluvena::sets::SeriesY::ZAverageRadius, fluvena::sets::SeriesX::Time},
            {"8det", {data + QStringLiteral("/alv/multiangle-8det.ASC")}, fluvena::sets::SeriesY::ApparentDiffusion,
             fluvena::sets::SeriesX::Angle}};
        for (const auto& set : sets) {
            form.openCommandLine(QStringList{QStringLiteral("fluvena")} + set.files);
            form.PageControl1->setCurrentWidget(&form.setPage());
            form.setPage().ComboSeriesY->setCurrentIndex(static_cast<int>(set.y));
            form.setPage().ComboSeriesX->setCurrentIndex(static_cast<int>(set.x));
            form.setPage().TabsSetCharts->setCurrentIndex(1);
            form.ActionRunAll->trigger();
            form.setRun().wait();
            QTest::qWait(300);
            form.grab().save(out.filePath(QStringLiteral("TabSheetSet-%1-series-%2.png").arg(QString::fromLatin1(set.name), code)));
            form.setPage().TabsSetCharts->setCurrentIndex(0);
            QTest::qWait(200);
            form.grab().save(out.filePath(QStringLiteral("TabSheetSet-%1-%2.png").arg(QString::fromLatin1(set.name), code)));
        }
        // The question asked before analysing data that look like another
        // kind: for one measurement, and for the doubtful ones of a set.
        const QString reason = fluvena::ui::FailureText(fluvena::Fail(
            "the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor beta", {"0.775"}));
        const fluvena::ui::KindDoubtShown doubt{QStringLiteral("g2m1.txt"), QStringLiteral("g₁"), QStringLiteral("g₂ − 1"), reason};
        fluvena::ui::KindDoubtShown other = doubt;
        other.measurement = QStringLiteral("LC8.2_0045.ASC");
        for (const auto& [name, doubts] : {std::pair{"one", std::vector{doubt}}, {"set", std::vector{doubt, other}}}) {
            QTimer::singleShot(400, [&, name = name] {
                if (QWidget* question = QApplication::activeModalWidget()) {
                    question->grab().save(out.filePath(QStringLiteral("KindQuestion-%1-%2.png").arg(QString::fromLatin1(name), code)));
                    question->close();
                }
            });
            fluvena::ui::MakeStandardDialogs()->doubtfulKind(&form, doubts);
        }
        form.Memo2->clear();
    }
    return 0;
}
