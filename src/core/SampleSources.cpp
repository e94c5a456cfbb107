#include "core/SampleSources.h"

namespace fluvena {

namespace {

// One field: the file's value, else the entered one, else the default (the
// one the file assumes for its instrument, or the format's).
template <typename T>
void Take(T& value, ValueSource& source, const std::optional<T>& stated, const std::optional<T>& entered,
          const std::optional<T>& assumed = std::nullopt)
{
    if (stated) {
        value = *stated;
        source = ValueSource::File;
    } else if (entered) {
        value = *entered;
        source = ValueSource::Entered;
    } else {
        if (assumed) value = *assumed;
        source = ValueSource::Default;
    }
}

}  // namespace

SampleParameters DefaultSample(io::FileFormat format)
{
    SampleParameters s;
    if (format == io::FileFormat::Alv) {
        s.dataKind = DataKind::G2Minus1;
        s.timeUnit = TimeUnit::Milliseconds;
    }
    return s;
}

ResolvedSample ResolveSample(const io::DataFile& file, const EnteredSample& entered, const SampleParameters& defaults)
{
    ResolvedSample r{defaults, {}};
    SampleParameters& v = r.values;
    SampleSources& s = r.sources;
    const io::InstrumentHeader none;
    const io::InstrumentHeader& h = file.instrument ? *file.instrument : none;
    Take(v.wavelengthNm, s[SampleField::Wavelength], h.wavelengthNm, entered.wavelengthNm, h.assumedWavelengthNm);
    Take(v.angleDeg, s[SampleField::Angle], h.angleDeg, entered.angleDeg, h.assumedAngleDeg);
    Take(v.temperatureK, s[SampleField::Temperature], h.temperatureK, entered.temperatureK);
    Take(v.viscosityCp, s[SampleField::Viscosity], h.viscosityCp, entered.viscosityCp);
    Take(v.refractiveIndex, s[SampleField::RefractiveIndex], h.refractiveIndex, entered.refractiveIndex);
    Take(v.timeUnit, s[SampleField::TimeUnit], file.timeUnit, entered.timeUnit);
    Take(v.dataKind, s[SampleField::DataKind], file.dataKind, entered.dataKind);
    // No file states a baseline: it is entered or the default.
    if (entered.baselineMode) {
        v.baselineMode = *entered.baselineMode;
        v.baseline = v.baselineMode == BaselineMode::Fixed ? entered.baseline.value_or(defaults.baseline) : defaults.baseline;
        s[SampleField::Baseline] = ValueSource::Entered;
    }
    return r;
}

std::vector<SampleField> ChangedFields(const SampleParameters& a, const SampleParameters& b)
{
    std::vector<SampleField> changed;
    const auto check = [&changed](bool differs, SampleField f) {
        if (differs) changed.push_back(f);
    };
    check(a.wavelengthNm != b.wavelengthNm, SampleField::Wavelength);
    check(a.angleDeg != b.angleDeg, SampleField::Angle);
    check(a.temperatureK != b.temperatureK, SampleField::Temperature);
    check(a.viscosityCp != b.viscosityCp, SampleField::Viscosity);
    check(a.refractiveIndex != b.refractiveIndex, SampleField::RefractiveIndex);
    check(a.timeUnit != b.timeUnit, SampleField::TimeUnit);
    check(a.dataKind != b.dataKind, SampleField::DataKind);
    check(a.baselineMode != b.baselineMode || (b.baselineMode == BaselineMode::Fixed && a.baseline != b.baseline),
          SampleField::Baseline);
    return changed;
}

EnteredSample WithEntered(EnteredSample e, const SampleParameters& s, const std::vector<SampleField>& fields)
{
    for (const SampleField f : fields) {
        switch (f) {
        case SampleField::Wavelength: e.wavelengthNm = s.wavelengthNm; break;
        case SampleField::Angle: e.angleDeg = s.angleDeg; break;
        case SampleField::Temperature: e.temperatureK = s.temperatureK; break;
        case SampleField::Viscosity: e.viscosityCp = s.viscosityCp; break;
        case SampleField::RefractiveIndex: e.refractiveIndex = s.refractiveIndex; break;
        case SampleField::TimeUnit: e.timeUnit = s.timeUnit; break;
        case SampleField::DataKind: e.dataKind = s.dataKind; break;
        case SampleField::Baseline:
            e.baselineMode = s.baselineMode;
            e.baseline = s.baseline;
            break;
        }
    }
    return e;
}

}  // namespace fluvena
