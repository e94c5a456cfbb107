#pragma once
// Runs an analysis program for the window: the program works while a modal
// progress dialog keeps the window painted and offers a way out.
#include "core/EngineRunner.h"

#include <filesystem>
#include <string>

class QWidget;

namespace fluvena::ui {

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
