#include "ui/Contin.h"

#include "base/Errors.h"
#include "base/MemoText.h"
#include "io/FileIO.h"
#include "results/Export.h"
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
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace fluvena;

namespace {

std::span<const double> RangeOf(const std::vector<double>& v, PointRange r)
{
    if (r.Count() <= 0 || static_cast<std::size_t>(r.last) >= v.size()) return {};
    return std::span<const double>(v).subspan(static_cast<std::size_t>(r.first), static_cast<std::size_t>(r.Count()));
}

}  // namespace

TForm1::TForm1(std::unique_ptr<ui::FileDialogs> dialogs, std::unique_ptr<ui::ErrorDisplay> errors,
               std::filesystem::path helperDir, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)), errors_(std::move(errors)), helperDir_(std::move(helperDir))
{
    setObjectName(QStringLiteral("Form1"));
    // The window was laid out for an 8-point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    resize(924, 632);
    setAcceptDrops(true);
    buildControls();
    buildMenu();
    buildStatusBar();
    retranslateUi();
    for (ui::Page* page : std::initializer_list<ui::Page*>{contin_, discrete_, cumulants_, sample_, set_}) page->retranslate();
    wireEvents();
    FormCreate();
    restoreSettings();
}

TForm1::~TForm1() = default;

void TForm1::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* mainLayout = new QVBoxLayout(central);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);

    ButtonClear = ui::PlaceButton(central, "ButtonClear", QStringLiteral("ButtonClear"), 205, 555, 75, 25);
    ButtonClear->setVisible(false);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setFixedHeight(289);
    mainLayout->addWidget(PageControl1);
    contin_ = new ui::ContinPage(presenter_, *this);
    discrete_ = new ui::DiscretePage(presenter_, *this);
    cumulants_ = new ui::CumulantPage(presenter_, *this);
    sample_ = new ui::SamplePage(presenter_, *this);
    set_ = new ui::SetPage(presenter_, *this, [this](const QString& filter, const QString& name) {
        return dialogs_->saveFileName(this, filter, name);
    });
    setRun_ = std::make_unique<ui::SetRun>(presenter_, helperDir_);
    PageControl1->addTab(contin_, QStringLiteral("Contin"));
    PageControl1->addTab(discrete_, QStringLiteral("Discrete"));
    PageControl1->addTab(cumulants_, QString());
    PageControl1->addTab(sample_, QString());
    PageControl1->addTab(set_, QString());
    PageControl1->setCurrentIndex(1);

    // Lower half: the memos on the left, the data chart on the right.
    auto* lower = new QHBoxLayout;
    lower->setSpacing(0);
    mainLayout->addLayout(lower, 1);
    Panel4 = new QWidget(central);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(393);
    auto* p4 = new QVBoxLayout(Panel4);
    p4->setContentsMargins(0, 0, 0, 0);
    p4->setSpacing(0);
    Memo1 = new QPlainTextEdit(Panel4);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFixedHeight(145);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2 = new QPlainTextEdit(Panel4);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    results_ = std::make_unique<ui::ResultsMemo>(Memo2);
    p4->addWidget(Memo1);
    p4->addWidget(Memo2, 1);
    lower->addWidget(Panel4);

    Panel3 = new QWidget(central);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* p3 = new QVBoxLayout(Panel3);
    p3->setContentsMargins(0, 0, 0, 0);
    p3->setSpacing(0);
    dataChart_ = std::make_unique<ui::DataChart>(Panel3);
    Chart2 = dataChart_->plot();
    // The residuals of a DISCRETE fit are read on the data chart's time scale.
    discrete_->residualChart().FollowScaleOf(*dataChart_);
    const ui::ChartHost host{[this](const QString& filter) { return dialogs_->saveFileName(this, filter, QString()); },
                             [this](const std::function<void()>& action) { guarded(action); }};
    for (ui::Chart* chart : std::initializer_list<ui::Chart*>{&contin_->distributionChart(), dataChart_.get(),
                                                             &discrete_->residualChart(), &set_->chart(), &set_->seriesChart()})
        chart->SetHost(host);
    ButtonZapiszFid = ui::PlaceButton(Chart2, "ButtonZapiszFid", QString(), 0, 0, 75, 25);
    p3->addWidget(Chart2, 1);
    for (QScrollBar** bar : {&ScrollBar1, &ScrollBar2}) {
        *bar = new QScrollBar(Qt::Horizontal, Panel3);
        (*bar)->setObjectName(bar == &ScrollBar1 ? QStringLiteral("ScrollBar1") : QStringLiteral("ScrollBar2"));
        (*bar)->setFixedHeight(16);
        (*bar)->setRange(0, 0);
        (*bar)->setPageStep(0);
        p3->addWidget(*bar);
    }
    lower->addWidget(Panel3, 1);
    // Home reaches its command from the solution spinners too (a spinner
    // would take it as a move to the start of its text).
    for (QSpinBox* spin : {contin_->UpDown1, discrete_->UpDown2}) spin->installEventFilter(this);
}

void TForm1::buildMenu()
{
    auto* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [](QMenu* menu, const char* name, const QList<QKeySequence>& keys = {}) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        return a;
    };
    Plik1 = bar->addMenu(QString());
    Plik1->setObjectName(QStringLiteral("Plik1"));
    Otw1 = action(Plik1, "Otw1", {QKeySequence::Open});
    ActionAddToSet = action(Plik1, "ActionAddToSet", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)});
    ActionRemoveFromSet = action(Plik1, "ActionRemoveFromSet");
    MenuRecent = Plik1->addMenu(QString());
    MenuRecent->setObjectName(QStringLiteral("MenuRecent"));
    ActionPrevFile = action(Plik1, "ActionPrevFile", {QKeySequence(Qt::ALT | Qt::Key_Left)});
    ActionNextFile = action(Plik1, "ActionNextFile", {QKeySequence(Qt::ALT | Qt::Key_Right)});
    Zapisz1 = action(Plik1, "Zapisz1", {QKeySequence::Save});
    Plik1->addSeparator();
    ActionWorkDir = action(Plik1, "ActionWorkDir");
    Plik1->addSeparator();
    Zamknij1 = action(Plik1, "Zamknij1", {QKeySequence(Qt::CTRL | Qt::Key_Q)});

    MenuAnalysis = bar->addMenu(QString());
    MenuAnalysis->setObjectName(QStringLiteral("MenuAnalysis"));
    ActionRun = action(MenuAnalysis, "ActionRun", {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    ActionChosen = action(MenuAnalysis, "ActionChosen", {QKeySequence(Qt::Key_Home)});
    ActionRunAll = action(MenuAnalysis, "ActionRunAll",
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Enter)});

    MenuLanguage = bar->addMenu(QString());
    MenuLanguage->setObjectName(QStringLiteral("MenuLanguage"));
    auto* languages = new QActionGroup(MenuLanguage);
    // Each language is named in its own words.
    ActionPolish = action(MenuLanguage, "ActionPolish");
    ActionPolish->setText(QStringLiteral("Polski"));
    ActionEnglish = action(MenuLanguage, "ActionEnglish");
    ActionEnglish->setText(QStringLiteral("English"));
    for (QAction* a : {ActionPolish, ActionEnglish}) {
        a->setCheckable(true);
        languages->addAction(a);
    }

    Pomoc1 = bar->addAction(QString());
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
    Pomoc1->setShortcut(QKeySequence(Qt::Key_F1));
    recent_ = std::make_unique<ui::RecentFiles>(MenuRecent, [this](const QString& path) { guarded([this, path] { openRecentFile(path); }); });

    // Several measurements opened together: a list to step through in the
    // menu bar's corner, shown only then.
    FileBar = new QWidget(bar);
    FileBar->setObjectName(QStringLiteral("FileBar"));
    auto* fileLayout = new QHBoxLayout(FileBar);
    fileLayout->setContentsMargins(0, 0, 4, 0);
    fileLayout->setSpacing(2);
    ComboFiles = new QComboBox(FileBar);
    ComboFiles->setObjectName(QStringLiteral("ComboFiles"));
    ComboFiles->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (auto [step, arrow] : {std::pair{ActionPrevFile, Qt::LeftArrow}, {ActionNextFile, Qt::RightArrow}}) {
        auto* button = new QToolButton(FileBar);
        button->setDefaultAction(step);
        button->setArrowType(arrow);
        button->setAutoRaise(true);
        fileLayout->addWidget(button);
        if (step == ActionPrevFile) fileLayout->addWidget(ComboFiles);
    }
    bar->setCornerWidget(FileBar, Qt::TopRightCorner);
    FileBar->setVisible(false);
}

void TForm1::buildStatusBar()
{
    StatusSolution = new QLabel(statusBar());
    StatusSolution->setObjectName(QStringLiteral("StatusSolution"));
    ButtonChosen = new QToolButton(statusBar());
    ButtonChosen->setObjectName(QStringLiteral("ButtonChosen"));
    ButtonChosen->setAutoRaise(true);
    StatusWorkDir = new QLabel(statusBar());
    StatusWorkDir->setObjectName(QStringLiteral("StatusWorkDir"));
    // The progress of a run over the set, and its way out.
    ProgressSet = new QProgressBar(statusBar());
    ProgressSet->setObjectName(QStringLiteral("ProgressSet"));
    ProgressSet->setMaximumWidth(160);
    ProgressSet->setFormat(QStringLiteral("%v / %m"));
    ButtonCancelSet = new QToolButton(statusBar());
    ButtonCancelSet->setObjectName(QStringLiteral("ButtonCancelSet"));
    statusBar()->addPermanentWidget(ProgressSet);
    statusBar()->addPermanentWidget(ButtonCancelSet);
    ProgressSet->setVisible(false);
    ButtonCancelSet->setVisible(false);
    statusBar()->addPermanentWidget(StatusSolution);
    statusBar()->addPermanentWidget(ButtonChosen);
    statusBar()->addPermanentWidget(StatusWorkDir);
}

void TForm1::retranslateUi()
{
    setWindowTitle(fileName_.isEmpty() ? tr("Fluvena 0.99 alfa") : tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + fileName_);
    PageControl1->setTabText(PageControl1->indexOf(cumulants_), tr("Kumulanty"));
    PageControl1->setTabText(PageControl1->indexOf(sample_), tr("Próbka"));
    PageControl1->setTabText(PageControl1->indexOf(set_), tr("Zestaw"));
    ActionAddToSet->setText(tr("Dodaj do zestawu"));
    ActionAddToSet->setToolTip(tr("Dodaj pliki danych do otwartego zestawu pomiarów"));
    ActionRemoveFromSet->setText(tr("Usuń pokazany pomiar z zestawu"));
    ActionRunAll->setText(tr("Analizuj wszystkie"));
    ActionRunAll->setToolTip(tr("Analiza tej zakładki z jej ustawieniami na każdym zaznaczonym pomiarze zestawu"));
    ButtonCancelSet->setText(tr("Przerwij"));
    ActionPrevFile->setText(tr("Poprzedni plik"));
    ActionNextFile->setText(tr("Następny plik"));
    ButtonZapiszFid->setText(tr("Zapisz"));
    Plik1->setTitle(tr("Plik"));
    Otw1->setText(tr("Otwórz"));
    Otw1->setToolTip(tr("Otwórz jeden lub kilka plików danych"));
    MenuRecent->setTitle(tr("Ostatnie pliki"));
    Zapisz1->setText(tr("Zapisz"));
    ActionWorkDir->setText(tr("Katalog roboczy…"));
    Zamknij1->setText(tr("Zamknij"));
    MenuAnalysis->setTitle(tr("Analiza"));
    ActionRun->setText(tr("Uruchom analizę tej zakładki"));
    ActionChosen->setText(tr("Pokaż wybrane rozwiązanie"));
    MenuLanguage->setTitle(tr("Język"));
    Pomoc1->setText(tr("Pomoc"));
    ActionPolish->setChecked(ui::CurrentLanguage() == ui::Language::Polish);
    ActionEnglish->setChecked(ui::CurrentLanguage() == ui::Language::English);
    ButtonChosen->setText(tr("Wybrane"));
    ButtonChosen->setToolTip(tr("Pokaż rozwiązanie wybrane przez program (Home)"));
    dataChart_->SetTitle(tr("Rozwiązanie"));
    dataChart_->SetResidualTitle(tr("dane − fit"));
    updateAxisTitles();
    showWorkingDirectory();
    updateSolutionStatus();
}

void TForm1::updateAxisTitles()
{
    const QString time = tr("Czas [%1]").arg(ui::TimeUnitText(measurement().Sample().timeUnit));
    QString correlation;
    switch (measurement().Sample().dataKind) {
    case DataKind::G1: correlation = QStringLiteral("g₁(t)"); break;
    case DataKind::G2Minus1: correlation = QStringLiteral("g₂(t) − 1"); break;
    case DataKind::G2: correlation = QStringLiteral("g₂(t)"); break;
    }
    dataChart_->SetAxisTitles(time, correlation);
    discrete_->residualChart().SetAxisTitles(time, tr("Odchylenie"));
}

ui::Page* TForm1::currentPage() const { return static_cast<ui::Page*>(PageControl1->currentWidget()); }

void TForm1::updateSolutionStatus()
{
    const QString text = currentPage()->solutionStatus();
    StatusSolution->setText(text);
    ButtonChosen->setEnabled(!text.isEmpty());
    ActionChosen->setEnabled(!text.isEmpty());
}

void TForm1::showPageResult()
{
    if (const auto fit = currentPage()->fit())
        dataChart_->ShowFit(std::span<const double>(fit->x).first(fit->drawn), std::span<const double>(fit->y).first(fit->drawn),
                            RangeOf(measurement().Y(), fit->range));
    else dataChart_->ClearFit();
    updateSolutionStatus();
}

void TForm1::wireEvents()
{
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(Otw1, &QAction::triggered, &TForm1::Otw1Click);
    on(Zapisz1, &QAction::triggered, &TForm1::Zapisz1Click);
    on(Zamknij1, &QAction::triggered, &TForm1::Zamknij1Click);
    on(Pomoc1, &QAction::triggered, &TForm1::Pomoc1Click);
    on(ScrollBar1, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
    on(ScrollBar2, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
    on(ButtonClear, &QPushButton::clicked, &TForm1::ButtonClearClick);
    on(contin_->ButtonOKCont, &QPushButton::clicked, &TForm1::ButtonOKContClick);
    on(contin_->ButtonContin, &QPushButton::clicked, &TForm1::ButtonContinClick);
    on(contin_->UpDown1, &QSpinBox::valueChanged, &TForm1::UpDown1Click);
    on(discrete_->ButtonOKDisc, &QPushButton::clicked, &TForm1::ButtonOKDiscClick);
    on(discrete_->ButtonDisc, &QPushButton::clicked, &TForm1::ButtonDiscClick);
    on(discrete_->UpDown2, &QSpinBox::valueChanged, &TForm1::UpDown2Click);
    on(discrete_->CheckBoxDT, &QCheckBox::clicked, &TForm1::CheckBoxDTClick);
    on(discrete_->SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    on(discrete_->ButtonDefault, &QPushButton::clicked, &TForm1::ButtonDefaultClick);
    on(contin_->ButtonZapisz, &QPushButton::clicked, &TForm1::ButtonZapiszClick);
    on(discrete_->ButtonZapiszDisc, &QPushButton::clicked, &TForm1::ButtonZapiszDiscClick);
    on(contin_->ButtonRozklad, &QPushButton::clicked, &TForm1::ButtonRozkladClick);
    on(ButtonZapiszFid, &QPushButton::clicked, &TForm1::ButtonZapiszFidClick);
    on(cumulants_->ButtonCum, &QPushButton::clicked, &TForm1::ButtonCumClick);
    on(cumulants_->ButtonZapiszCum, &QPushButton::clicked, &TForm1::ButtonZapiszCumClick);
    on(cumulants_->CheckBoxFrisken, &QCheckBox::clicked, &TForm1::CheckBoxFriskenClick);
    for (QLineEdit* e : {sample_->EditViscosity, sample_->EditRefractive, sample_->EditWavelength, sample_->EditAngle})
        on(e, &QLineEdit::editingFinished, &TForm1::sampleEdited);
    // A preset's viscosity follows the temperature.
    on(sample_->EditTemperature, &QLineEdit::editingFinished, &TForm1::solventChosen);
    on(sample_->ComboSolvent, &QComboBox::activated, &TForm1::solventChosen);
    for (QComboBox* c : {sample_->ComboDataKind, sample_->ComboBaseline, sample_->ComboTimeUnit})
        on(c, &QComboBox::activated, &TForm1::dataKindChosen);
    for (QComboBox* c : {contin_->ComboDistAxis, contin_->ComboDistWeight})
        connect(c, &QComboBox::activated, this, [this] { guarded([this] { emit presenter_.sampleChanged(); }); });
    connect(ComboFiles, &QComboBox::activated, this, [this](int index) { guarded([this, index] { showFile(index); }); });
    on(ActionPrevFile, &QAction::triggered, &TForm1::showPreviousFile);
    on(ActionNextFile, &QAction::triggered, &TForm1::showNextFile);
    on(ActionWorkDir, &QAction::triggered, &TForm1::chooseWorkingDirectory);
    on(ActionRun, &QAction::triggered, &TForm1::runPageAnalysis);
    on(ActionAddToSet, &QAction::triggered, &TForm1::addToSet);
    on(ActionRemoveFromSet, &QAction::triggered, &TForm1::removeFromSet);
    on(ActionRunAll, &QAction::triggered, &TForm1::analyseAll);
    on(ButtonCancelSet, &QToolButton::clicked, &TForm1::cancelAnalyseAll);
    connect(setRun_.get(), &ui::SetRun::progress, this, [this](int done, int total) {
        ProgressSet->setMaximum(total);
        ProgressSet->setValue(done);
    });
    connect(setRun_.get(), &ui::SetRun::finished, this, &TForm1::setRunEnded);
    connect(&presenter_, &ui::Presenter::setChanged, this, &TForm1::showFileList);
    on(ActionChosen, &QAction::triggered, &TForm1::showChosenSolution);
    on(ButtonChosen, &QToolButton::clicked, &TForm1::showChosenSolution);
    for (auto [action, language] : {std::pair{ActionPolish, ui::Language::Polish}, {ActionEnglish, ui::Language::English}}) {
        connect(action, &QAction::triggered, this, [language] {
            ui::UseLanguage(language);
            QSettings().setValue(QStringLiteral("language"), ui::LanguageCode(language));
        });
    }
    // The page on show decides the lower chart and the status bar.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        guarded([this] {
            currentPage()->activate();
            showPageResult();
        });
    });
    connect(&presenter_, &ui::Presenter::measurementChanged, this, &TForm1::showMeasurement);
    connect(&presenter_, &ui::Presenter::resultChanged, this, &TForm1::showPageResult);
    connect(&presenter_, &ui::Presenter::sampleChanged, this, [this] {
        updateAxisTitles();
        showPageResult();
    });
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        errors_->showError(this, ui::ErrorText(e.what()));
    } catch (...) {
        errors_->showError(this, QString());
    }
    updateSolutionStatus();
}

// ---------------------------------------------------------------- forwards to the pages

void TForm1::ButtonOKContClick() { contin_->ButtonOKContClick(); }
void TForm1::ButtonContinClick() { contin_->ButtonContinClick(); }
void TForm1::UpDown1Click() { contin_->UpDown1Click(); }
void TForm1::ButtonZapiszClick() { contin_->ButtonZapiszClick(); }
void TForm1::ButtonRozkladClick() { contin_->ButtonRozkladClick(); }
void TForm1::ButtonOKDiscClick() { discrete_->ButtonOKDiscClick(); }
void TForm1::ButtonDiscClick() { discrete_->ButtonDiscClick(); }
void TForm1::UpDown2Click() { discrete_->UpDown2Click(); }
void TForm1::CheckBoxDTClick() { discrete_->CheckBoxDTClick(); }
void TForm1::SpeedButton1Click() { discrete_->SpeedButton1Click(); }
void TForm1::ButtonDefaultClick() { discrete_->ButtonDefaultClick(); }
void TForm1::ButtonZapiszDiscClick() { discrete_->ButtonZapiszDiscClick(); }
void TForm1::ButtonCumClick() { cumulants_->ButtonCumClick(); }
void TForm1::ButtonZapiszCumClick() { cumulants_->ButtonZapiszCumClick(); }
void TForm1::CheckBoxFriskenClick() { cumulants_->CheckBoxFriskenClick(); }
void TForm1::sampleEdited() { sample_->sampleEdited(); }
void TForm1::solventChosen() { sample_->solventChosen(); }
void TForm1::dataKindChosen() { sample_->dataKindChosen(); }
void TForm1::runPageAnalysis() { currentPage()->run(); }
void TForm1::showChosenSolution() { currentPage()->showChosen(); }
void TForm1::Zapisz1Click()
{
    const QString name = dialogs_->saveFileName(this, QString(), QString());
    if (!name.isEmpty()) results_->save(name.toStdString());
}

// ---------------------------------------------------------------- what the pages get from the shell

QStatusBar* TForm1::status() { return statusBar(); }
QLabel* TForm1::analysisStatus() { return contin_->Label1; }

void TForm1::recordLog(Analysis analysis, const std::function<LogClick(bool header)>& click, const char* logFile,
                       QLabel* noResultLabel)
{
    results_->record(analysis, click, logFile, noResultLabel, this, statusBar());
}

void TForm1::saveScratch(const std::vector<std::string>& lines, const char* kind)
{
    ui::SetMemoLines(Memo1, lines);
    const QString base = QFileInfo(fileName_).completeBaseName();
    const QString suggested = (base.isEmpty() ? QString() : base + QLatin1Char('-')) + QString::fromLatin1(kind) + QStringLiteral(".txt");
    QString name = dialogs_->saveFileName(this, tr("Tekst (*.txt)") + QStringLiteral(";;") + tr("Wszystkie (*)"), suggested);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += QStringLiteral(".txt");
    WriteFileAtomic(name.toStdString(), FileText(lines));
}

// The fit of the page on show over the range's data, in the data's terms.
void TForm1::ButtonZapiszFidClick()
{
    const auto fit = currentPage()->fit();
    const std::optional<FitCurve> curve =
        fit ? std::optional<FitCurve>(FitCurve{fit->x, fit->y, fit->printed}) : std::nullopt;
    const PointRange r = measurement().Range();
    saveScratch(FitExportTable(RangeOf(measurement().X(), r), RangeOf(measurement().Y(), r), curve ? &*curve : nullptr,
                               ui::DecimalSeparator()),
                "fit");
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Not taken by the spinner: the shortcut map then gives it to "Home".
        if (key->key() == Qt::Key_Home && key->modifiers() == Qt::NoModifier) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
