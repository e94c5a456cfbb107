// Instrument exports with known answers, through the cumulant fit: each
// record's z-average and PDI beside the sample's truth and the instrument's
// own result.
#include "core/Measurement.h"

#include "../TestData.h"
#include "io/DataReader.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

using namespace fluvena;
namespace FT = fluvena::testing;

namespace {

// The default cumulant fit of a measurement: z-average diameter (nm) and PDI.
std::pair<double, double> Cumulants(Measurement m)
{
    const RunReport report = m.RunCumulants(CumulantRequest{});
    if (report.status != RunStatus::Ok) throw std::runtime_error(report.failure.message());
    const cumulants::Result& f = m.Cumulants()->fit;
    return {physics::ZAverageSize(f.gammaMean, f.gammaMeanErr, m.Sample())->diameterNm, f.pdi};
}

}  // namespace

// Truth: z-average diameter 99.3 nm, PDI 0.015, measured at 173 degrees and
// 632.8 nm, which the export does not state.
TEST(InstrumentFiles, ZetasizerRecords)
{
    const auto records = io::ReadDataFiles(FT::ReadFixture("instruments/zetasizer-export.txt"), {});
    ASSERT_TRUE(records.ok()) << records.failure().message();
    ASSERT_EQ(records->size(), 3u);
    for (const io::DataFile& file : *records) {
        SCOPED_TRACE(file.instrument->sampleName);
        Measurement m;
        m.Load(file);
        EXPECT_EQ(m.Sample().angleDeg, 173.0);
        const auto [z, pdi] = Cumulants(m);
        const io::InstrumentHeader& h = *file.instrument;
        EXPECT_NEAR(z, 99.3, 0.015 * 99.3);
        EXPECT_NEAR(z, *h.reportedZAverageNm, 0.015 * *h.reportedZAverageNm);
        EXPECT_NEAR(pdi, 0.015, 0.03);
        EXPECT_NEAR(pdi, *h.reportedPdi, 0.03);
    }
    // The same record measured at 90 degrees (a Nano S90) is another size:
    // q^2 and so the diameter scale with sin^2(theta / 2).
    io::DataFile s90 = records->front();
    s90.instrument->assumedAngleDeg = 90.0;
    Measurement at90, at173;
    at90.Load(s90);
    at173.Load(records->front());
    EXPECT_EQ(at90.Sample().angleDeg, 90.0);
    const double ratio = std::pow(std::sin(M_PI / 4) / std::sin(173.0 * M_PI / 360), 2);
    EXPECT_NEAR(Cumulants(at90).first / Cumulants(at173).first, ratio, 1e-9);
}

// Truth: z-average radius 98.0 nm (diameter 196.0), PDI 0.041; the first
// three lags are the correlator's dead time.
TEST(InstrumentFiles, LsiDeadTimeLeftOutOfTheDefaultRange)
{
    Measurement m;
    m.Load(FT::LoadFixture("instruments/lsi-pseudo-cross.dat"));
    EXPECT_EQ(m.Range().first, 3);
    EXPECT_EQ(m.Range().last, 384);
    const auto [z, pdi] = Cumulants(m);
    EXPECT_NEAR(z, 196.0, 0.015 * 196.0);
    EXPECT_NEAR(pdi, 0.041, 0.03);

    // The user may still take them in; the fit then has nothing sound to start from.
    ASSERT_TRUE(m.SetRange(0, 384));
    EXPECT_EQ(m.Range().first, 0);
    EXPECT_EQ(m.RunCumulants(CumulantRequest{}).status, RunStatus::Failed);
}
