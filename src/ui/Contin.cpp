#include "ui/Contin.h"

#include "contin/ContinDeck.h"
#include "contin/ContinListing.h"
#include "discrete/DiscreteDeck.h"
#include "discrete/DiscreteListing.h"
#include "results/Export.h"
#include "results/ResultsLog.h"
#include "ui/Help.h"
#include "io/Cp1250.h"
#include "io/DataLoader.h"
#include "base/Errors.h"
#include "io/FileIO.h"
#include "base/MemoText.h"

#include <qcustomplot.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
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
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace fluvena;

namespace fluvena::ui {

namespace {

class StandardDialogs : public FileDialogs {
public:
    QString openFileName(QWidget* parent) override { return QFileDialog::getOpenFileName(parent); }
    QString saveFileName(QWidget* parent) override
    {
        const QString name = QFileDialog::getSaveFileName(parent, QString(), lastSaved_);
        if (!name.isEmpty()) lastSaved_ = name;
        return name;
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

const QString kCaption = QStringLiteral("Fluvena 0.99 alfa");
const QString kError = QStringLiteral("BŁĄD");

template <typename W>
W* Place(QWidget* parent, const char* name, int left, int top, int width = -1, int height = -1)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->move(left, top);
    if (width > 0 && height > 0) w->resize(width, height);
    else w->adjustSize();
    return w;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* l = Place<QLabel>(parent, name, left, top);
    l->setText(text);
    l->adjustSize();
    return l;
}

QLineEdit* PlaceEdit(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                     int height)
{
    auto* e = Place<QLineEdit>(parent, name, left, top, width, height);
    e->setText(text);
    return e;
}

QCheckBox* PlaceCheck(QWidget* parent, const char* name, const QString& text, bool checked, int left, int top,
                      int width = -1, int height = -1)
{
    auto* c = Place<QCheckBox>(parent, name, left, top, width, height);
    c->setText(text);
    c->setChecked(checked);
    if (width <= 0) c->adjustSize();
    return c;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                         int height)
{
    auto* b = Place<QPushButton>(parent, name, left, top, width, height);
    b->setText(text);
    return b;
}

QSpinBox* PlaceUpDown(QWidget* parent, const char* name, int left, int top)
{
    auto* s = Place<QSpinBox>(parent, name, left, top, 48, 36);
    s->setRange(0, 0);
    s->setValue(0);
    s->setWrapping(false);
    return s;
}

QTableWidget* MakeGrid(QWidget* parent, const char* name, int columns, int rows)
{
    auto* g = new QTableWidget(rows, columns, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->horizontalHeader()->setDefaultSectionSize(62);
    g->verticalHeader()->setDefaultSectionSize(20);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return g;
}

void SetCell(QTableWidget* grid, int column, int row, const QString& text)
{
    if (column >= grid->columnCount() || row >= grid->rowCount()) return;
    auto* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    item->setText(text);
    // Row 0 and column 0 are the grid's fixed headings.
    if (row == 0 || column == 0) item->setBackground(grid->palette().color(QPalette::Button));
}

// Axis labels in the window's number formats: "0.0E+##" (exponent without
// padding: 1.0E+1) on the logarithmic axes, "0.0E+00" (1.0E-03) on the
// residual axis; the decimal separator is the locale's.
QString AxisLabel(double value, bool padExponent)
{
    if (value == 0) return QStringLiteral("0");
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value)) + 1e-9));
    double mantissa = value / std::pow(10.0, exponent);
    QString m = QLocale::system().toString(mantissa, 'f', 1);
    QString e = QString::number(std::abs(exponent));
    if (padExponent && e.size() < 2) e.prepend('0');
    return m + QStringLiteral("E") + (exponent < 0 ? QStringLiteral("-") : QStringLiteral("+")) + e;
}

class LogTicker : public QCPAxisTickerLog {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return AxisLabel(tick, false); }
};

class ScientificTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override
    {
        return std::fabs(tick) < 1e-300 ? QStringLiteral("0") : AxisLabel(tick, true);
    }
};

QCustomPlot* MakeChart(QWidget* parent, const char* name, const QString& title, bool logBottom)
{
    auto* chart = new QCustomPlot(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->plotLayout()->insertRow(0);
    auto* caption = new QCPTextElement(chart, title, QFont(chart->font().family(), 10, QFont::Bold));
    caption->setObjectName(QStringLiteral("title"));
    chart->plotLayout()->addElement(0, 0, caption);
    chart->legend->setVisible(false);
    if (logBottom) {
        chart->xAxis->setScaleType(QCPAxis::stLogarithmic);
        chart->xAxis->setTicker(QSharedPointer<LogTicker>::create());
        chart->xAxis->setRange(0.1, 1000);
    }
    chart->xAxis->setTickLength(0, 6);
    chart->xAxis->setSubTickLength(0, 4);
    return chart;
}

QCPGraph* MakeSeries(QCustomPlot* chart, const char* name, const QColor& colour, bool line, int lineWidth,
                     bool circles)
{
    auto* g = chart->addGraph();
    g->setName(QString::fromLatin1(name));
    QPen pen(colour);
    pen.setWidth(lineWidth);
    g->setPen(pen);
    g->setLineStyle(line ? QCPGraph::lsLine : QCPGraph::lsNone);
    if (circles) g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, colour, 5));
    return g;
}

}  // namespace

TForm1::TForm1(std::unique_ptr<fluvena::ui::FileDialogs> dialogs, std::unique_ptr<fluvena::ui::ErrorDisplay> errors,
               std::filesystem::path helperDir, QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)), errors_(std::move(errors)), helperDir_(std::move(helperDir))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    // The window was laid out for an 8-point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    resize(924, 632);
    buildControls();
    wireEvents();
    FormCreate();
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
    GroupBox1 = new QGroupBox(QStringLiteral("Dane wejściowe"), Panel2);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedHeight(113);
    p2->addWidget(GroupBox1);
    Label2 = PlaceLabel(GroupBox1, "Label2", QStringLiteral("Siatka Od:"), 8, 24);
    // A number shown to the user carries the locale's decimal separator, so the
    // default grid bound converts on a system that writes 0,1 as well.
    Edit1 = PlaceEdit(GroupBox1, "Edit1", QStringLiteral("0") + QChar::fromLatin1(decimalSeparator()) + QStringLiteral("1"), 64, 16,
                      65, 21);
    Label3 = PlaceLabel(GroupBox1, "Label3", QStringLiteral("Do:"), 136, 24);
    Edit2 = PlaceEdit(GroupBox1, "Edit2", QStringLiteral("1000"), 160, 16, 65, 21);
    Label11 = PlaceLabel(GroupBox1, "Label11", QStringLiteral("NG"), 8, 48);
    Edit3 = PlaceEdit(GroupBox1, "Edit3", QStringLiteral("100"), 32, 40, 65, 21);
    LabelPunktow = PlaceLabel(GroupBox1, "LabelPunktow", QStringLiteral("Punktów"), 104, 48);
    Label1 = PlaceLabel(GroupBox1, "Label1", QStringLiteral("Label1"), 250, 48);
    Label1->setMinimumWidth(40);
    Edit7 = PlaceEdit(GroupBox1, "Edit7", QStringLiteral("Temp"), 32, 64, 65, 21);
    Edit8 = PlaceEdit(GroupBox1, "Edit8", QStringLiteral("1"), 104, 64, 49, 21);
    CheckBox10 = PlaceCheck(GroupBox1, "CheckBox10", QStringLiteral("1000/T"), false, 160, 64);
    Label4 = PlaceLabel(GroupBox1, "Label4", QStringLiteral("Probe1="), 32, 88);
    Label12 = PlaceLabel(GroupBox1, "Label12", QStringLiteral("Label12"), 152, 88);
    ButtonOKCont = PlaceButton(GroupBox1, "ButtonOKCont", QStringLiteral("OK"), 296, 12, 65, 25);
    ButtonOKCont->setVisible(false);
    ButtonContin = PlaceButton(GroupBox1, "ButtonContin", QStringLiteral("Contin"), 296, 12, 81, 25);
    UpDown1 = PlaceUpDown(GroupBox1, "UpDown1", 329, 38);
    ButtonZapisz = PlaceButton(GroupBox1, "ButtonZapisz", QStringLiteral("Zapamiętaj"), 296, 76, 81, 25);
    StringGrid1 = MakeGrid(Panel2, "StringGrid1", 6, 6);
    StringGrid1->setFixedHeight(152);
    p2->addWidget(StringGrid1);
    p2->addStretch(1);
    contLayout->addWidget(Panel2);
    Chart1 = MakeChart(TabSheetCont, "Chart1", QStringLiteral("Rozkład"), true);
    contLayout->addWidget(Chart1, 1);
    ButtonRozklad = PlaceButton(Chart1, "ButtonRozklad", QStringLiteral("Zapisz"), 0, 0, 75, 25);
    SeriesRozklad = MakeSeries(Chart1, "SeriesRozklad", Qt::red, true, 1, false);

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
    GroupBox3 = new QGroupBox(QStringLiteral("Dane wejściowe"), Panel1);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setFixedHeight(121);
    p1->addWidget(GroupBox3);
    Edit4 = PlaceEdit(GroupBox3, "Edit4", QStringLiteral("6"), 8, 16, 25, 21);
    Label7 = PlaceLabel(GroupBox3, "Label7", QStringLiteral("Maksymalna ilosc składowych (1-9) "), 38, 18);
    Edit6 = PlaceEdit(GroupBox3, "Edit6", QStringLiteral("5"), 8, 40, 25, 21);
    Label9 = PlaceLabel(GroupBox3, "Label9", QStringLiteral("Maksymalna ilosc prób (5-15)"), 40, 42);
    Edit9 = PlaceEdit(GroupBox3, "Edit9", QStringLiteral("Temp"), 8, 64, 65, 21);
    Edit10 = PlaceEdit(GroupBox3, "Edit10", QStringLiteral("1"), 80, 64, 57, 21);
    CheckBox11 = PlaceCheck(GroupBox3, "CheckBox11", QStringLiteral("1000/T"), false, 152, 64);
    CheckBoxDT = PlaceCheck(GroupBox3, "CheckBoxDT", QStringLiteral("D/T"), false, 8, 94);
    SpeedButton1 = Place<QToolButton>(GroupBox3, "SpeedButton1", 64, 90, 89, 25);
    SpeedButton1->setText(QStringLiteral("Zaawansowane"));
    SpeedButton1->setCheckable(true);
    SpeedButton1->setChecked(false);
    ButtonOKDisc = PlaceButton(GroupBox3, "ButtonOKDisc", QStringLiteral("OK"), 128, 88, 25, 25);
    ButtonOKDisc->setVisible(false);
    Label10 = PlaceLabel(GroupBox3, "Label10", QStringLiteral("Label10"), 160, 96);
    Label5 = PlaceLabel(GroupBox3, "Label5", QStringLiteral("PUNC="), 216, 96);
    Label6 = PlaceLabel(GroupBox3, "Label6", QStringLiteral("Label6"), 264, 52);
    Label6->setMinimumWidth(24);
    ButtonDisc = PlaceButton(GroupBox3, "ButtonDisc", QStringLiteral("Discrete"), 296, 16, 81, 25);
    UpDown2 = PlaceUpDown(GroupBox3, "UpDown2", 329, 42);
    ButtonZapiszDisc = PlaceButton(GroupBox3, "ButtonZapiszDisc", QStringLiteral("Zapamiętaj"), 296, 80, 81, 25);
    StringGrid2 = MakeGrid(Panel1, "StringGrid2", 6, 5);
    StringGrid2->setFixedHeight(128);
    p1->addWidget(StringGrid2);
    p1->addStretch(1);
    discLayout->addWidget(Panel1);

    GroupBox2 = new QGroupBox(QStringLiteral("Zaawansowane"), TabSheetDisc);
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
    Label8 = PlaceLabel(GroupBox2, "Label8", QStringLiteral("Waga"), 40, 172);
    Label8->setEnabled(false);
    ButtonDefault = PlaceButton(GroupBox2, "ButtonDefault", QStringLiteral("Domyślne"), 8, 200, 89, 25);
    discLayout->addWidget(GroupBox2);

    Chart3 = MakeChart(TabSheetDisc, "Chart3", QStringLiteral("Odchylenia"), false);
    Chart3->yAxis->setTicker(QSharedPointer<ScientificTicker>::create());
    Chart3->axisRect()->setBackground(QColor(192, 192, 192));
    SeriesRezidua = MakeSeries(Chart3, "SeriesRezidua", Qt::red, false, 1, true);
    SeriesRezidua->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Qt::red, Qt::red, 3));
    SeriesZero = MakeSeries(Chart3, "SeriesZero", Qt::black, true, 2, false);
    discLayout->addWidget(Chart3, 1);

    PageControl1->addTab(TabSheetCont, QStringLiteral("Contin"));
    PageControl1->addTab(TabSheetDisc, QStringLiteral("Discrete"));
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
    Chart2 = MakeChart(Panel3, "Chart2", QStringLiteral("Rozwiązanie"), true);
    Chart2->axisRect()->setMargins(QMargins(0, 0, 0, 12));
    ButtonZapiszFid = PlaceButton(Chart2, "ButtonZapiszFid", QStringLiteral("Zapisz"), 0, 0, 75, 25);
    SeriesWejscie = MakeSeries(Chart2, "SeriesWejscie", Qt::red, false, 1, true);
    SeriesFid = MakeSeries(Chart2, "SeriesFid", Qt::yellow, true, 2, false);
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

    // Menu.
    auto* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    Plik1 = bar->addMenu(QStringLiteral("Plik"));
    Plik1->setObjectName(QStringLiteral("Plik1"));
    Otw1 = Plik1->addAction(QStringLiteral("Otwórz"));
    Otw1->setObjectName(QStringLiteral("Otw1"));
    Zapisz1 = Plik1->addAction(QStringLiteral("Zapisz"));
    Zapisz1->setObjectName(QStringLiteral("Zapisz1"));
    Zamknij1 = Plik1->addAction(QStringLiteral("Zamknij"));
    Zamknij1->setObjectName(QStringLiteral("Zamknij1"));
    Pomoc1 = bar->addAction(QStringLiteral("Pomoc"));
    Pomoc1->setObjectName(QStringLiteral("Pomoc1"));
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
    ws_.Reset();
    SeriesFid->data()->clear();
    SeriesWejscie->data()->clear();
    SeriesRozklad->data()->clear();
    replotAll();
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

// ---------------------------------------------------------------- data file and range

void TForm1::Otw1Click()
{
    ButtonClearClick();
    const QString name = dialogs_->openFileName(this);
    if (name.isEmpty()) {
        Memo1->clear();
        return;
    }
    const std::string bytes = ReadFile(name.toStdString());
    setWindowTitle(kCaption + QStringLiteral(" - ") + name);
    LoadedData data = ParseDataFile(bytes);
    if (data.status == LoadedData::Status::Empty) {
        Memo1->clear();
        Label1->setText(QStringLiteral("BLAD"));
        Label12->setText(kError);
        Label10->setText(kError);
        return;
    }
    Memo1->clear();
    if (data.status == LoadedData::Status::BadLine) {
        // Nothing of the file is kept: the workspace stays as the reset left it.
        throw Error(QStringLiteral("Nie można odczytać pliku %1: w wierszu %2 brak tabulatora między kolumnami "
                                   "(lub pusty wiersz wśród danych).")
                        .arg(name)
                        .arg(data.badLine)
                        .toStdString());
    }
    ws_.DataX = std::move(data.x);
    ws_.DataY = std::move(data.y);
    ws_.PointCount = data.lineCount;
    PlotData();
    // Both maxima first, so that no position beyond the new points is used.
    settingUpScrollBars_ = true;
    ScrollBar1->setMaximum(ws_.PointCount - 1);
    ScrollBar2->setMaximum(ws_.PointCount - 1);
    ScrollBar1->setValue(0);
    ScrollBar2->setValue(ws_.PointCount - 1);
    settingUpScrollBars_ = false;
    ScrollBar1Change();
}

void TForm1::ScrollBar1Change()
{
    if (settingUpScrollBars_) return;
    arrows_.clear();
    if (ws_.SetRange(ScrollBar1->value(), ScrollBar2->value())) {
        const auto f = static_cast<std::size_t>(ws_.FirstPoint);
        const auto l = static_cast<std::size_t>(ws_.LastPoint);
        arrows_.push_back({ws_.DataX[f], 0.0, ws_.DataX[f], ws_.DataY[f]});
        arrows_.push_back({ws_.DataX[l], 0.0, ws_.DataX[l], ws_.DataY[l]});
    }
    drawArrows();
}

void TForm1::drawArrows()
{
    Chart2->clearItems();
    for (const auto& a : arrows_) {
        // The logarithmic axis cannot show a point at or left of zero.
        if (a.x0 <= 0 || a.x1 <= 0) continue;
        auto* line = new QCPItemLine(Chart2);
        line->setPen(QPen(Qt::blue));
        line->start->setCoords(a.x0, a.y0);
        line->end->setCoords(a.x1, a.y1);
        line->setHead(QCPLineEnding::esSpikeArrow);
    }
    Chart2->replot(QCustomPlot::rpQueuedReplot);
}

// ---------------------------------------------------------------- drawing

void TForm1::setSeries(QCPGraph* graph, const std::vector<double>& xs, const std::vector<double>& ys, std::size_t n)
{
    const bool logX = graph->keyAxis()->scaleType() == QCPAxis::stLogarithmic;
    QVector<double> keys, values;
    keys.reserve(static_cast<int>(n));
    values.reserve(static_cast<int>(n));
    n = std::min({n, xs.size(), ys.size()});
    for (std::size_t k = 0; k < n; ++k) {
        if (logX && !(xs[k] > 0)) continue;
        if (!std::isfinite(xs[k]) || !std::isfinite(ys[k])) continue;
        keys.push_back(xs[k]);
        values.push_back(ys[k]);
    }
    graph->setData(keys, values);
}

void TForm1::replotAll()
{
    for (QCustomPlot* chart : {Chart1, Chart2, Chart3}) {
        bool any = false;
        for (int g = 0; g < chart->graphCount(); ++g) any = any || !chart->graph(g)->data()->isEmpty();
        if (any) {
            chart->rescaleAxes();
            if (chart->xAxis->scaleType() == QCPAxis::stLogarithmic) {
                const QCPRange r = chart->xAxis->range();
                chart->xAxis->setRange(r.lower / 1.2, r.upper * 1.2);
            }
            const QCPRange y = chart->yAxis->range();
            const double pad = (y.upper - y.lower) * 0.05 + 1e-12;
            chart->yAxis->setRange(std::min(y.lower, 0.0) - pad, y.upper + pad);
        }
        chart->replot(QCustomPlot::rpQueuedReplot);
    }
}

void TForm1::PlotData()
{
    setSeries(SeriesWejscie, ws_.DataX, ws_.DataY, static_cast<std::size_t>(std::max(ws_.PointCount, 0)));
    replotAll();
}

void TForm1::PlotContinSolution(const ContinSolution& record, std::size_t fitRows, std::size_t distRows)
{
    setSeries(SeriesFid, record.fitX, record.fitY, fitRows);
    setSeries(SeriesRozklad, record.distX, record.distY, distRows);
    replotAll();
}

void TForm1::PlotDiscreteSolution(const RozwiazanieDisc& record, std::size_t points)
{
    const std::vector<double> zeros(record.fitX.size(), 0.0);
    setSeries(SeriesZero, record.fitX, zeros, points);
    setSeries(SeriesFid, record.fitX, record.fitY, points);
    setSeries(SeriesRezidua, record.fitX, record.residual, points);
    replotAll();
}

// ---------------------------------------------------------------- running an engine

bool TForm1::runEngine(Engine engine, std::string& listing)
{
    const RunFiles files{std::filesystem::current_path()};
    PrepareRun(files, memoLines(Memo1));
    ExternalProcess process(EngineCommand(engine), files.workDir, helperDir_);

    // The program runs while a modal progress dialog keeps the window
    // painted and offers a way out of a program that never ends.
    QProgressDialog progress(this);
    progress.setObjectName(QStringLiteral("RunProgress"));
    progress.setWindowTitle(QStringLiteral("Fluvena"));
    progress.setLabelText(QStringLiteral("Trwa obliczanie programem %1…").arg(QString::fromLatin1(EngineProgram(engine))));
    progress.setCancelButtonText(QStringLiteral("Przerwij"));
    progress.setRange(0, 0);
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    bool cancelled = false;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(15);
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (process.Finished()) loop.quit();
    });
    connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QTimer::singleShot(150, &progress, [&] {
        if (!process.Finished()) progress.show();
    });
    poll.start();
    if (!process.Finished()) loop.exec();
    poll.stop();
    progress.hide();
    if (cancelled) {
        process.Cancel();
        return false;
    }
    listing = CollectListing(files, engine, process);
    return true;
}

// ---------------------------------------------------------------- CONTIN

void TForm1::ButtonOKContClick()
{
    if (ws_.PointCount == 0) {
        Label1->setText(kError);
        return;
    }
    ScrollBar1Change();
    Memo1->clear();
    const auto deck = BuildContinDeck(ws_, Edit1->text().toStdString(), Edit2->text().toStdString(),
                                      Edit3->text().toStdString(), decimalSeparator());
    setMemoLines(Memo1, deck);
}

void TForm1::ButtonContinClick()
{
    ButtonOKContClick();
    if (memoLineCount(Memo1) <= 31) {
        Label1->setText(kError);
        Memo1->clear();
        return;
    }
    std::string listing;
    if (!runEngine(Engine::Contin, listing)) return;
    const std::string text = NormalizedText(listing);
    ContinParse parse = ParseContinListing(text, ws_.RangeCount, ws_.ContinGridPoints, ws_.ChosenSolution);
    const auto status = parse.status;
    if (status == ContinParse::Status::Rejected) {
        ApplyContinParse(ws_, std::move(parse));
        Label1->setText(QStringLiteral("BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA"));
        Memo1->clear();
        return;
    }
    ApplyContinParse(ws_, std::move(parse));
    UpDown1->blockSignals(true);
    UpDown1->setMaximum(std::max(ws_.SolutionCount - 1, 0));
    UpDown1->blockSignals(false);
    Memo1->clear();
    UpDown1Click();
    if (status == ContinParse::Status::Truncated) {
        // The listing broke off: the solutions read before the break stay.
        setLabelColour(Label1, false);
        Label1->setText(kError);
    }
}

void TForm1::UpDown1Click()
{
    const ContinView view = MakeContinView(ws_, UpDown1->value(), decimalSeparator());
    if (view.error) {
        Label1->setText(kError);
        return;
    }
    if (UpDown1->value() != view.current) {
        UpDown1->blockSignals(true);
        UpDown1->setValue(view.current);
        UpDown1->blockSignals(false);
    }
    setLabelColour(Label1, view.chosen);
    StringGrid1->setColumnCount(view.columnCount);
    Label1->setText(QString::number(view.current));
    PlotData();
    PlotContinSolution(*view.record, view.fitRows, view.distRows);
    Label4->setText(fromCore(view.label4));
    Label4->adjustSize();
    for (std::size_t c = 0; c < view.cells.size(); ++c)
        for (std::size_t r = 0; r < view.cells[c].size(); ++r)
            if (c != 0 || r != 0) SetCell(StringGrid1, static_cast<int>(c), static_cast<int>(r), fromCore(view.cells[c][r]));
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
    Edit5->setText(QString::fromLatin1(kDefaultWeight));
}

void TForm1::ButtonOKDiscClick()
{
    ScrollBar1Change();
    if (ws_.PointCount == 0) {
        Label1->setText(kError);
        return;
    }
    Memo1->setPlainText(QStringLiteral("nazwa.in"));
    DiscreteSwitches switches{};
    const auto boxes = switchBoxes();
    for (std::size_t k = 0; k < boxes.size(); ++k) switches[k] = boxes[k]->isChecked();
    const auto deck = BuildDiscreteDeck(ws_, switches, Edit4->text().toStdString(), Edit5->text().toStdString(),
                                        Edit6->text().toStdString());
    setMemoLines(Memo1, deck);
}

void TForm1::ButtonDiscClick()
{
    ButtonOKDiscClick();
    if (memoLineCount(Memo1) < 7) {
        Label1->setText(kError);
        return;
    }
    std::string listing;
    if (!runEngine(Engine::Discrete, listing)) return;
    const std::string text = NormalizedText(listing);
    DiscreteParse parse = ParseDiscreteListing(text, ws_);
    if (parse.status == DiscreteParse::Status::NoTable) {
        Label10->setText(kError);
        setMemoLines(Memo1, SplitLines(text));
        return;
    }
    const auto status = parse.status;
    const bool uncertain = parse.uncertain;
    ApplyDiscreteParse(ws_, std::move(parse));
    UpDown2->blockSignals(true);
    UpDown2->setMaximum(std::max(ws_.SolutionCount - 1, 0));
    UpDown2->blockSignals(false);
    Label10->setText(uncertain ? QStringLiteral("Uwaga") : QStringLiteral(" "));
    UpDown2Click();
    if (status == DiscreteParse::Status::Truncated) Label10->setText(kError);
    Memo1->clear();
}

void TForm1::UpDown2Click()
{
    const DiscreteView view = MakeDiscreteView(ws_, UpDown2->value(), CheckBoxDT->isChecked(), decimalSeparator());
    if (view.error) {
        Label10->setText(kError);
        if (ws_.SolutionCount > 0) {
            // The result on show is CONTIN's: no DISCRETE figures of an
            // earlier run may stand beside it as if they were current.
            StringGrid2->setColumnCount(1);
            Label5->setText(QStringLiteral("PUNC="));
            Label6->setText(QStringLiteral(" "));
            SeriesRezidua->data()->clear();
            SeriesZero->data()->clear();
            replotAll();
        }
        return;
    }
    if (UpDown2->value() != view.current) {
        UpDown2->blockSignals(true);
        UpDown2->setValue(view.current);
        UpDown2->blockSignals(false);
    }
    setLabelColour(Label6, view.first);
    StringGrid2->setColumnCount(view.columnCount);
    Label5->setText(fromCore(view.label5));
    Label5->adjustSize();
    Label6->setText(fromCore(view.label6));
    PlotData();
    PlotDiscreteSolution(*view.record, view.seriesPoints);
    for (std::size_t c = 0; c < view.cells.size(); ++c)
        for (std::size_t r = 0; r < view.cells[c].size(); ++r)
            if (c != 0 || r != 0) SetCell(StringGrid2, static_cast<int>(c), static_cast<int>(r), fromCore(view.cells[c][r]));
    StringGrid2->resizeColumnsToContents();
}

void TForm1::CheckBoxDTClick() { UpDown2Click(); }

// ---------------------------------------------------------------- results log

void TForm1::writeMemo2To(const std::string& fileName) { WriteFileAtomic(fileName, FileText(memoLines(Memo2))); }

// The steps of a "Zapamiętaj" click in order: the header stays even when the
// click then fails; a failure writes no line and no file; without a result
// the file is still written.
void TForm1::recordLogClick(const LogClick& click, const char* logFile)
{
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
    if (click.noResult) Label1->setText(kError);
    writeMemo2To(logFile);
}

void TForm1::ButtonZapiszClick()
{
    LogInput in;
    in.paramName = toCore(Edit7->text());
    in.value = Edit8->text().toStdString();
    in.inverse = CheckBox10->isChecked();
    in.decimalSeparator = decimalSeparator();
    recordLogClick(ContinLogClick(ws_, memoLineCount(Memo2) == 0, in), "tempCont.txt");
}

void TForm1::ButtonZapiszDiscClick()
{
    LogInput in;
    in.paramName = toCore(Edit9->text());
    in.value = Edit10->text().toStdString();
    in.inverse = CheckBox11->isChecked();
    in.rates = CheckBoxDT->isChecked();
    in.decimalSeparator = decimalSeparator();
    recordLogClick(DiscreteLogClick(ws_, memoLineCount(Memo2) == 0, in), "tempDisc.txt");
}

void TForm1::Zapisz1Click()
{
    const QString name = dialogs_->saveFileName(this);
    if (name.isEmpty()) return;
    writeMemo2To(name.toStdString());
}

// ---------------------------------------------------------------- export

void TForm1::saveMemo1Table()
{
    const QString name = dialogs_->saveFileName(this);
    if (name.isEmpty()) return;
    WriteFileAtomic(name.toStdString(), FileText(memoLines(Memo1)));
}

void TForm1::ButtonZapiszFidClick()
{
    setMemoLines(Memo1, FitExportTable(ws_, decimalSeparator()));
    saveMemo1Table();
}

void TForm1::ButtonRozkladClick()
{
    setMemoLines(Memo1, DistributionExportTable(ws_, decimalSeparator()));
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
    // copy installed beside the program.
    const std::filesystem::path local = "Pomoc.txt";
    const std::filesystem::path installed =
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / FLUVENA_DATA_FROM_BIN / "Pomoc.txt";
    std::string bytes;
    if (std::filesystem::exists(local)) bytes = ReadFile(local);
    else if (std::filesystem::exists(installed)) bytes = ReadFile(installed);
    else throw FileError(CannotOpenFile("Pomoc.txt"));
    Form3->setHelpText(fromCore(bytes));
}
