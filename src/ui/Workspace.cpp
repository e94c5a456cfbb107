// The main window's workspace: the reset, the data files and the
// measurements they hold, the range, the working directory, the settings
// kept between starts, help and closing.
#include "ui/Contin.h"

#include "base/Errors.h"
#include "base/NumberFormat.h"
#include "io/DataReader.h"
#include "io/FileIO.h"
#include "ui/Charts.h"
#include "ui/ContinPage.h"
#include "ui/CumulantPage.h"
#include "ui/DiscretePage.h"
#include "ui/Help.h"
#include "ui/Language.h"
#include "ui/RecentFiles.h"
#include "ui/ResultsMemo.h"
#include "ui/SamplePage.h"
#include "ui/SetPage.h"
#include "ui/SetRun.h"
#include "ui/TextEdges.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

#include <algorithm>

using namespace fluvena;

void TForm1::FormCreate() { ButtonClearClick(); }

void TForm1::ButtonClearClick()
{
    SpeedButton1Click();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        const QSize w = frameGeometry().size();
        move(s.width() / 2 - w.width() / 2, s.height() / 2 - w.height() / 2);
    }
    presenter_.clear();
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    PageControl1->setFixedHeight(static_cast<int>(frameGeometry().height() * 0.5));
    update();
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) retranslateUi();
    QMainWindow::changeEvent(event);
}

void TForm1::Zamknij1Click() { close(); }

// Closing the main window ends the program: the help window goes with it
// (it never keeps the program running on its own). Results in the memo that
// were not saved are asked about first.
void TForm1::closeEvent(QCloseEvent* event)
{
    if (results_->unsaved()) {
        switch (dialogs_->unsavedResults(this)) {
        case ui::UnsavedAnswer::Save:
            guarded([this] { Zapisz1Click(); });
            if (results_->unsaved()) {  // the save was cancelled or failed
                event->ignore();
                return;
            }
            break;
        case ui::UnsavedAnswer::Discard: break;
        case ui::UnsavedAnswer::Cancel: event->ignore(); return;
        }
    }
    // A run over the set stops with the window.
    setRun_->cancel();
    setRun_->wait();
    saveSettings();
    if (Form3) Form3->close();
    event->accept();
}

// ---------------------------------------------------------------- data files

void TForm1::Otw1Click()
{
    ButtonClearClick();
    const QString filter = QStringList{tr("Dane (*.txt *.dat *.csv *.asc)"), tr("ALV (*.asc)"),
                                       tr("Zetasizer (*.txt)"), tr("LS Instruments (*.dat)"), tr("Wszystkie (*)")}
                               .join(QStringLiteral(";;"));
    const QStringList names =
        dialogs_->openFileNames(this, QSettings().value(QStringLiteral("files/lastDirectory")).toString(), filter);
    if (names.isEmpty()) {
        Memo1->clear();
        return;
    }
    loadFiles(names);
}

void TForm1::openRecentFile(const QString& path)
{
    ButtonClearClick();
    // A file that is gone leaves the list; the reading below says why.
    if (!QFileInfo::exists(path)) recent_->remember(path, false);
    loadFiles({path});
}

void TForm1::openCommandLine(const QStringList& arguments)
{
    const QStringList names = arguments.mid(1);
    if (names.isEmpty()) return;
    guarded([this, names] {
        ButtonClearClick();
        loadFiles(names);
    });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    guarded([this, paths] {
        ButtonClearClick();
        loadFiles(paths);
    });
}

std::optional<Outcome<std::vector<io::DataFile>>> TForm1::readData(const QString& name, std::optional<ui::ColumnChoice>& columns)
{
    const std::string bytes = ReadFile(name.toStdString());
    QSettings settings;
    settings.setValue(QStringLiteral("files/lastDirectory"), QFileInfo(name).absolutePath());
    Outcome<std::vector<io::DataFile>> files = io::ReadDataFiles(bytes, io::ReadOptions{});
    if (!files || files->size() != 1 || files->front().format != io::FileFormat::Text || files->front().columnCount <= 2)
        return files;
    // More than two columns: which two, asked once for the files opened
    // together and offered again for the next such file.
    if (!columns) {
        const ui::ColumnChoice last{settings.value(QStringLiteral("files/xColumn"), 1).toInt(),
                                    settings.value(QStringLiteral("files/yColumn"), 2).toInt()};
        columns = dialogs_->chooseColumns(this, name, files->front().columnCount, last);
        if (!columns) return std::nullopt;
        settings.setValue(QStringLiteral("files/xColumn"), columns->x);
        settings.setValue(QStringLiteral("files/yColumn"), columns->y);
    }
    if (columns->x == 1 && columns->y == 2) return files;
    return io::ReadDataFiles(bytes, io::ReadOptions{io::FormatChoice::Text, columns->x, columns->y});
}

// One file is read as the program always read it: a file without data marks
// the labels, a file that cannot be read is a message and leaves the reset
// workspace. Of several files, those that can be read form the list to step
// through (a multi-detector file one entry per detector) and one message
// names the others.
void TForm1::loadFiles(const QStringList& names, bool add)
{
    const bool single = names.size() == 1;
    Memo1->clear();
    std::optional<ui::ColumnChoice> columns;
    std::vector<ui::OpenedMeasurement> opened;
    QStringList failures;
    for (const QString& name : names) {
        std::optional<Outcome<std::vector<io::DataFile>>> files;
        try {
            files = readData(name, columns);
        } catch (const Error& e) {
            if (single) throw;
            failures << ui::ErrorText(e.what());
            continue;
        }
        if (!files) return;  // the column question was cancelled: nothing is opened
        if (single) {
            fileName_ = name;
            setWindowTitle(tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + name);
        }
        if (!*files) {
            if (single && files->failure().pattern == io::kNoData) {
                contin_->markNoData();
                discrete_->markNoData();
                return;
            }
            // Nothing of the file is kept.
            const QString why = tr("Nie można odczytać pliku %1: %2").arg(name, ui::FailureText(files->failure()));
            if (single) throw Error(why.toStdString());
            failures << why;
            continue;
        }
        recent_->remember(QFileInfo(name).absoluteFilePath(), true);
        for (io::DataFile& file : **files) {
            QString shown = QFileInfo(name).fileName();
            if (file.detector) shown += QStringLiteral(" [%1]").arg(*file.detector);
            else if (file.record) shown += QStringLiteral(" [%1]").arg(*file.record);
            opened.push_back(ui::OpenedMeasurement{name, shown, Measurement()});
            opened.back().m.Load(std::move(file), sample_->loadDefaults());
        }
    }
    if (add) presenter_.add(std::move(opened));
    else presenter_.open(std::move(opened));
    if (!failures.isEmpty()) throw Error(failures.join(QLatin1Char('\n')).toStdString());
}

void TForm1::showFile(int index)
{
    if (index != presenter_.current()) presenter_.show(index);
}

void TForm1::showPreviousFile() { showFile(presenter_.current() - 1); }
void TForm1::showNextFile() { showFile(presenter_.current() + 1); }

void TForm1::showMeasurement()
{
    const int current = presenter_.current();
    if (current >= 0) fileName_ = presenter_.path(current);
    setWindowTitle(fileName_.isEmpty() ? tr("Fluvena 0.99 alfa") : tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + fileName_);
    showFileList();

    updateAxisTitles();
    dataChart_->ShowData(measurement().X(), measurement().Y());
    showPageResult();
    // The reset leaves the caption, the scroll bars and the range's markers
    // until the range moves.
    if (current < 0) return;
    const io::DataFile& file = measurement().File();
    if (file.format == io::FileFormat::Alv) statusBar()->showMessage(tr("Plik korelatora: odczytano nagłówek (%1 wierszy)").arg(file.headerLines));
    else if (file.headerLines > 0) statusBar()->showMessage(tr("Pominięto wiersze nagłówka: %1").arg(file.headerLines));
    else statusBar()->clearMessage();
    // Both maxima first, so that no position beyond the points is used.
    const int top = std::max(static_cast<int>(measurement().PointCount()) - 1, 0);
    const PointRange range = measurement().Range();
    settingUpScrollBars_ = true;
    ScrollBar1->setMaximum(top);
    ScrollBar2->setMaximum(top);
    ScrollBar1->setValue(static_cast<int>(range.first));
    ScrollBar2->setValue(static_cast<int>(range.last));
    settingUpScrollBars_ = false;
    ScrollBar1Change();
    // The page on show shows this measurement's result of its analysis.
    currentPage()->activate();
    showPageResult();
}

// The list of the set's measurements in the menu bar, and the steps through it.
void TForm1::showFileList()
{
    const int current = presenter_.current();
    ComboFiles->blockSignals(true);
    ComboFiles->clear();
    for (int k = 0; k < presenter_.count(); ++k) {
        const io::DataFile& file = presenter_.file(k);
        QString item = presenter_.name(k);
        if (file.instrument && file.instrument->angleDeg)
            item += QStringLiteral(" (%1°)").arg(QString::fromStdString(FormatFloat(*file.instrument->angleDeg, Pattern::F2, ui::DecimalSeparator())));
        ComboFiles->addItem(item, presenter_.path(k));
        ComboFiles->setItemData(k, presenter_.path(k), Qt::ToolTipRole);
    }
    ComboFiles->setCurrentIndex(current);
    ComboFiles->blockSignals(false);
    FileBar->setVisible(presenter_.count() > 1);
    ActionPrevFile->setEnabled(current > 0);
    ActionNextFile->setEnabled(current + 1 < presenter_.count());
    ActionRemoveFromSet->setEnabled(current >= 0);
}

void TForm1::ScrollBar1Change()
{
    if (settingUpScrollBars_) return;
    arrows_.clear();
    if (presenter_.setRange(ScrollBar1->value(), ScrollBar2->value())) {
        const PointRange r = measurement().Range();
        for (const std::int64_t i : {r.first, r.last}) {
            const auto k = static_cast<std::size_t>(i);
            arrows_.push_back({measurement().X()[k], 0.0, measurement().X()[k], measurement().Y()[k]});
        }
    }
    dataChart_->ShowArrows(arrows_);
}

// ---------------------------------------------------------------- working directory, settings, help

QString TForm1::workingDirectory() { return QDir::currentPath(); }

// A long path is shortened in the middle; the tool tip holds it whole.
void TForm1::showWorkingDirectory()
{
    const QString dir = QDir::toNativeSeparators(workingDirectory());
    StatusWorkDir->setText(StatusWorkDir->fontMetrics().elidedText(tr("Katalog roboczy: %1").arg(dir), Qt::ElideMiddle, 360));
    StatusWorkDir->setToolTip(dir);
}

void TForm1::chooseWorkingDirectory()
{
    const QString dir = dialogs_->directoryName(this, workingDirectory());
    if (dir.isEmpty()) return;
    if (!QDir::setCurrent(dir)) throw FileError(CannotOpenFile(dir.toStdString()));
    showWorkingDirectory();
}

void TForm1::saveSettings() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    for (const ui::Page* page : std::initializer_list<const ui::Page*>{contin_, discrete_, cumulants_, sample_, set_})
        page->saveSettings(settings);
}

void TForm1::restoreSettings()
{
    const QSettings settings;
    if (settings.contains(QStringLiteral("window/geometry")))
        restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    for (ui::Page* page : std::initializer_list<ui::Page*>{contin_, discrete_, cumulants_, sample_, set_}) page->restoreSettings(settings);
}

void TForm1::Pomoc1Click()
{
    if (!Form3) return;
    Form3->show();
    Form3->raise();
    Form3->activateWindow();
    // The working directory first (as the program always did), then the
    // copy installed beside the program; the English text when the window
    // speaks English, the Polish one when there is no English one.
    const std::filesystem::path installed =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / FLUVENA_DATA_FROM_BIN;
    std::vector<std::filesystem::path> candidates;
    if (ui::CurrentLanguage() == ui::Language::English) candidates = {"Help.txt", installed / "Help.txt"};
    candidates.insert(candidates.end(), {"Pomoc.txt", installed / "Pomoc.txt"});
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [](const std::filesystem::path& p) { return std::filesystem::exists(p); });
    if (found == candidates.end()) throw FileError(CannotOpenFile("Pomoc.txt"));
    Form3->setHelpText(ui::FromCore(ReadFile(*found)));
}
