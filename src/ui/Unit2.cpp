#include "ui/Unit2.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

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
        QStringLiteral("Fluvena wersja 0.99 alfa"),
        QStringLiteral("by"),
        QStringLiteral("Zespół programu Fluvena"),
        QStringLiteral("(autorzy projektu)"),
        QStringLiteral("Pracownia analizy danych pomiarowych"),
        QStringLiteral("rozpraszania światła"),
        QStringLiteral("Projekt Fluvena"),
        QStringLiteral("Interfejs graficzny do programów Contin i Discrete "),
        QStringLiteral("Metody analizy: S. W. Provencher (CONTIN, DISCRETE)"),
        QStringLiteral("Comput. Phys. Commun. 27 (1982) 213, 229; Biophys. J. 16 (1976) 27"),
    };
    const int tops[10] = {16, 40, 64, 80, 104, 120, 136, 160, 176, 192};
    for (int k = 0; k < 10; ++k) {
        auto* l = new QLabel(texts[k], this);
        l->setObjectName(QStringLiteral("Label%1").arg(k + 1));
        QFont f = l->font();
        f.setPointSize(k == 0 ? 12 : 8);
        l->setFont(f);
        l->setAlignment(Qt::AlignHCenter);
        l->setGeometry(0, tops[k], 326, k == 0 ? 22 : 16);
        labels[k] = l;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
    }
}
