#pragma once
// The measurements opened together: one per file, or one per detector of a
// multi-detector file. Each keeps its own data, range, sample (with the
// source of every value), results and an "included" mark; one of them may be
// selected (the one on show). The window's list and fluvena-batch both work
// on this set.
//
// The sample of a newly added measurement: what its file states, else the
// values the user entered for files of its format (text, correlator, ...),
// else the defaults for that format (DefaultSample). Values entered for one
// measurement (EnterSample) are remembered for the next files of that format
// and marked Entered; nothing passes from one file to another unmarked.
#include "base/Outcome.h"
#include "core/Measurement.h"
#include "core/SampleSources.h"
#include "io/DataFile.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fluvena {

struct SetMember {
    std::string path;             // the file as it was opened (UTF-8)
    std::optional<int> detector;  // 1-based, for a multi-detector file
    std::optional<int> record;    // 1-based, for an export of several records
    Measurement measurement;
    bool included = true;         // taken into what is computed over the set
    // A value the user types for the measurement (a concentration, a dose,
    // ...) that results can be charted against; empty until one is typed.
    std::optional<double> userValue;

    // "FILE", "FILE [k]" for detector k, "FILE #k" for record k; FILE the
    // file's name without its directory.
    std::string Name() const;
    io::FileFormat Format() const { return measurement.File().format; }
};

class MeasurementSet {
public:
    // ------------------------------------------------------------ members
    std::size_t Size() const { return members_.size(); }
    bool Empty() const { return members_.empty(); }
    const SetMember& At(std::size_t index) const { return members_.at(index); }
    SetMember& At(std::size_t index) { return members_.at(index); }
    const std::vector<SetMember>& Members() const { return members_; }

    // Adds one member per measurement a file holds (as io::ReadDataFiles
    // gives them), in order, each with its sample resolved as above. The
    // answer is the index of the first added; the selection stays, or
    // becomes that member when none was selected.
    std::size_t Add(const std::string& path, std::vector<io::DataFile> files);
    // Reads the file's bytes (io::ReadDataFiles) and adds what it holds; a
    // file that cannot be read adds nothing and the failure says why.
    Outcome<std::size_t> AddFile(const std::string& path, std::string_view bytes, const io::ReadOptions& options);
    // Adds a member whose measurement is loaded already (the window loads
    // with the sample on show as the defaults); the answer is its index and
    // the selection is kept as by Add.
    std::size_t Append(SetMember member);
    // The set becomes these files' measurements (Clear, then Add).
    std::size_t Replace(const std::string& path, std::vector<io::DataFile> files);
    // No members, nothing selected; the entered values stay.
    void Clear();
    // Removes one member (an index beyond the set changes nothing). The
    // selection stays on its member; a removed selected member passes it to
    // the one that took its place, else to the one before; none when the set
    // is empty.
    void Remove(std::size_t index);

    // ------------------------------------------------------------ selection
    // Selects a member; false (changing nothing) for an index beyond the set.
    bool Select(std::size_t index);
    std::optional<std::size_t> Selected() const { return selected_; }
    // The selected member's measurement; nullptr when none is selected.
    Measurement* Current();
    const Measurement* Current() const;

    void SetIncluded(std::size_t index, bool included) { members_.at(index).included = included; }
    void SetUserValue(std::size_t index, std::optional<double> value) { members_.at(index).userValue = value; }
    std::size_t IncludedCount() const;

    // ------------------------------------------------------------ samples
    // The user's sample for a member: the values that change become Entered
    // in that measurement and are remembered for the next files of its format.
    void EnterSample(std::size_t index, const SampleParameters& sample);
    // What the user entered for files of a format (a window restores it
    // from its settings, or keeps it there).
    const EnteredSample& Entered(io::FileFormat format) const;
    void SetEntered(io::FileFormat format, const EnteredSample& entered) { entered_[format] = entered; }
    // The sample, with its sources, that the file would get if added now.
    ResolvedSample SampleForNew(const io::DataFile& file) const;

private:
    std::vector<SetMember> members_;
    std::optional<std::size_t> selected_;
    std::map<io::FileFormat, EnteredSample> entered_;
};

}  // namespace fluvena
