#pragma once
// Where each value of a measurement's sample comes from. A value a data file
// states wins; else the value the user entered for files of that kind; else
// the default for that kind. Nothing passes from one file to the next unless
// the user entered it, and then its source says so.
#include "io/DataFile.h"
#include "physics/Sample.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace fluvena {

enum class ValueSource {
    Default,  // nobody stated it: the default for files of this kind
    Entered,  // the user typed or chose it (in the window or on the command line)
    File,     // the data file states it
};

// The values of SampleParameters whose source is tracked, one by one.
enum class SampleField : std::size_t {
    Wavelength,
    Angle,
    Temperature,
    Viscosity,
    RefractiveIndex,
    TimeUnit,
    DataKind,
    Baseline,  // the baseline mode and, for BaselineMode::Fixed, its value
};
inline constexpr std::size_t kSampleFieldCount = 8;

struct SampleSources {
    std::array<ValueSource, kSampleFieldCount> of{};  // all Default
    ValueSource operator[](SampleField f) const { return of[static_cast<std::size_t>(f)]; }
    ValueSource& operator[](SampleField f) { return of[static_cast<std::size_t>(f)]; }
    bool operator==(const SampleSources&) const = default;
};

// What the user entered for files of one kind: a value per field, or none.
struct EnteredSample {
    std::optional<double> wavelengthNm, angleDeg, temperatureK, viscosityCp, refractiveIndex;
    std::optional<TimeUnit> timeUnit;
    std::optional<DataKind> dataKind;
    std::optional<BaselineMode> baselineMode;
    std::optional<double> baseline;  // with BaselineMode::Fixed
    bool operator==(const EnteredSample&) const = default;
};

struct ResolvedSample {
    SampleParameters values;
    SampleSources sources;
};

// The defaults for files of a format: the deck's constants (SampleParameters'
// defaults) for text files; a correlator file records g2 - 1 over lag times
// in ms when its header does not say otherwise.
SampleParameters DefaultSample(io::FileFormat format);

// The sample of a file as read: what the file states (its data kind, time
// unit and instrument header), else `entered`, else the angle and wavelength
// the file assumes for its instrument model, else `defaults`; with the source
// of every value (an assumed value is a default: no file stated it).
ResolvedSample ResolveSample(const io::DataFile& file, const EnteredSample& entered, const SampleParameters& defaults);

// The fields in which two samples differ (the baseline's value counts only
// under BaselineMode::Fixed).
std::vector<SampleField> ChangedFields(const SampleParameters& before, const SampleParameters& after);

// `entered` with the given fields of `sample` taken over.
EnteredSample WithEntered(EnteredSample entered, const SampleParameters& sample, const std::vector<SampleField>& fields);

}  // namespace fluvena
