#include "ui/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSettings>

namespace fluvena::ui {

namespace {
const int kRecentFiles = 8;
const QString kKey = QStringLiteral("files/recent");
}  // namespace

RecentFiles::RecentFiles(QMenu* menu, std::function<void(const QString&)> open) : menu_(menu), open_(std::move(open))
{
    rebuild();
}

void RecentFiles::remember(const QString& path, bool add)
{
    QSettings settings;
    QStringList recent = settings.value(kKey).toStringList();
    recent.removeAll(path);
    if (add) recent.prepend(path);
    while (recent.size() > kRecentFiles) recent.removeLast();
    settings.setValue(kKey, recent);
    rebuild();
}

void RecentFiles::rebuild()
{
    // An entry may be the one being triggered: it goes once its signal is done.
    for (QAction* a : menu_->actions()) {
        menu_->removeAction(a);
        a->deleteLater();
    }
    const QStringList recent = QSettings().value(kKey).toStringList();
    for (int k = 0; k < recent.size(); ++k) {
        const QString path = recent[k];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = menu_->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(shown));
        QObject::connect(a, &QAction::triggered, menu_, [this, path] { open_(path); });
    }
    menu_->setEnabled(!recent.isEmpty());
}

}  // namespace fluvena::ui
