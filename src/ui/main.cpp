// Fluvena: start-up order. The language first, then the splash for two
// seconds, then the main window (whose creation resets the workspace) and
// the hidden help window.
#include "external/Runner.h"
#include "ui/Contin.h"
#include "ui/Help.h"
#include "ui/Language.h"
#include "ui/Unit2.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QSettings>

#include <exception>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Fluvena"));
    QCoreApplication::setApplicationName(QStringLiteral("Fluvena"));
    fluvena::ui::UseLanguage(
        fluvena::ui::ChooseLanguage(QSettings().value(QStringLiteral("language")).toString(), QLocale::system()));
    try {
        {
            TForm2 splash;
            splash.ShowFor(2000);
        }
        const auto helperDir = fluvena::HelperDirFor(QCoreApplication::applicationDirPath().toStdString());
        TForm1 form(fluvena::ui::MakeStandardDialogs(), fluvena::ui::MakeMessageBoxDisplay(), helperDir);
        TForm3 help;
        form.setHelpWindow(&help);
        form.show();
        // Files named on the command line open once the window is up.
        form.openCommandLine(QCoreApplication::arguments());
        app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QStringLiteral("Fluvena"), QString::fromUtf8(e.what()));
    } catch (...) {
        QMessageBox::critical(nullptr, QStringLiteral("Fluvena"), QString());
    }
    return 0;
}
