#pragma once
// "Plik" > "Ostatnie pliki": the files opened last, kept between starts.
#include <QString>

#include <functional>

class QMenu;

namespace fluvena::ui {

class RecentFiles {
public:
    // `open` runs when an entry is chosen.
    RecentFiles(QMenu* menu, std::function<void(const QString& path)> open);
    // The path goes first in the list (`add`) or leaves it.
    void remember(const QString& path, bool add);

private:
    void rebuild();

    QMenu* menu_;
    std::function<void(const QString&)> open_;
};

}  // namespace fluvena::ui
