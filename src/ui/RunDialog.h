#pragma once
// Runs an analysis program for the window: the program works while a modal
// progress dialog keeps the window painted and offers a way out.
#include "core/EngineRunner.h"

#include <filesystem>
#include <string>

class QWidget;

namespace fluvena {
class FileLock;
}

namespace fluvena::ui {

// Takes a directory's lock for the window: at once when it is free, otherwise
// under a progress dialog "Czekam na inną analizę w tym katalogu…" with
// "Przerwij" until it is. False when the user gave up: nothing may change.
bool WaitForLock(QWidget* parent, FileLock& lock);

// Runs the program holding the lock of its working directory from the deck
// to the listing; giving up the wait counts as a cancelled run.
class DialogRunner : public EngineRunner {
public:
    DialogRunner(QWidget* parent, std::filesystem::path workDir, std::filesystem::path helperDir)
        : parent_(parent), workDir_(std::move(workDir)), helperDir_(std::move(helperDir))
    {
    }
    EngineRun Run(Engine engine, const std::vector<std::string>& deckLines) override;
    // The listing of the last run that ended (the window shows a listing the
    // parser could not use).
    const std::string& LastListing() const { return lastListing_; }

private:
    QWidget* parent_;
    std::filesystem::path workDir_;
    std::filesystem::path helperDir_;
    std::string lastListing_;
};

}  // namespace fluvena::ui
