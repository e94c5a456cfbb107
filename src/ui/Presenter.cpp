#include "ui/Presenter.h"

#include "physics/Siegert.h"

#include <cmath>

namespace fluvena::ui {

QString Presenter::path(int index) const
{
    return index >= 0 && index < count() ? files_[static_cast<std::size_t>(index)].path : QString();
}

QString Presenter::name(int index) const
{
    return index >= 0 && index < count() ? files_[static_cast<std::size_t>(index)].name : QString();
}

const io::DataFile& Presenter::file(int index) const
{
    return index == current_ ? m_.File() : files_.at(static_cast<std::size_t>(index)).m.File();
}

std::optional<SampleParameters> Presenter::loadedSample() const
{
    if (current_ < 0) return std::nullopt;
    return files_[static_cast<std::size_t>(current_)].loaded;
}

void Presenter::clear()
{
    m_.Clear();
    files_.clear();
    current_ = -1;
    emit measurementChanged();
}

void Presenter::open(std::vector<OpenedMeasurement> opened)
{
    if (opened.empty()) return;
    files_ = std::move(opened);
    for (OpenedMeasurement& f : files_) f.loaded = f.m.Sample();
    current_ = 0;
    m_ = std::move(files_[0].m);
    emit measurementChanged();
}

bool Presenter::show(int index)
{
    if (index < 0 || index >= count()) return false;
    if (index == current_) return true;
    files_[static_cast<std::size_t>(current_)].m = std::move(m_);
    m_ = std::move(files_[static_cast<std::size_t>(index)].m);
    current_ = index;
    emit measurementChanged();
    return true;
}

bool Presenter::setRange(std::int64_t first, std::int64_t last)
{
    const PointRange before = m_.Range();
    const bool set = m_.SetRange(first, last);
    if (set && (m_.Range().first != before.first || m_.Range().last != before.last)) emit rangeChanged();
    return set;
}

void Presenter::setSample(const SampleParameters& sample)
{
    const std::vector<SampleField> changed = ChangedFields(m_.Sample(), sample);
    m_.SetSample(sample);
    // An angle or wavelength that a file assumes rather than states belongs
    // to the instrument, not to one record: it changes for every record of
    // the file that does not state its own.
    for (int k = 0; k < count(); ++k) {
        if (k == current_ || files_[static_cast<std::size_t>(k)].path != path(current_)) continue;
        Measurement& other = files_[static_cast<std::size_t>(k)].m;
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
    const RunReport report = m_.RunContin(request, runner);
    if (report.status != RunStatus::Cancelled) emit resultChanged(Analysis::Contin);
    return report;
}

RunReport Presenter::runDiscrete(const DiscreteRequest& request, EngineRunner& runner)
{
    const RunReport report = m_.RunDiscrete(request, runner);
    if (report.status != RunStatus::Cancelled) emit resultChanged(Analysis::Discrete);
    return report;
}

RunReport Presenter::runCumulants(const CumulantRequest& request)
{
    const RunReport report = m_.RunCumulants(request);
    emit resultChanged(Analysis::Cumulants);
    return report;
}

const ContinSolution* Presenter::showContin(std::int64_t position)
{
    if (!m_.BringOnShow(Analysis::Contin)) return nullptr;
    const ContinSolution* s = m_.ShowContin(position);
    emit resultChanged(Analysis::Contin);
    return s;
}

const DiscreteSolution* Presenter::showDiscrete(std::int64_t position)
{
    if (!m_.BringOnShow(Analysis::Discrete)) return nullptr;
    const DiscreteSolution* s = m_.ShowDiscrete(position);
    emit resultChanged(Analysis::Discrete);
    return s;
}

void Presenter::bringOnShow(Analysis analysis)
{
    if (m_.OnShow() != analysis && m_.BringOnShow(analysis)) emit resultChanged(analysis);
}

std::vector<double> Presenter::fitInDataTerms(const std::vector<double>& fit, const std::optional<double>& beta) const
{
    if (!beta) return fit;
    double b = 0.0;
    if (m_.Sample().dataKind == DataKind::G2)
        if (const Outcome<double> baseline = physics::BaselineOf(m_.Y(), m_.Sample())) b = *baseline;
    std::vector<double> out(fit.size());
    for (std::size_t k = 0; k < fit.size(); ++k) out[k] = b + *beta * fit[k] * std::fabs(fit[k]);
    return out;
}

}  // namespace fluvena::ui
