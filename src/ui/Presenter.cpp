#include "ui/Presenter.h"

#include "physics/Siegert.h"

#include <cmath>

namespace fluvena::ui {

Measurement& Presenter::measurement()
{
    Measurement* m = set_.Current();
    return m ? *m : empty_;
}

const Measurement& Presenter::measurement() const
{
    const Measurement* m = set_.Current();
    return m ? *m : empty_;
}

QString Presenter::path(int index) const
{
    return index >= 0 && index < count() ? QString::fromStdString(set_.At(static_cast<std::size_t>(index)).path) : QString();
}

QString Presenter::name(int index) const
{
    return index >= 0 && index < count() ? names_[static_cast<std::size_t>(index)] : QString();
}

const io::DataFile& Presenter::file(int index) const
{
    return set_.At(static_cast<std::size_t>(index)).measurement.File();
}

std::optional<SampleParameters> Presenter::loadedSample() const
{
    if (current() < 0) return std::nullopt;
    return loaded_[static_cast<std::size_t>(current())];
}

void Presenter::clear()
{
    // The reset keeps what a measurement keeps through its own reset.
    if (const Measurement* m = set_.Current()) empty_ = *m;
    empty_.Clear();
    set_.Clear();
    loaded_.clear();
    names_.clear();
    kindsAccepted_.clear();
    ++generation_;
    emit measurementChanged();
    emit setChanged();
}

void Presenter::append(std::vector<OpenedMeasurement> opened)
{
    for (OpenedMeasurement& f : opened) {
        const io::DataFile& file = f.m.File();
        const std::optional<int> detector = file.detector, record = file.record;
        loaded_.push_back(f.m.Sample());
        names_.push_back(f.name);
        kindsAccepted_.push_back(0);
        set_.Append(SetMember{f.path.toStdString(), detector, record, std::move(f.m), true, std::nullopt});
    }
}

void Presenter::open(std::vector<OpenedMeasurement> opened)
{
    if (opened.empty()) return;
    set_.Clear();
    loaded_.clear();
    names_.clear();
    kindsAccepted_.clear();
    ++generation_;
    append(std::move(opened));
    set_.Select(0);
    emit measurementChanged();
    emit setChanged();
}

void Presenter::add(std::vector<OpenedMeasurement> opened)
{
    if (opened.empty()) return;
    const std::size_t first = set_.Size();
    append(std::move(opened));
    set_.Select(first);
    emit measurementChanged();
    emit setChanged();
}

void Presenter::remove(int index)
{
    if (index < 0 || index >= count()) return;
    const bool wasShown = index == current();
    set_.Remove(static_cast<std::size_t>(index));
    loaded_.erase(loaded_.begin() + index);
    names_.erase(names_.begin() + index);
    kindsAccepted_.erase(kindsAccepted_.begin() + index);
    ++generation_;
    if (set_.Empty()) empty_.Clear();
    if (wasShown || set_.Empty()) emit measurementChanged();
    emit setChanged();
}

bool Presenter::show(int index)
{
    if (index < 0 || index >= count()) return false;
    if (index == current()) return true;
    set_.Select(static_cast<std::size_t>(index));
    emit measurementChanged();
    return true;
}

void Presenter::setIncluded(int index, bool included)
{
    if (index < 0 || index >= count() || set_.At(static_cast<std::size_t>(index)).included == included) return;
    set_.SetIncluded(static_cast<std::size_t>(index), included);
    emit setChanged();
}

void Presenter::setUserValue(int index, std::optional<double> value)
{
    if (index < 0 || index >= count() || set_.At(static_cast<std::size_t>(index)).userValue == value) return;
    set_.SetUserValue(static_cast<std::size_t>(index), value);
    emit setChanged();
}

bool Presenter::applyResult(unsigned generation, int index, Measurement result, Analysis analysis)
{
    if (generation != generation_ || index < 0 || index >= count()) return false;
    Measurement& member = set_.At(static_cast<std::size_t>(index)).measurement;
    // The sample and range the user set while the copy was analysed stay
    // (the result keeps the range it was made on).
    if (!ChangedFields(result.Sample(), member.Sample()).empty()) result.SetSample(member.Sample());
    const PointRange range = member.Range();
    result.SetRange(range.first, range.last);
    member = std::move(result);
    if (index == current()) emit resultChanged(analysis);
    emit setChanged();
    return true;
}

namespace {

unsigned KindBit(DataKind kind) { return 1u << static_cast<unsigned>(kind); }

}  // namespace

std::optional<KindDoubt> Presenter::kindDoubt(int index) const
{
    if (index < 0 || index >= count()) return std::nullopt;
    const Measurement& m = set_.At(static_cast<std::size_t>(index)).measurement;
    if (kindsAccepted_[static_cast<std::size_t>(index)] & KindBit(m.Sample().dataKind)) return std::nullopt;
    return DoubtDataKind(m);
}

void Presenter::acceptKind(int index)
{
    if (index < 0 || index >= count()) return;
    kindsAccepted_[static_cast<std::size_t>(index)] |= KindBit(set_.At(static_cast<std::size_t>(index)).measurement.Sample().dataKind);
}

void Presenter::setDataKind(int index, DataKind kind)
{
    if (index < 0 || index >= count()) return;
    Measurement& m = set_.At(static_cast<std::size_t>(index)).measurement;
    if (m.Sample().dataKind == kind) return;
    SampleParameters s = m.Sample();
    s.dataKind = kind;
    if (index == current()) return setSample(s);
    m.SetSample(s);
    emit setChanged();
}

bool Presenter::setRange(std::int64_t first, std::int64_t last)
{
    const PointRange before = measurement().Range();
    const bool set = measurement().SetRange(first, last);
    if (set && (measurement().Range().first != before.first || measurement().Range().last != before.last)) emit rangeChanged();
    return set;
}

void Presenter::setSample(const SampleParameters& sample)
{
    Measurement& shown = measurement();
    const std::vector<SampleField> changed = ChangedFields(shown.Sample(), sample);
    shown.SetSample(sample);
    // An angle or wavelength that a file assumes rather than states belongs
    // to the instrument, not to one record: it changes for every record of
    // the file that does not state its own.
    for (int k = 0; k < count(); ++k) {
        if (k == current() || path(k) != path(current())) continue;
        Measurement& other = set_.At(static_cast<std::size_t>(k)).measurement;
        const auto& h = other.File().instrument;
        SampleParameters s = other.Sample();
        for (const SampleField f : changed) {
            if (f == SampleField::Angle && !(h && h->angleDeg)) s.angleDeg = sample.angleDeg;
            if (f == SampleField::Wavelength && !(h && h->wavelengthNm)) s.wavelengthNm = sample.wavelengthNm;
        }
        if (!ChangedFields(other.Sample(), s).empty()) other.SetSample(s);
    }
    emit sampleChanged();
}

RunReport Presenter::runContin(const ContinRequest& request, EngineRunner& runner)
{
    const RunReport report = measurement().RunContin(request, runner);
    if (report.status != RunStatus::Cancelled) emit resultChanged(Analysis::Contin);
    return report;
}

RunReport Presenter::runDiscrete(const DiscreteRequest& request, EngineRunner& runner)
{
    const RunReport report = measurement().RunDiscrete(request, runner);
    if (report.status != RunStatus::Cancelled) emit resultChanged(Analysis::Discrete);
    return report;
}

RunReport Presenter::runCumulants(const CumulantRequest& request)
{
    const RunReport report = measurement().RunCumulants(request);
    emit resultChanged(Analysis::Cumulants);
    return report;
}

const ContinSolution* Presenter::showContin(std::int64_t position)
{
    if (!measurement().BringOnShow(Analysis::Contin)) return nullptr;
    const ContinSolution* s = measurement().ShowContin(position);
    emit resultChanged(Analysis::Contin);
    return s;
}

const DiscreteSolution* Presenter::showDiscrete(std::int64_t position)
{
    if (!measurement().BringOnShow(Analysis::Discrete)) return nullptr;
    const DiscreteSolution* s = measurement().ShowDiscrete(position);
    emit resultChanged(Analysis::Discrete);
    return s;
}

void Presenter::bringOnShow(Analysis analysis)
{
    if (measurement().OnShow() != analysis && measurement().BringOnShow(analysis)) emit resultChanged(analysis);
}

std::vector<double> Presenter::fitInDataTerms(const std::vector<double>& fit, const std::optional<double>& beta) const
{
    if (!beta) return fit;
    double b = 0.0;
    if (measurement().Sample().dataKind == DataKind::G2)
        if (const Outcome<double> baseline = physics::BaselineOf(measurement().Y(), measurement().Sample())) b = *baseline;
    std::vector<double> out(fit.size());
    for (std::size_t k = 0; k < fit.size(); ++k) out[k] = b + *beta * fit[k] * std::fabs(fit[k]);
    return out;
}

}  // namespace fluvena::ui
