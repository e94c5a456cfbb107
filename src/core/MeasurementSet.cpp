#include "core/MeasurementSet.h"

#include "io/DataReader.h"

#include <filesystem>

namespace fluvena {

std::string SetMember::Name() const
{
    std::string name = std::filesystem::path(path).filename().string();
    if (detector) name += " [" + std::to_string(*detector) + "]";
    if (record) name += " #" + std::to_string(*record);
    return name;
}

std::size_t MeasurementSet::Add(const std::string& path, std::vector<io::DataFile> files)
{
    const std::size_t first = members_.size();
    for (io::DataFile& file : files) {
        SetMember member{path, file.detector, file.record, Measurement(), true, std::nullopt};
        const io::FileFormat format = file.format;
        member.measurement.Load(std::move(file), DefaultSample(format), Entered(format));
        members_.push_back(std::move(member));
    }
    if (!selected_ && members_.size() > first) selected_ = first;
    return first;
}

Outcome<std::size_t> MeasurementSet::AddFile(const std::string& path, std::string_view bytes,
                                             const io::ReadOptions& options)
{
    Outcome<std::vector<io::DataFile>> files = io::ReadDataFiles(bytes, options);
    if (!files) return files.failure();
    return Add(path, std::move(files).value());
}

std::size_t MeasurementSet::Append(SetMember member)
{
    members_.push_back(std::move(member));
    if (!selected_) selected_ = members_.size() - 1;
    return members_.size() - 1;
}

std::size_t MeasurementSet::Replace(const std::string& path, std::vector<io::DataFile> files)
{
    Clear();
    return Add(path, std::move(files));
}

void MeasurementSet::Clear()
{
    members_.clear();
    selected_.reset();
}

void MeasurementSet::Remove(std::size_t index)
{
    if (index >= members_.size()) return;
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(index));
    if (!selected_) return;
    if (members_.empty()) selected_.reset();
    else if (*selected_ > index || *selected_ == members_.size()) --*selected_;
}

bool MeasurementSet::Select(std::size_t index)
{
    if (index >= members_.size()) return false;
    selected_ = index;
    return true;
}

Measurement* MeasurementSet::Current() { return selected_ ? &members_[*selected_].measurement : nullptr; }
const Measurement* MeasurementSet::Current() const { return selected_ ? &members_[*selected_].measurement : nullptr; }

std::size_t MeasurementSet::IncludedCount() const
{
    std::size_t n = 0;
    for (const SetMember& m : members_) n += m.included ? 1 : 0;
    return n;
}

void MeasurementSet::EnterSample(std::size_t index, const SampleParameters& sample)
{
    Measurement& m = members_.at(index).measurement;
    const std::vector<SampleField> changed = ChangedFields(m.Sample(), sample);
    const io::FileFormat format = m.File().format;
    entered_[format] = WithEntered(Entered(format), sample, changed);
    m.SetSample(sample);
}

const EnteredSample& MeasurementSet::Entered(io::FileFormat format) const
{
    static const EnteredSample kNone;
    const auto it = entered_.find(format);
    return it == entered_.end() ? kNone : it->second;
}

ResolvedSample MeasurementSet::SampleForNew(const io::DataFile& file) const
{
    return ResolveSample(file, Entered(file.format), DefaultSample(file.format));
}

}  // namespace fluvena
