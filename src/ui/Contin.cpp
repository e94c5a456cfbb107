#include "ui/Contin.h"

#include "base/Convert.h"
#include "base/Errors.h"
#include "base/MemoText.h"
#include "base/NumberFormat.h"
#include "io/Cp1250.h"
#include "io/DataReader.h"
#include "io/FileIO.h"
#include "io/FileLock.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"
#include "results/Export.h"
#include "results/LogFile.h"
#include "results/ResultsLog.h"
#include "ui/Charts.h"
#include "ui/Help.h"
#include "ui/Language.h"
#include "ui/RunDialog.h"
#include "ui/Tables.h"
#include "ui/Widgets.h"

#include <qcustomplot.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <ctime>

using namespace fluvena;

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
    QString saveFileName(QWidget* parent, const QString& filter) override
    {
        const QString name = QFileDialog::getSaveFileName(parent, QString(), lastSaved_, filter);
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

std::unique_ptr<FileDialogs> MakeStandardDialogs() { return std::make_unique<StandardDialogs>(); }
std::unique_ptr<ErrorDisplay> MakeMessageBoxDisplay() { return std::make_unique<MessageBoxDisplay>(); }

}  // namespace fluvena::ui

namespace {

const int kRecentFiles = 8;

using ui::GridNumber;
using ui::MakeGrid;
using ui::Place;
using ui::PlaceButton;
using ui::PlaceCheck;
using ui::PlaceEdit;
using ui::PlaceLabel;
using ui::PlaceUpDown;
using ui::SetCell;

// Row captions of the CONTIN peak table.
const char* const kPeakCaptions[] = {
    QT_TRANSLATE_NOOP("TForm1", "Intensywnosc"), QT_TRANSLATE_NOOP("TForm1", "Błąd % int"),
    QT_TRANSLATE_NOOP("TForm1", "Polozenie"),    QT_TRANSLATE_NOOP("TForm1", "Błąd % pol"),
    QT_TRANSLATE_NOOP("TForm1", "Szerokosc"),
};

std::span<const double> RangeOf(const std::vector<double>& v, PointRange r)
{
    if (r.Count() <= 0 || static_cast<std::size_t>(r.last) >= v.size()) return {};
    return std::span<const double>(v).subspan(static_cast<std::size_t>(r.first), static_cast<std::size_t>(r.Count()));
}

}  // namespace

TForm1::TForm1(std::unique_ptr<fluvena::ui::FileDialogs> dialogs, std::unique_ptr<fluvena::ui::ErrorDisplay> errors,
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

    ButtonClear = PlaceButton(central, "ButtonClear", QStringLiteral("ButtonClear"), 205, 555, 75, 25);
    ButtonClear->setVisible(false);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setFixedHeight(289);
    mainLayout->addWidget(PageControl1);

    // Page "Contin".
    TabSheetCont = new QWidget;
    TabSheetCont->setObjectName(QStringLiteral("TabSheetCont"));
    auto* contLayout = new QHBoxLayout(TabSheetCont);
    contLayout->setContentsMargins(0, 0, 0, 0);
    Panel2 = new QWidget(TabSheetCont);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedWidth(385);
    auto* p2 = new QVBoxLayout(Panel2);
    p2->setContentsMargins(0, 0, 0, 0);
    GroupBox1 = new QGroupBox(Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(113);
    p2->addWidget(GroupBox1);
    Label2 = PlaceLabel(GroupBox1, "Label2", QString(), 8, 24);
    // A number shown to the user carries the locale's decimal separator, so the
    // default grid bound converts on a system that writes 0,1 as well.
    Edit1 = PlaceEdit(GroupBox1, "Edit1", QStringLiteral("0") + QChar::fromLatin1(decimalSeparator()) + QStringLiteral("1"), 64, 16,
                      65, 21);
    Label3 = PlaceLabel(GroupBox1, "Label3", QString(), 136, 24);
    Edit2 = PlaceEdit(GroupBox1, "Edit2", QStringLiteral("1000"), 160, 16, 65, 21);
    Label11 = PlaceLabel(GroupBox1, "Label11", QStringLiteral("NG"), 8, 48);
    Edit3 = PlaceEdit(GroupBox1, "Edit3", QStringLiteral("100"), 32, 40, 65, 21);
    LabelPunktow = PlaceLabel(GroupBox1, "LabelPunktow", QString(), 104, 48);
    CheckBoxSignal = PlaceCheck(GroupBox1, "CheckBoxSignal", QString(), false, 158, 46);
    Label1 = PlaceLabel(GroupBox1, "Label1", QStringLiteral("Label1"), 250, 48);
    Label1->setMinimumWidth(40);
    Edit7 = PlaceEdit(GroupBox1, "Edit7", QStringLiteral("Temp"), 32, 64, 65, 21);
    Edit8 = PlaceEdit(GroupBox1, "Edit8", QStringLiteral("1"), 104, 64, 49, 21);
    CheckBox10 = PlaceCheck(GroupBox1, "CheckBox10", QStringLiteral("1000/T"), false, 160, 64);
    Label4 = PlaceLabel(GroupBox1, "Label4", QString(), 32, 88);
    Label12 = PlaceLabel(GroupBox1, "Label12", QStringLiteral("Label12"), 152, 88);
    LabelBeta1 = PlaceLabel(GroupBox1, "LabelBeta1", QString(), 200, 88);
    ButtonOKCont = PlaceButton(GroupBox1, "ButtonOKCont", QStringLiteral("OK"), 296, 12, 65, 25);
    ButtonOKCont->setVisible(false);
    ButtonContin = PlaceButton(GroupBox1, "ButtonContin", QStringLiteral("Contin"), 296, 12, 81, 25);
    UpDown1 = PlaceUpDown(GroupBox1, "UpDown1", 329, 38);
    ButtonZapisz = PlaceButton(GroupBox1, "ButtonZapisz", QString(), 296, 76, 81, 25);
    // The peak table's rows, then those of the sizes each peak stands for.
    StringGrid1 = MakeGrid(Panel2, "StringGrid1", 6, 10);
    StringGrid1->setMinimumHeight(152);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CopyGrid1 = ui::AddCopyAction(StringGrid1);
    p2->addWidget(StringGrid1, 1);
    contLayout->addWidget(Panel2);
    distributionChart_ = std::make_unique<ui::DistributionChart>(TabSheetCont);
    Chart1 = distributionChart_->plot();
    SeriesRozklad = distributionChart_->distribution;
    contLayout->addWidget(Chart1, 1);
    ButtonRozklad = PlaceButton(Chart1, "ButtonRozklad", QString(), 0, 0, 75, 25);
    // The distribution's axis and weighting, in the chart's top right corner.
    auto* choice = new QWidget(Chart1);
    choice->setObjectName(QStringLiteral("DistChoice"));
    auto* choiceLayout = new QHBoxLayout(choice);
    choiceLayout->setContentsMargins(0, 0, 0, 0);
    ComboDistAxis = new QComboBox(choice);
    ComboDistAxis->setObjectName(QStringLiteral("ComboDistAxis"));
    ComboDistWeight = new QComboBox(choice);
    ComboDistWeight->setObjectName(QStringLiteral("ComboDistWeight"));
    for (QComboBox* c : {ComboDistAxis, ComboDistWeight}) {
        c->addItems({QString(), QString()});
        choiceLayout->addWidget(c);
    }
    ui::KeepAtTopRight(choice);

    // Page "Discrete".
    TabSheetDisc = new QWidget;
    TabSheetDisc->setObjectName(QStringLiteral("TabSheetDisc"));
    auto* discLayout = new QHBoxLayout(TabSheetDisc);
    discLayout->setContentsMargins(0, 0, 0, 0);
    discLayout->setSpacing(0);
    Panel1 = new QWidget(TabSheetDisc);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedWidth(385);
    auto* p1 = new QVBoxLayout(Panel1);
    p1->setContentsMargins(0, 0, 0, 0);
    GroupBox3 = new QGroupBox(Panel1);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setFixedHeight(121);
    p1->addWidget(GroupBox3);
    Edit4 = PlaceEdit(GroupBox3, "Edit4", QStringLiteral("6"), 8, 16, 25, 21);
    Label7 = PlaceLabel(GroupBox3, "Label7", QString(), 38, 18);
    Edit6 = PlaceEdit(GroupBox3, "Edit6", QStringLiteral("5"), 8, 40, 25, 21);
    Label9 = PlaceLabel(GroupBox3, "Label9", QString(), 40, 42);
    Edit9 = PlaceEdit(GroupBox3, "Edit9", QStringLiteral("Temp"), 8, 64, 65, 21);
    Edit10 = PlaceEdit(GroupBox3, "Edit10", QStringLiteral("1"), 80, 64, 57, 21);
    CheckBox11 = PlaceCheck(GroupBox3, "CheckBox11", QStringLiteral("1000/T"), false, 152, 64);
    CheckBoxDT = PlaceCheck(GroupBox3, "CheckBoxDT", QStringLiteral("D/T"), false, 8, 94);
    SpeedButton1 = Place<QToolButton>(GroupBox3, "SpeedButton1", 64, 90, 89, 25);
    SpeedButton1->setCheckable(true);
    SpeedButton1->setChecked(false);
    ButtonOKDisc = PlaceButton(GroupBox3, "ButtonOKDisc", QStringLiteral("OK"), 128, 88, 25, 25);
    ButtonOKDisc->setVisible(false);
    Label10 = PlaceLabel(GroupBox3, "Label10", QStringLiteral("Label10"), 160, 96);
    Label5 = PlaceLabel(GroupBox3, "Label5", QStringLiteral("PUNC="), 216, 96);
    LabelBeta2 = PlaceLabel(GroupBox3, "LabelBeta2", QString(), 216, 72);
    Label6 = PlaceLabel(GroupBox3, "Label6", QStringLiteral("Label6"), 264, 52);
    Label6->setMinimumWidth(24);
    ButtonDisc = PlaceButton(GroupBox3, "ButtonDisc", QStringLiteral("Discrete"), 296, 16, 81, 25);
    UpDown2 = PlaceUpDown(GroupBox3, "UpDown2", 329, 42);
    ButtonZapiszDisc = PlaceButton(GroupBox3, "ButtonZapiszDisc", QString(), 296, 80, 81, 25);
    // The component table's rows, then those of the sizes.
    StringGrid2 = MakeGrid(Panel1, "StringGrid2", 6, 9);
    StringGrid2->setMinimumHeight(128);
    StringGrid2->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CopyGrid2 = ui::AddCopyAction(StringGrid2);
    p1->addWidget(StringGrid2, 1);
    discLayout->addWidget(Panel1);

    GroupBox2 = new QGroupBox(TabSheetDisc);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setFixedWidth(108);
    const char* names[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                           "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"};
    const char* captions[] = {"LAST", "REGINT", "NOBASE", "NONEG", "PRY", "PRPREL", "PRFINL", "PLOTRS", "REPEAR"};
    QCheckBox** boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5,
                           &CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9};
    for (int k = 0; k < 9; ++k) {
        *boxes[k] = PlaceCheck(GroupBox2, names[k], QString::fromLatin1(captions[k]),
                               kDefaultSwitches[static_cast<std::size_t>(k)], 8, 16 + 16 * k);
        (*boxes[k])->setEnabled(false);
    }
    Edit5 = PlaceEdit(GroupBox2, "Edit5", QStringLiteral("2"), 8, 168, 25, 21);
    Edit5->setEnabled(false);
    Label8 = PlaceLabel(GroupBox2, "Label8", QString(), 40, 172);
    Label8->setEnabled(false);
    ButtonDefault = PlaceButton(GroupBox2, "ButtonDefault", QString(), 8, 200, 89, 25);
    discLayout->addWidget(GroupBox2);

    residualChart_ = std::make_unique<ui::ResidualChart>(TabSheetDisc);
    Chart3 = residualChart_->plot();
    SeriesRezidua = residualChart_->residuals;
    SeriesZero = residualChart_->zero;
    discLayout->addWidget(Chart3, 1);

    buildCumulantPage();
    buildSamplePage();
    PageControl1->addTab(TabSheetCont, QStringLiteral("Contin"));
    PageControl1->addTab(TabSheetDisc, QStringLiteral("Discrete"));
    PageControl1->addTab(TabSheetCum, QString());
    PageControl1->addTab(TabSheetSample, QString());
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
    SeriesWejscie = dataChart_->data;
    SeriesFid = dataChart_->fit;
    SeriesFitResiduals = dataChart_->residuals;
    // The residuals of a DISCRETE fit are read on the data chart's time scale.
    residualChart_->FollowScaleOf(*dataChart_);
    const ui::ChartHost host{[this](const QString& filter) { return dialogs_->saveFileName(this, filter); },
                             [this](const std::function<void()>& action) { guarded(action); }};
    for (ui::Chart* chart : std::initializer_list<ui::Chart*>{distributionChart_.get(), dataChart_.get(), residualChart_.get()})
        chart->SetHost(host);
    ButtonZapiszFid = PlaceButton(Chart2, "ButtonZapiszFid", QString(), 0, 0, 75, 25);
    p3->addWidget(Chart2, 1);
    ScrollBar1 = new QScrollBar(Qt::Horizontal, Panel3);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setFixedHeight(16);
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setPageStep(0);
    ScrollBar2 = new QScrollBar(Qt::Horizontal, Panel3);
    ScrollBar2->setObjectName(QStringLiteral("ScrollBar2"));
    ScrollBar2->setFixedHeight(16);
    ScrollBar2->setRange(0, 0);
    ScrollBar2->setPageStep(0);
    p3->addWidget(ScrollBar1);
    p3->addWidget(ScrollBar2);
    lower->addWidget(Panel3, 1);
}

void TForm1::buildMenu()
{
    auto* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](QMenu* menu, const char* name, const QList<QKeySequence>& keys = {}) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        return a;
    };
    Plik1 = bar->addMenu(QString());
    Plik1->setObjectName(QStringLiteral("Plik1"));
    Otw1 = action(Plik1, "Otw1", {QKeySequence::Open});
    MenuRecent = Plik1->addMenu(QString());
    MenuRecent->setObjectName(QStringLiteral("MenuRecent"));
    ActionPrevFile = action(Plik1, "ActionPrevFile", {QKeySequence(Qt::ALT | Qt::Key_Left)});
    ActionNextFile = action(Plik1, "ActionNextFile", {QKeySequence(Qt::ALT | Qt::Key_Right)});
    Zapisz1 = action(Plik1, "Zapisz1", {QKeySequence::Save});
    Plik1->addSeparator();
    ActionWorkDir = action(Plik1, "ActionWorkDir");
    Plik1->addSeparator();
    Zamknij1 = action(Plik1, "Zamknij1", {QKeySequence(Qt::CTRL | Qt::Key_Q)});

    QMenu* analysis = bar->addMenu(QString());
    analysis->setObjectName(QStringLiteral("MenuAnalysis"));
    ActionRun = action(analysis, "ActionRun",
                       {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    ActionChosen = action(analysis, "ActionChosen", {QKeySequence(Qt::Key_Home)});

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
    rebuildRecentMenu();

    // Several files opened together: a list to step through in the menu
    // bar's corner, shown only then.
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
    statusBar()->addPermanentWidget(StatusSolution);
    statusBar()->addPermanentWidget(ButtonChosen);
    statusBar()->addPermanentWidget(StatusWorkDir);
}

void TForm1::retranslateUi()
{
    setWindowTitle(fileName_.isEmpty() ? tr("Fluvena 0.99 alfa") : tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + fileName_);
    GroupBox1->setTitle(tr("Dane wejściowe"));
    GroupBox3->setTitle(tr("Dane wejściowe"));
    GroupBox2->setTitle(tr("Zaawansowane"));
    const std::pair<QLabel*, QString> labels[] = {
        {Label2, tr("Siatka Od:")},
        {Label3, tr("Do:")},
        {LabelPunktow, tr("Punktów")},
        {Label7, tr("Maksymalna ilosc składowych (1-9) ")},
        {Label9, tr("Maksymalna ilosc prób (5-15)")},
        {Label8, tr("Waga")},
    };
    for (const auto& [label, text] : labels) {
        label->setText(text);
        label->adjustSize();
    }
    if (m_.OnShow() != Analysis::Contin) Label4->setText(tr("Probe1="));
    Label4->adjustSize();
    for (QPushButton* b : {ButtonZapisz, ButtonZapiszDisc, ButtonZapiszCum}) b->setText(tr("Zapamiętaj"));
    CheckBoxSignal->setText(tr("Reg. sygn."));
    CheckBoxSignal->adjustSize();
    CheckBoxSignal->setToolTip(tr("Regularyzator, który waży drugie różnice sygnałem wnoszonym do danych przez każdy "
                                  "punkt siatki, zamiast klasycznego. Program contin.exe innego pochodzenia odrzuci taką kartę."));
    ComboDistAxis->setItemText(0, tr("czas zaniku"));
    ComboDistAxis->setItemText(1, tr("promień R_h"));
    ComboDistWeight->setItemText(0, tr("jak obliczono"));
    ComboDistWeight->setItemText(1, tr("na ln τ"));
    PageControl1->setTabText(PageControl1->indexOf(TabSheetCum), tr("Kumulanty"));
    GroupBoxCum->setTitle(tr("Dane wejściowe"));
    ButtonCum->setText(tr("Kumulanty"));
    cumulantChart_->SetTitle(tr("Dopasowanie kumulantów"));
    ActionPrevFile->setText(tr("Poprzedni plik"));
    ActionNextFile->setText(tr("Następny plik"));
    for (QPushButton* b : {ButtonRozklad, ButtonZapiszFid}) b->setText(tr("Zapisz"));
    ButtonDefault->setText(tr("Domyślne"));
    SpeedButton1->setText(tr("Zaawansowane"));

    Plik1->setTitle(tr("Plik"));
    Otw1->setText(tr("Otwórz"));
    Otw1->setToolTip(tr("Otwórz jeden lub kilka plików danych"));
    MenuRecent->setTitle(tr("Ostatnie pliki"));
    Zapisz1->setText(tr("Zapisz"));
    ActionWorkDir->setText(tr("Katalog roboczy…"));
    Zamknij1->setText(tr("Zamknij"));
    findChild<QMenu*>(QStringLiteral("MenuAnalysis"))->setTitle(tr("Analiza"));
    ActionRun->setText(tr("Uruchom analizę tej zakładki"));
    ActionChosen->setText(tr("Pokaż wybrane rozwiązanie"));
    MenuLanguage->setTitle(tr("Język"));
    Pomoc1->setText(tr("Pomoc"));
    ActionPolish->setChecked(ui::CurrentLanguage() == ui::Language::Polish);
    ActionEnglish->setChecked(ui::CurrentLanguage() == ui::Language::English);
    ButtonChosen->setText(tr("Wybrane"));
    ButtonChosen->setToolTip(tr("Pokaż rozwiązanie wybrane przez program (Home)"));
    for (QAction* copy : {CopyGrid1, CopyGrid2}) copy->setText(tr("Kopiuj"));

    distributionChart_->SetTitle(tr("Rozkład"));
    dataChart_->SetTitle(tr("Rozwiązanie"));
    residualChart_->SetTitle(tr("Odchylenia"));
    dataChart_->SetResidualTitle(tr("dane − fit"));
    retranslateAddedPages();
    updateAxisTitles();
    showWorkingDirectory();
    showCountRate();
    showCumulants();
    // The tables' captions of the solution on show.
    if (m_.OnShow() == Analysis::Contin) UpDown1Click();
    else if (m_.OnShow() == Analysis::Discrete) UpDown2Click();
    updateSolutionStatus();
}

void TForm1::updateAxisTitles()
{
    const QString unit = ui::TimeUnitText(m_.Sample().timeUnit);
    const QString time = tr("Czas [%1]").arg(unit);
    QString correlation;
    switch (m_.Sample().dataKind) {
    case DataKind::G1: correlation = QStringLiteral("g₁(t)"); break;
    case DataKind::G2Minus1: correlation = QStringLiteral("g₂(t) − 1"); break;
    case DataKind::G2: correlation = QStringLiteral("g₂(t)"); break;
    }
    const bool radius = ComboDistAxis->currentIndex() == 1;
    const bool perLn = ComboDistWeight->currentIndex() == 1;
    distributionChart_->SetAxisTitles(radius ? tr("Promień hydrodynamiczny R_h [nm]") : tr("Czas zaniku [%1]").arg(unit),
                                      !perLn  ? tr("Intensywność G(τ)")
                                      : radius ? tr("Intensywność τ·G(τ) (na ln R_h)")
                                               : tr("Intensywność τ·G(τ) (na ln τ)"));
    dataChart_->SetAxisTitles(time, correlation);
    residualChart_->SetAxisTitles(time, tr("Odchylenie"));
}

void TForm1::updateSolutionStatus()
{
    QString text;
    if (m_.OnShow() == Analysis::Contin && m_.Contin())
        text = tr("CONTIN: rozwiązanie %1 z %2, wybrane: %3")
                   .arg(m_.ShownIndex())
                   .arg(m_.Contin()->solutions.size())
                   .arg(m_.Contin()->chosen);
    else if (m_.OnShow() == Analysis::Discrete && m_.Discrete())
        text = tr("DISCRETE: rozwiązanie %1 z %2, wybrane: %3").arg(m_.ShownIndex()).arg(m_.Discrete()->solutions.size()).arg(0);
    StatusSolution->setText(text);
    ButtonChosen->setEnabled(!text.isEmpty());
    ActionChosen->setEnabled(!text.isEmpty());
}

void TForm1::wireEvents()
{
    auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(Otw1, &QAction::triggered, &TForm1::Otw1Click);
    on(Zapisz1, &QAction::triggered, &TForm1::Zapisz1Click);
    on(Zamknij1, &QAction::triggered, &TForm1::Zamknij1Click);
    on(Pomoc1, &QAction::triggered, &TForm1::Pomoc1Click);
    on(ScrollBar1, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
    on(ScrollBar2, &QScrollBar::valueChanged, &TForm1::ScrollBar1Change);
    on(ButtonClear, &QPushButton::clicked, &TForm1::ButtonClearClick);
    on(ButtonOKCont, &QPushButton::clicked, &TForm1::ButtonOKContClick);
    on(ButtonContin, &QPushButton::clicked, &TForm1::ButtonContinClick);
    on(UpDown1, &QSpinBox::valueChanged, &TForm1::UpDown1Click);
    on(ButtonOKDisc, &QPushButton::clicked, &TForm1::ButtonOKDiscClick);
    on(ButtonDisc, &QPushButton::clicked, &TForm1::ButtonDiscClick);
    on(UpDown2, &QSpinBox::valueChanged, &TForm1::UpDown2Click);
    on(CheckBoxDT, &QCheckBox::clicked, &TForm1::CheckBoxDTClick);
    on(SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    on(ButtonDefault, &QPushButton::clicked, &TForm1::ButtonDefaultClick);
    on(ButtonZapisz, &QPushButton::clicked, &TForm1::ButtonZapiszClick);
    on(ButtonZapiszDisc, &QPushButton::clicked, &TForm1::ButtonZapiszDiscClick);
    on(ButtonRozklad, &QPushButton::clicked, &TForm1::ButtonRozkladClick);
    on(ButtonZapiszFid, &QPushButton::clicked, &TForm1::ButtonZapiszFidClick);
    on(ButtonCum, &QPushButton::clicked, &TForm1::ButtonCumClick);
    on(ButtonZapiszCum, &QPushButton::clicked, &TForm1::ButtonZapiszCumClick);
    on(CheckBoxFrisken, &QCheckBox::clicked, &TForm1::CheckBoxFriskenClick);
    for (QLineEdit* e : {EditViscosity, EditRefractive, EditWavelength, EditAngle})
        on(e, &QLineEdit::editingFinished, &TForm1::sampleEdited);
    // A preset's viscosity follows the temperature.
    on(EditTemperature, &QLineEdit::editingFinished, &TForm1::solventChosen);
    on(ComboSolvent, &QComboBox::activated, &TForm1::solventChosen);
    for (QComboBox* c : {ComboDataKind, ComboBaseline, ComboTimeUnit}) on(c, &QComboBox::activated, &TForm1::dataKindChosen);
    for (QComboBox* c : {ComboDistAxis, ComboDistWeight}) on(c, &QComboBox::activated, &TForm1::distributionChoiceChanged);
    connect(ComboFiles, &QComboBox::activated, this, [this](int index) { guarded([this, index] { showFile(index); }); });
    on(ActionPrevFile, &QAction::triggered, &TForm1::showPreviousFile);
    on(ActionNextFile, &QAction::triggered, &TForm1::showNextFile);
    on(ActionWorkDir, &QAction::triggered, &TForm1::chooseWorkingDirectory);
    on(ActionRun, &QAction::triggered, &TForm1::runPageAnalysis);
    on(ActionChosen, &QAction::triggered, &TForm1::showChosenSolution);
    on(ButtonChosen, &QToolButton::clicked, &TForm1::showChosenSolution);
    for (auto [action, language] : {std::pair{ActionPolish, ui::Language::Polish}, {ActionEnglish, ui::Language::English}}) {
        connect(action, &QAction::triggered, this, [language] {
            ui::UseLanguage(language);
            QSettings().setValue(QStringLiteral("language"), ui::LanguageCode(language));
        });
    }
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        errors_->showError(this, QString::fromUtf8(e.what()));
    } catch (...) {
        errors_->showError(this, QString());
    }
    updateSolutionStatus();
}

// ---------------------------------------------------------------- text edges

QString TForm1::fromCore(const std::string& bytes) { return QString::fromUtf8(Cp1250ToUtf8(bytes)); }

std::string TForm1::toCore(const QString& text) { return Utf8ToCp1250(text.toUtf8().toStdString()); }

char TForm1::decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80) return static_cast<char>(point.at(0).unicode());
    return '.';
}

std::vector<std::string> TForm1::memoLines(QPlainTextEdit* memo) const
{
    return SplitLines(toCore(memo->toPlainText()));
}

void TForm1::setMemoLines(QPlainTextEdit* memo, const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k) text += '\n';
        text += lines[k];
    }
    memo->setPlainText(fromCore(text));
}

int TForm1::memoLineCount(QPlainTextEdit* memo) const { return static_cast<int>(memoLines(memo).size()); }

void TForm1::setLabelColour(QLabel* label, bool red)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, red ? QColor(Qt::red) : palette().color(QPalette::Button));
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

// ---------------------------------------------------------------- start-up, reset, resize

void TForm1::FormCreate() { ButtonClearClick(); }

void TForm1::ButtonClearClick()
{
    SpeedButton1Click();
    Label10->setText(QStringLiteral(" "));
    Label6->setText(QStringLiteral(" "));
    Label1->setText(QStringLiteral(" "));
    Label12->setText(QStringLiteral(" "));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        const QSize w = frameGeometry().size();
        move(s.width() / 2 - w.width() / 2, s.height() / 2 - w.height() / 2);
    }
    m_.Clear();
    files_.clear();
    current_ = -1;
    ComboFiles->clear();
    FileBar->setVisible(false);
    LabelCum->setText(QStringLiteral(" "));
    showBeta(LabelBeta1, std::nullopt);
    showBeta(LabelBeta2, std::nullopt);
    dataChart_->ClearFit();
    dataChart_->ShowData({}, {});
    distributionChart_->Clear();
    showCumulants();
    showCountRate();
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

void TForm1::Zamknij1Click() { close(); }

// Closing the main window ends the program: the help window goes with it
// (it never keeps the program running on its own). Results in the memo that
// were not saved are asked about first.
void TForm1::closeEvent(QCloseEvent* event)
{
    if (resultsUnsaved()) {
        switch (dialogs_->unsavedResults(this)) {
        case ui::UnsavedAnswer::Save:
            guarded([this] { Zapisz1Click(); });
            if (resultsUnsaved()) {  // the save was cancelled or failed
                event->ignore();
                return;
            }
            break;
        case ui::UnsavedAnswer::Discard: break;
        case ui::UnsavedAnswer::Cancel: event->ignore(); return;
        }
    }
    saveSettings();
    if (Form3) Form3->close();
    event->accept();
}

// The results memo counts as saved when "Zapisz" wrote exactly its text. The
// log files tempCont.txt, tempDisc.txt and tempCum.txt do not count: the next
// session's first "Zapamiętaj" replaces them (keeping the old file under a
// dated name).
bool TForm1::resultsUnsaved() const
{
    const QString text = Memo2->toPlainText();
    return !text.trimmed().isEmpty() && text != savedMemo2_;
}

void TForm1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) retranslateUi();
    QMainWindow::changeEvent(event);
}

// ---------------------------------------------------------------- data file and range

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
    if (!QFileInfo::exists(path)) rememberRecent(path, false);
    loadFile(path);
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

void TForm1::loadFile(const QString& name) { loadFiles({name}); }

std::optional<Outcome<io::DataFile>> TForm1::readData(const QString& name, std::optional<ui::ColumnChoice>& columns)
{
    const std::string bytes = ReadFile(name.toStdString());
    QSettings settings;
    settings.setValue(QStringLiteral("files/lastDirectory"), QFileInfo(name).absolutePath());
    Outcome<io::DataFile> file = io::ReadDataFile(bytes, io::ReadOptions{});
    if (!file || file->format != io::FileFormat::Text || file->columnCount <= 2) return file;
    // More than two columns: which two, asked once for the files opened
    // together and offered again for the next such file.
    if (!columns) {
        const ui::ColumnChoice last{settings.value(QStringLiteral("files/xColumn"), 1).toInt(),
                                    settings.value(QStringLiteral("files/yColumn"), 2).toInt()};
        columns = dialogs_->chooseColumns(this, name, file->columnCount, last);
        if (!columns) return std::nullopt;
        settings.setValue(QStringLiteral("files/xColumn"), columns->x);
        settings.setValue(QStringLiteral("files/yColumn"), columns->y);
    }
    if (columns->x == 1 && columns->y == 2) return file;
    return io::ReadDataFile(bytes, io::ReadOptions{io::FormatChoice::Text, columns->x, columns->y});
}

// One file is read as the program always read it: a file without data marks
// the labels, a file that cannot be read is a message and leaves the reset
// workspace. Of several files, those that can be read form the list to step
// through and one message names the others.
void TForm1::loadFiles(const QStringList& names)
{
    const bool single = names.size() == 1;
    Memo1->clear();
    std::optional<ui::ColumnChoice> columns;
    std::vector<OpenFile> opened;
    QStringList failures;
    for (const QString& name : names) {
        std::optional<Outcome<io::DataFile>> file;
        try {
            file = readData(name, columns);
        } catch (const Error& e) {
            if (single) throw;
            failures << QString::fromUtf8(e.what());
            continue;
        }
        if (!file) return;  // the column question was cancelled: nothing is opened
        if (single) {
            fileName_ = name;
            setWindowTitle(tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + name);
        }
        if (!*file) {
            if (single && file->failure().pattern == io::kNoData) {
                Label1->setText(tr("BLAD"));
                Label12->setText(tr("BŁĄD"));
                Label10->setText(tr("BŁĄD"));
                return;
            }
            // Nothing of the file is kept.
            const QString why = tr("Nie można odczytać pliku %1: %2").arg(name, ui::FailureText(file->failure()));
            if (single) throw Error(why.toStdString());
            failures << why;
            continue;
        }
        rememberRecent(QFileInfo(name).absoluteFilePath(), true);
        opened.push_back(OpenFile{name, Measurement()});
        opened.back().m.Load(std::move(**file), loadDefaults());
    }
    if (!opened.empty()) {
        files_ = std::move(opened);
        current_ = 0;
        m_ = std::move(files_[0].m);
        showMeasurement();
    }
    if (!failures.isEmpty()) throw Error(failures.join(QLatin1Char('\n')).toStdString());
}

void TForm1::showFile(int index)
{
    if (index < 0 || index >= fileCount() || index == current_) return;
    files_[static_cast<std::size_t>(current_)].m = std::move(m_);
    m_ = std::move(files_[static_cast<std::size_t>(index)].m);
    current_ = index;
    showMeasurement();
}

void TForm1::showPreviousFile() { showFile(current_ - 1); }
void TForm1::showNextFile() { showFile(current_ + 1); }

void TForm1::showMeasurement()
{
    fileName_ = current_ >= 0 ? files_[static_cast<std::size_t>(current_)].path : QString();
    setWindowTitle(fileName_.isEmpty() ? tr("Fluvena 0.99 alfa") : tr("Fluvena 0.99 alfa") + QStringLiteral(" - ") + fileName_);
    ComboFiles->blockSignals(true);
    ComboFiles->clear();
    for (const OpenFile& f : files_) {
        const io::DataFile& file = &f == &files_[static_cast<std::size_t>(current_)] ? m_.File() : f.m.File();
        QString item = QFileInfo(f.path).fileName();
        if (file.instrument && file.instrument->angleDeg)
            item += QStringLiteral(" (%1°)").arg(QString::fromStdString(FormatFloat(*file.instrument->angleDeg, Pattern::F2, decimalSeparator())));
        ComboFiles->addItem(item, f.path);
        ComboFiles->setItemData(ComboFiles->count() - 1, f.path, Qt::ToolTipRole);
    }
    ComboFiles->setCurrentIndex(current_);
    ComboFiles->blockSignals(false);
    FileBar->setVisible(fileCount() > 1);
    ActionPrevFile->setEnabled(current_ > 0);
    ActionNextFile->setEnabled(current_ + 1 < fileCount());

    showSample();
    const io::DataFile& file = m_.File();
    if (file.format == io::FileFormat::Alv) statusBar()->showMessage(tr("Plik korelatora: odczytano nagłówek (%1 wierszy)").arg(file.headerLines));
    else if (file.headerLines > 0) statusBar()->showMessage(tr("Pominięto wiersze nagłówka: %1").arg(file.headerLines));
    else statusBar()->clearMessage();
    PlotData();
    // Both maxima first, so that no position beyond the points is used.
    const int top = static_cast<int>(m_.PointCount()) - 1;
    const PointRange range = m_.Range();
    settingUpScrollBars_ = true;
    ScrollBar1->setMaximum(top);
    ScrollBar2->setMaximum(top);
    ScrollBar1->setValue(static_cast<int>(range.first));
    ScrollBar2->setValue(static_cast<int>(range.last));
    settingUpScrollBars_ = false;
    ScrollBar1Change();
    showCountRate();

    // The results of this measurement on every page, none of another's.
    for (QLabel* l : {Label1, Label6, Label10, Label12, LabelCum}) {
        l->setText(QStringLiteral(" "));
        l->setToolTip(QString());
        setLabelColour(l, false);
    }
    Label4->setText(tr("Probe1="));
    Label5->setText(QStringLiteral("PUNC="));
    for (QTableWidget* grid : {StringGrid1, StringGrid2}) grid->setColumnCount(1);
    showBeta(LabelBeta1, std::nullopt);
    showBeta(LabelBeta2, std::nullopt);
    dataChart_->ClearFit();
    residualChart_->Clear();
    const struct {
        QSpinBox* spin;
        std::size_t count;
        bool onShow;
    } spins[] = {{UpDown1, m_.Contin() ? m_.Contin()->solutions.size() : 0, m_.OnShow() == Analysis::Contin},
                 {UpDown2, m_.Discrete() ? m_.Discrete()->solutions.size() : 0, m_.OnShow() == Analysis::Discrete}};
    for (const auto& [spin, count, onShow] : spins) {
        spin->blockSignals(true);
        spin->setMaximum(std::max(static_cast<int>(count) - 1, 0));
        spin->setValue(onShow ? static_cast<int>(m_.ShownIndex()) : 0);
        spin->blockSignals(false);
    }
    if (m_.OnShow() == Analysis::Contin) UpDown1Click();
    else if (m_.OnShow() == Analysis::Discrete) UpDown2Click();
    drawDistribution();
    showCumulants();
}

void TForm1::rememberRecent(const QString& path, bool add)
{
    QSettings settings;
    QStringList recent = settings.value(QStringLiteral("files/recent")).toStringList();
    recent.removeAll(path);
    if (add) recent.prepend(path);
    while (recent.size() > kRecentFiles) recent.removeLast();
    settings.setValue(QStringLiteral("files/recent"), recent);
    rebuildRecentMenu();
}

void TForm1::rebuildRecentMenu()
{
    // An entry may be the one being triggered: it goes once its signal is done.
    for (QAction* a : MenuRecent->actions()) {
        MenuRecent->removeAction(a);
        a->deleteLater();
    }
    const QStringList recent = QSettings().value(QStringLiteral("files/recent")).toStringList();
    for (int k = 0; k < recent.size(); ++k) {
        const QString path = recent[k];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = MenuRecent->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(shown));
        connect(a, &QAction::triggered, this, [this, path] { guarded([this, path] { openRecentFile(path); }); });
    }
    MenuRecent->setEnabled(!recent.isEmpty());
}

// ---------------------------------------------------------------- working directory, keys, settings

QString TForm1::workingDirectory() { return QDir::currentPath(); }

// A long path is shortened in the middle; the tool tip holds it whole.
void TForm1::showWorkingDirectory()
{
    const QString dir = QDir::toNativeSeparators(workingDirectory());
    StatusWorkDir->setText(
        StatusWorkDir->fontMetrics().elidedText(tr("Katalog roboczy: %1").arg(dir), Qt::ElideMiddle, 360));
    StatusWorkDir->setToolTip(dir);
}

void TForm1::chooseWorkingDirectory()
{
    const QString dir = dialogs_->directoryName(this, workingDirectory());
    if (dir.isEmpty()) return;
    if (!QDir::setCurrent(dir)) throw FileError(CannotOpenFile(dir.toStdString()));
    showWorkingDirectory();
}

void TForm1::runPageAnalysis()
{
    QWidget* page = PageControl1->currentWidget();
    if (page == TabSheetCont) ButtonContin->click();
    else if (page == TabSheetDisc) ButtonDisc->click();
    else if (page == TabSheetCum) ButtonCum->click();
}

// The solution the program chose in the last run: CONTIN's chosen one, or
// DISCRETE's first (best) one, with its page brought forward.
void TForm1::showChosenSolution()
{
    if (m_.OnShow() == Analysis::Contin) {
        PageControl1->setCurrentWidget(TabSheetCont);
        UpDown1->setValue(static_cast<int>(m_.Contin()->chosen));
    } else if (m_.OnShow() == Analysis::Discrete) {
        PageControl1->setCurrentWidget(TabSheetDisc);
        UpDown2->setValue(0);
    }
}

// The analysis settings kept between starts.
std::vector<std::pair<const char*, QLineEdit*>> TForm1::settingFields() const
{
    return {{"contin/gridFrom", Edit1},       {"contin/gridTo", Edit2},         {"contin/gridPoints", Edit3},
            {"discrete/components", Edit4}, {"discrete/weighting", Edit5}, {"discrete/tries", Edit6}};
}

void TForm1::saveSettings() const
{
    QSettings settings;
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    for (const auto& [key, edit] : settingFields()) settings.setValue(QString::fromLatin1(key), edit->text());
    const auto boxes = switchBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k)
        settings.setValue(QStringLiteral("discrete/switch%1").arg(k + 1), boxes[k]->isChecked());
    settings.setValue(QStringLiteral("contin/signalWeighted"), CheckBoxSignal->isChecked());
    settings.setValue(QStringLiteral("charts/distributionAxis"), ComboDistAxis->currentIndex());
    settings.setValue(QStringLiteral("charts/distributionWeighting"), ComboDistWeight->currentIndex());
    // The sample on show, and the kind of data last chosen for text files.
    const SampleParameters& p = m_.Sample();
    for (const auto& [key, value] : {std::pair{"sample/wavelength", p.wavelengthNm}, {"sample/angle", p.angleDeg},
                                     {"sample/temperature", p.temperatureK}, {"sample/viscosity", p.viscosityCp},
                                     {"sample/refractiveIndex", p.refractiveIndex}})
        settings.setValue(QString::fromLatin1(key), value);
    settings.setValue(QStringLiteral("sample/textDataKind"), static_cast<int>(textKind_));
    settings.setValue(QStringLiteral("sample/textBaseline"), static_cast<int>(textBaseline_));
    settings.setValue(QStringLiteral("sample/textTimeUnit"), static_cast<int>(textUnit_));
}

void TForm1::restoreSettings()
{
    QSettings settings;
    if (settings.contains(QStringLiteral("window/geometry")))
        restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray());
    for (const auto& [key, edit] : settingFields()) {
        const QString k = QString::fromLatin1(key);
        if (settings.contains(k)) edit->setText(settings.value(k).toString());
    }
    const auto boxes = switchBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        const QString key = QStringLiteral("discrete/switch%1").arg(k + 1);
        if (settings.contains(key)) boxes[k]->setChecked(settings.value(key).toBool());
    }
    CheckBoxSignal->setChecked(settings.value(QStringLiteral("contin/signalWeighted"), false).toBool());
    ComboDistAxis->setCurrentIndex(std::clamp(settings.value(QStringLiteral("charts/distributionAxis"), 0).toInt(), 0, 1));
    ComboDistWeight->setCurrentIndex(std::clamp(settings.value(QStringLiteral("charts/distributionWeighting"), 0).toInt(), 0, 1));
    SampleParameters p = m_.Sample();
    for (auto [key, value] : {std::pair{"sample/wavelength", &p.wavelengthNm}, {"sample/angle", &p.angleDeg},
                              {"sample/temperature", &p.temperatureK}, {"sample/viscosity", &p.viscosityCp},
                              {"sample/refractiveIndex", &p.refractiveIndex}}) {
        bool ok = false;
        const double v = settings.value(QString::fromLatin1(key)).toDouble(&ok);
        if (ok && std::isfinite(v)) *value = v;
    }
    auto choice = [&settings](const char* key, int current, int count) {
        const int v = settings.value(QString::fromLatin1(key), current).toInt();
        return v >= 0 && v < count ? v : current;
    };
    textKind_ = static_cast<DataKind>(choice("sample/textDataKind", static_cast<int>(textKind_), 3));
    textBaseline_ = static_cast<BaselineMode>(choice("sample/textBaseline", static_cast<int>(textBaseline_), 2));
    textUnit_ = static_cast<TimeUnit>(choice("sample/textTimeUnit", static_cast<int>(textUnit_), 4));
    p.dataKind = textKind_;
    p.baselineMode = textBaseline_;
    p.timeUnit = textUnit_;
    m_.SetSample(p);
    showSample();
    updateAxisTitles();
}

void TForm1::ScrollBar1Change()
{
    if (settingUpScrollBars_) return;
    arrows_.clear();
    if (m_.SetRange(ScrollBar1->value(), ScrollBar2->value())) {
        const PointRange r = m_.Range();
        for (const std::int64_t i : {r.first, r.last}) {
            const auto k = static_cast<std::size_t>(i);
            arrows_.push_back({m_.X()[k], 0.0, m_.X()[k], m_.Y()[k]});
        }
    }
    dataChart_->ShowArrows(arrows_);
}

// ---------------------------------------------------------------- drawing

void TForm1::PlotData()
{
    // The titles follow the measurement's sample (its time unit and kind of data).
    updateAxisTitles();
    dataChart_->ShowData(m_.X(), m_.Y());
}

void TForm1::PlotContinSolution(const ContinSolution& solution)
{
    dataChart_->ShowFit(solution.fitX, fitInDataTerms(solution.fitY, m_.Contin()->beta), RangeOf(m_.Y(), m_.Contin()->range));
    drawDistribution();
}

// The analyses fit g1; over g2 data their curve is drawn (and exported) in
// the data's own terms through the Siegert relation with the run's beta:
// y = B + beta g1 |g1|, B the baseline of g2 data and 0 for g2 - 1.
std::vector<double> TForm1::fitInDataTerms(const std::vector<double>& fit, const std::optional<double>& beta) const
{
    if (!beta) return fit;
    double b = 0.0;
    if (m_.Sample().dataKind == DataKind::G2)
        if (const Outcome<double> baseline = physics::BaselineOf(m_.Y(), m_.Sample())) b = *baseline;
    std::vector<double> out(fit.size());
    for (std::size_t k = 0; k < fit.size(); ++k) out[k] = b + *beta * fit[k] * std::fabs(fit[k]);
    return out;
}

// The CONTIN distribution last shown, on the chosen axis and weighting.
void TForm1::drawDistribution()
{
    updateAxisTitles();
    const ContinSolution* drawn = m_.ContinDrawn();
    if (!drawn) {
        distributionChart_->Clear();
        return;
    }
    const auto axis = ComboDistAxis->currentIndex() == 1 ? DistributionAxis::Radius : DistributionAxis::DecayTime;
    const auto weighting =
        ComboDistWeight->currentIndex() == 1 ? DistributionWeighting::PerLnTau : DistributionWeighting::AsComputed;
    const Outcome<DistributionCurve> curve = Distribution(*drawn, axis, weighting, m_.Sample());
    if (!curve) {
        distributionChart_->Clear();
        statusBar()->showMessage(ui::FailureText(curve.failure()));
        return;
    }
    distributionChart_->Show(curve->x, curve->y);
}

void TForm1::distributionChoiceChanged() { drawDistribution(); }

// The rows from `firstRow` on: for each decay time (data unit, percent
// error) the diffusion coefficient and the hydrodynamic radius with their
// errors; empty cells where the sample parameters give no size.
void TForm1::showRadii(QTableWidget* grid, int firstRow, const std::vector<std::pair<double, double>>& decayTimes)
{
    const char* const captions[] = {QT_TR_NOOP("D [m²/s]"), QT_TR_NOOP("Błąd D [m²/s]"), QT_TR_NOOP("R_h [nm]"),
                                    QT_TR_NOOP("Błąd R_h [nm]")};
    for (int r = 0; r < 4; ++r) SetCell(grid, 0, firstRow + r, tr(captions[r]));
    const char sep = decimalSeparator();
    QString why;
    for (std::size_t k = 0; k < decayTimes.size(); ++k) {
        const Outcome<physics::SizeEstimate> size =
            physics::SizeFromDecayTime(decayTimes[k].first, decayTimes[k].second, m_.Sample());
        if (!size) why = ui::FailureText(size.failure());
        const double values[] = {size ? size->diffusion : NAN, size ? size->diffusionErr : NAN,
                                 size ? size->radiusNm : NAN, size ? size->radiusErrNm : NAN};
        for (int r = 0; r < 4; ++r) SetCell(grid, static_cast<int>(k) + 1, firstRow + r, GridNumber(values[r], sep));
    }
    // Why a size is missing, on the rows' captions.
    for (int r = 0; r < 4; ++r)
        if (auto* item = grid->item(firstRow + r, 0)) item->setToolTip(why);
}

void TForm1::showBeta(QLabel* label, const std::optional<double>& beta)
{
    label->setText(beta ? QStringLiteral("β = ") + QString::fromStdString(FormatFloat(*beta, Pattern::F3, decimalSeparator()))
                        : QString());
    label->adjustSize();
}

void TForm1::PlotDiscreteSolution(const DiscreteSolution& solution)
{
    // The curves leave out the last analysed point, as the program always drew them.
    const std::size_t n = solution.fitX.empty() ? 0 : solution.fitX.size() - 1;
    const std::span<const double> x(solution.fitX.data(), n);
    const std::vector<double> fit = fitInDataTerms(solution.fitY, m_.Discrete()->beta);
    dataChart_->ShowFit(x, std::span<const double>(fit.data(), std::min(n, fit.size())), RangeOf(m_.Y(), m_.Discrete()->range));
    residualChart_->Show(x, std::span<const double>(solution.residual.data(), std::min(n, solution.residual.size())));
}

void TForm1::showRunFailure(QLabel* label, const QString& text, const Failure& why)
{
    const QString reason = ui::FailureText(why);
    setLabelColour(label, false);
    label->setText(text);
    label->setToolTip(reason);
    statusBar()->showMessage(reason);
}

// ---------------------------------------------------------------- CONTIN

ContinRequest TForm1::continRequest() const
{
    // The order decides which bad field is reported first.
    ContinRequest request;
    request.gridMax = StrToFloat(Edit2->text().toStdString(), decimalSeparator());
    request.gridMin = StrToFloat(Edit1->text().toStdString(), decimalSeparator());
    request.gridPoints = StrToInt(Edit3->text().toStdString());
    request.signalWeighted = CheckBoxSignal->isChecked();
    return request;
}

void TForm1::ButtonOKContClick()
{
    if (m_.PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    ScrollBar1Change();
    Memo1->clear();
    setMemoLines(Memo1, m_.ContinDeck(continRequest()));
}

void TForm1::ButtonContinClick()
{
    sampleEdited();
    Memo1->clear();
    if (m_.PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    ScrollBar1Change();
    const ContinRequest request = continRequest();
    ui::DialogRunner runner(this, std::filesystem::current_path(), helperDir_);
    const RunReport report = m_.RunContin(request, runner);
    switch (report.status) {
    case RunStatus::Cancelled: return;
    case RunStatus::Refused: showRunFailure(Label1, tr("BŁĄD"), report.failure); return;
    case RunStatus::Rejected:
        showRunFailure(Label1, tr("BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA"), report.failure);
        return;
    case RunStatus::Failed: showRunFailure(Label1, tr("BŁĄD"), report.failure); return;
    case RunStatus::Ok: break;
    }
    Label1->setToolTip(QString());
    statusBar()->clearMessage();
    UpDown1->blockSignals(true);
    UpDown1->setMaximum(static_cast<int>(m_.Contin()->solutions.size()) - 1);
    UpDown1->blockSignals(false);
    UpDown1Click();
}

void TForm1::UpDown1Click()
{
    const ContinSolution* s = m_.ShowContin(UpDown1->value());
    if (!s) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    const int shown = static_cast<int>(m_.ShownIndex());
    if (UpDown1->value() != shown) {
        UpDown1->blockSignals(true);
        UpDown1->setValue(shown);
        UpDown1->blockSignals(false);
    }
    const char sep = decimalSeparator();
    setLabelColour(Label1, m_.ShownIndex() == m_.Contin()->chosen);
    Label1->setText(QString::number(shown));
    StringGrid1->setColumnCount(static_cast<int>(s->peaks.size()) + 1);
    PlotData();
    PlotContinSolution(*s);
    showBeta(LabelBeta1, m_.Contin()->beta);
    Label4->setText(tr("Probe1=") + QString::fromStdString(FormatFloat(s->prob1ToReject, Pattern::F3, sep)));
    Label4->adjustSize();
    for (int r = 0; r < 5; ++r) SetCell(StringGrid1, 0, r + 1, tr(kPeakCaptions[r]));
    for (std::size_t k = 0; k < s->peaks.size(); ++k) {
        const ContinPeak& p = s->peaks[k];
        const int c = static_cast<int>(k) + 1;
        SetCell(StringGrid1, c, 0, tr("Peak %1").arg(c));
        const double values[] = {p.intensity, p.intensityErr, p.position, p.positionErr, p.width};
        for (int r = 0; r < 5; ++r)
            SetCell(StringGrid1, c, r + 1, QString::fromStdString(FormatFloat(values[r], Pattern::E4, sep)));
    }
    std::vector<std::pair<double, double>> times;
    for (const ContinPeak& p : s->peaks) times.emplace_back(p.position, p.positionErr);
    showRadii(StringGrid1, 6, times);
    StringGrid1->resizeColumnsToContents();
}

// ---------------------------------------------------------------- DISCRETE

std::vector<QCheckBox*> TForm1::switchBoxes() const
{
    return {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8, CheckBox9};
}

void TForm1::SpeedButton1Click()
{
    const bool open = SpeedButton1->isChecked();
    GroupBox2->setFixedWidth(open ? 108 : 0);
    for (QCheckBox* box : switchBoxes()) box->setEnabled(open);
    Edit5->setEnabled(open);
    Label8->setEnabled(open);
}

void TForm1::ButtonDefaultClick()
{
    const auto boxes = switchBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k) boxes[k]->setChecked(kDefaultSwitches[k]);
    Edit5->setText(QString::number(kDefaultWeighting));
}

DiscreteRequest TForm1::discreteRequest() const
{
    DiscreteRequest request;
    const auto boxes = switchBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k) request.switches[k] = boxes[k]->isChecked();
    request.maxComponents = StrToInt(Edit4->text().toStdString());
    request.weighting = StrToInt(Edit5->text().toStdString());
    request.tries = StrToInt(Edit6->text().toStdString());
    return request;
}

void TForm1::ButtonOKDiscClick()
{
    ScrollBar1Change();
    if (m_.PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    Memo1->setPlainText(QStringLiteral("nazwa.in"));
    setMemoLines(Memo1, m_.DiscreteDeck(discreteRequest()));
}

void TForm1::ButtonDiscClick()
{
    sampleEdited();
    ScrollBar1Change();
    if (m_.PointCount() == 0) {
        Label1->setText(tr("BŁĄD"));
        return;
    }
    Memo1->setPlainText(QStringLiteral("nazwa.in"));
    const DiscreteRequest request = discreteRequest();
    Memo1->clear();
    ui::DialogRunner runner(this, std::filesystem::current_path(), helperDir_);
    const RunReport report = m_.RunDiscrete(request, runner);
    switch (report.status) {
    case RunStatus::Cancelled: return;
    case RunStatus::Refused: showRunFailure(Label1, tr("BŁĄD"), report.failure); return;
    case RunStatus::Rejected:
    case RunStatus::Failed:
        // The program's answer stays readable in the memo.
        showRunFailure(Label10, tr("BŁĄD"), report.failure);
        setMemoLines(Memo1, SplitLines(runner.LastListing()));
        return;
    case RunStatus::Ok: break;
    }
    Label10->setToolTip(QString());
    statusBar()->clearMessage();
    UpDown2->blockSignals(true);
    UpDown2->setMaximum(static_cast<int>(m_.Discrete()->solutions.size()) - 1);
    UpDown2->blockSignals(false);
    Label10->setText(m_.Discrete()->uncertain ? tr("Uwaga") : QStringLiteral(" "));
    UpDown2Click();
}

void TForm1::UpDown2Click()
{
    const DiscreteSolution* s = m_.ShowDiscrete(UpDown2->value());
    if (!s) {
        Label10->setText(tr("BŁĄD"));
        if (m_.OnShow() != Analysis::None) {
            // The result on show is CONTIN's: no DISCRETE figures of an
            // earlier run may stand beside it as if they were current.
            StringGrid2->setColumnCount(1);
            Label5->setText(QStringLiteral("PUNC="));
            Label6->setText(QStringLiteral(" "));
            showBeta(LabelBeta2, std::nullopt);
            residualChart_->Clear();
        }
        return;
    }
    const int shown = static_cast<int>(m_.ShownIndex());
    if (UpDown2->value() != shown) {
        UpDown2->blockSignals(true);
        UpDown2->setValue(shown);
        UpDown2->blockSignals(false);
    }
    const bool rates = CheckBoxDT->isChecked();
    const char sep = decimalSeparator();
    setLabelColour(Label6, shown == 0);
    StringGrid2->setColumnCount(static_cast<int>(s->components.size()) + 1);
    Label5->setText(QStringLiteral("PUNC=") +
                    (std::isfinite(s->punc) ? QString::fromStdString(FormatFloat(s->punc, Pattern::F3, sep)) : QString()));
    Label5->adjustSize();
    Label6->setText(QString::number(shown));
    PlotData();
    PlotDiscreteSolution(*s);
    showBeta(LabelBeta2, m_.Discrete()->beta);
    SetCell(StringGrid2, 0, 1, tr("Intensywnosc"));
    SetCell(StringGrid2, 0, 2, tr("Błąd % int"));
    SetCell(StringGrid2, 0, 3, rates ? tr("1/Czas") : tr("Czas"));
    SetCell(StringGrid2, 0, 4, rates ? tr("Błąd % 1/Czas") : tr("Błąd % czasu"));
    for (std::size_t j = 0; j < s->components.size(); ++j) {
        const Component& c = s->components[j];
        const int col = static_cast<int>(j) + 1;
        SetCell(StringGrid2, col, 0, tr("Składowa %1").arg(col));
        SetCell(StringGrid2, col, 1, GridNumber(c.amplitude, sep));
        // The listing's error columns hold percent errors; the percent error
        // of a decay time equals, to first order, that of its rate, so the
        // error row is the same in both views.
        SetCell(StringGrid2, col, 2, GridNumber(c.amplitudeErr, sep));
        SetCell(StringGrid2, col, 3, rates ? GridNumber(c.rate, sep) : c.rate != 0.0 ? GridNumber(1.0 / c.rate, sep) : QString());
        SetCell(StringGrid2, col, 4, GridNumber(c.rateErr, sep));
    }
    // The decay time 1/rate has, to first order, the rate's percent error.
    std::vector<std::pair<double, double>> times;
    for (const Component& c : s->components) times.emplace_back(c.rate != 0.0 ? 1.0 / c.rate : 0.0, c.rateErr);
    showRadii(StringGrid2, 5, times);
    StringGrid2->resizeColumnsToContents();
}

void TForm1::CheckBoxDTClick() { UpDown2Click(); }

// ---------------------------------------------------------------- results log

void TForm1::writeMemo2To(const std::string& fileName) { WriteFileAtomic(fileName, FileText(memoLines(Memo2))); }

// The steps of a "Zapamiętaj" click in order: the header stays even when the
// click then fails; a failure writes no line and no file; without a result
// the file is still written. All of it under the lock of the log's directory
// (a wait the user gives up changes nothing); a log holding lines the memo
// lacks (an earlier start's series) is kept under a dated name first.
void TForm1::recordLogClick(const LogClick& click, const char* logFile, QLabel* status)
{
    FileLock lock(LogLockFile(logFile));
    if (!ui::WaitForLock(this, lock)) return;
    auto lines = memoLines(Memo2);
    if (click.header) {
        lines.push_back(*click.header);
        setMemoLines(Memo2, lines);
    }
    if (click.error) throw Error(*click.error);
    if (click.line) {
        lines.push_back(*click.line);
        setMemoLines(Memo2, lines);
    }
    if (click.noResult) (status ? status : Label1)->setText(tr("BŁĄD"));
    if (const auto kept = ReplaceLog(logFile, memoLines(Memo2), std::time(nullptr)))
        statusBar()->showMessage(tr("Wcześniejszy plik %1 zachowano jako %2")
                                     .arg(QString::fromLocal8Bit(logFile), QString::fromStdString(kept->filename().string())));
}

LogInput TForm1::logInput(QLineEdit* name, QLineEdit* value, QCheckBox* inverse) const
{
    LogInput in;
    in.paramName = toCore(name->text());
    in.value = value->text().toStdString();
    in.inverse = inverse->isChecked();
    in.decimalSeparator = decimalSeparator();
    return in;
}

void TForm1::ButtonZapiszClick()
{
    const LogInput in = logInput(Edit7, Edit8, CheckBox10);
    recordLogClick(ContinLogClick(m_.ContinOnShow(), memoLineCount(Memo2) == 0, in), "tempCont.txt");
}

void TForm1::ButtonZapiszDiscClick()
{
    LogInput in = logInput(Edit9, Edit10, CheckBox11);
    in.rates = CheckBoxDT->isChecked();
    const auto& last = m_.LastDiscreteRequest();
    const std::size_t groups = last ? static_cast<std::size_t>(std::max(last->maxComponents, 0)) : 0;
    recordLogClick(DiscreteLogClick(m_.DiscreteOnShow(), groups, memoLineCount(Memo2) == 0, in), "tempDisc.txt");
}

void TForm1::Zapisz1Click()
{
    const QString name = dialogs_->saveFileName(this, QString());
    if (name.isEmpty()) return;
    const QString text = Memo2->toPlainText();
    writeMemo2To(name.toStdString());
    savedMemo2_ = text;
}

// ---------------------------------------------------------------- export

void TForm1::saveMemo1Table()
{
    const QString name = dialogs_->saveFileName(this, QString());
    if (name.isEmpty()) return;
    WriteFileAtomic(name.toStdString(), FileText(memoLines(Memo1)));
}

void TForm1::ButtonZapiszFidClick()
{
    std::optional<FitCurve> fit;
    std::vector<double> fitY;
    if (const ContinSolution* s = m_.ContinOnShow()) {
        fitY = fitInDataTerms(s->fitY, m_.Contin()->beta);
        fit.emplace(FitCurve{s->fitX, fitY, true});
    } else if (const DiscreteSolution* d = m_.DiscreteOnShow()) {
        fitY = fitInDataTerms(d->fitY, m_.Discrete()->beta);
        fit.emplace(FitCurve{d->fitX, fitY, false});
    }
    const PointRange r = m_.Range();
    setMemoLines(Memo1, FitExportTable(RangeOf(m_.X(), r), RangeOf(m_.Y(), r), fit ? &*fit : nullptr,
                                       decimalSeparator()));
    saveMemo1Table();
}

void TForm1::ButtonRozkladClick()
{
    const ContinSolution* drawn = m_.ContinDrawn();
    const auto axis = ComboDistAxis->currentIndex() == 1 ? DistributionAxis::Radius : DistributionAxis::DecayTime;
    const auto weighting =
        ComboDistWeight->currentIndex() == 1 ? DistributionWeighting::PerLnTau : DistributionWeighting::AsComputed;
    if (axis == DistributionAxis::DecayTime && weighting == DistributionWeighting::AsComputed) {
        // CONTIN's own table, as the program always wrote it.
        std::size_t rows = 0;
        if (drawn) rows = drawn->distX.size();
        else if (m_.LastContinRequest()) rows = static_cast<std::size_t>(std::max(m_.LastContinRequest()->gridPoints, 0));
        setMemoLines(Memo1, DistributionExportTable(drawn, rows, decimalSeparator()));
    } else {
        // The chosen axis and weighting with the error column; without a
        // distribution the header alone.
        DistributionCurve curve;
        if (drawn) {
            Outcome<DistributionCurve> c = Distribution(*drawn, axis, weighting, m_.Sample());
            if (!c) throw Error(ui::FailureText(c.failure()).toStdString());
            curve = std::move(c).value();
        }
        setMemoLines(Memo1, DistributionExportTable(curve, axis, weighting, decimalSeparator()));
    }
    saveMemo1Table();
}

// ---------------------------------------------------------------- help

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
    Form3->setHelpText(fromCore(ReadFile(*found)));
}
