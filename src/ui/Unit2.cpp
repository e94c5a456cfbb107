#include "ui/Unit2.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::SplashScreen)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setFixedSize(326, 225);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    const QString texts[10] = {
        tr("Fluvena wersja 0.99 alfa"),
        tr("by"),
        tr("Zespół programu Fluvena"),
        tr("(autorzy projektu)"),
        tr("Pracownia analizy danych pomiarowych"),
        tr("rozpraszania światła"),
        tr("Projekt Fluvena"),
        tr("Interfejs graficzny do programów Contin i Discrete "),
        tr("Metody analizy: S. W. Provencher (CONTIN, DISCRETE)"),
        QStringLiteral("s-provencher.com"),
    };
    const int tops[10] = {16, 40, 64, 80, 104, 120, 136, 160, 176, 192};
    for (int k = 0; k < 10; ++k) {
        auto* l = new QLabel(texts[k], this);
        l->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        QFont f = l->font();
        f.setPointSize(k == 0 ? 12 : 8);
        // A line never runs past the window's edges: a smaller font where the
        // system's font is wide.
        while (f.pointSize() > 6 && QFontMetrics(f).horizontalAdvance(texts[k]) > width() - 8)
            f.setPointSize(f.pointSize() - 1);
        l->setFont(f);
        l->setAlignment(Qt::AlignHCenter);
        l->setGeometry(0, tops[k], width(), k == 0 ? 22 : 16);
        labels[k] = l;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
    }
}

void TForm2::ShowFor(int milliseconds)
{
    show();
    raise();
    // An event loop rather than a sleep: the window is painted when the
    // window system maps it, not before.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
