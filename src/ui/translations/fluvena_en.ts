<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="pl_PL">
<context>
    <name>Chart</name>
    <message>
        <source>Zapisz jako PNG…</source>
        <translation>Save as PNG…</translation>
    </message>
    <message>
        <source>Obraz PNG (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>Zapisz jako SVG…</source>
        <translation>Save as SVG…</translation>
    </message>
    <message>
        <source>Rysunek SVG (*.svg)</source>
        <translation>SVG drawing (*.svg)</translation>
    </message>
    <message>
        <source>Zapisz jako PDF…</source>
        <translation>Save as PDF…</translation>
    </message>
    <message>
        <source>Dokument PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Cały wykres</source>
        <translation>Whole chart</translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>no data are loaded</source>
        <translation>no data are loaded</translation>
    </message>
    <message>
        <source>the range is reversed: its first point (%1) lies after its last point (%2)</source>
        <translation>the range is reversed: its first point (%1) lies after its last point (%2)</translation>
    </message>
    <message>
        <source>too few points in the range (%1; %2 needs at least %3)</source>
        <translation>too few points in the range (%1; %2 needs at least %3)</translation>
    </message>
    <message>
        <source>CONTIN rejected the deck: %1</source>
        <translation>CONTIN rejected the deck: %1</translation>
    </message>
    <message>
        <source>DISCRETE rejected the deck: %1</source>
        <translation>DISCRETE rejected the deck: %1</translation>
    </message>
    <message>
        <source>DISCRETE gives no solution: %1</source>
        <translation>DISCRETE gives no solution: %1</translation>
    </message>
    <message>
        <source>NG = %1 does not fit the deck&apos;s field for the number of grid points (%2 ... %3)</source>
        <translation>NG = %1 does not fit the deck&apos;s field for the number of grid points (%2 ... %3)</translation>
    </message>
    <message>
        <source>incomplete listing: %1</source>
        <translation>incomplete listing: %1</translation>
    </message>
    <message>
        <source>the file holds no data</source>
        <translation>the file holds no data</translation>
    </message>
    <message>
        <source>the file is too large (%1 bytes)</source>
        <translation>the file is too large (%1 bytes)</translation>
    </message>
    <message>
        <source>the file has too many lines</source>
        <translation>the file has too many lines</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is not a number</source>
        <translation>line %1: &apos;%2&apos; is not a number</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is beyond the range of numbers</source>
        <translation>line %1: &apos;%2&apos; is beyond the range of numbers</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is not a whole number</source>
        <translation>line %1: &apos;%2&apos; is not a whole number</translation>
    </message>
    <message>
        <source>line %1: the time %2 is negative</source>
        <translation>line %1: the time %2 is negative</translation>
    </message>
    <message>
        <source>line %1: the time %2 is not greater than the time before it (%3)</source>
        <translation>line %1: the time %2 is not greater than the time before it (%3)</translation>
    </message>
    <message>
        <source>line %1: a blank line among the data</source>
        <translation>line %1: a blank line among the data</translation>
    </message>
    <message>
        <source>line %1: column %2 is empty</source>
        <translation>line %1: column %2 is empty</translation>
    </message>
    <message>
        <source>line %1: there is no column %2</source>
        <translation>line %1: there is no column %2</translation>
    </message>
    <message>
        <source>line %1: a single number where a time and a value are needed</source>
        <translation>line %1: a single number where a time and a value are needed</translation>
    </message>
    <message>
        <source>line %1: %2 columns where the block&apos;s first row has %3</source>
        <translation>line %1: %2 columns where the block&apos;s first row has %3</translation>
    </message>
    <message>
        <source>line %1: a second &quot;%2&quot; block</source>
        <translation>line %1: a second &quot;%2&quot; block</translation>
    </message>
    <message>
        <source>the file holds no &quot;Correlation&quot; block</source>
        <translation>the file holds no &quot;Correlation&quot; block</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds no rows</source>
        <translation>line %1: the &quot;Correlation&quot; block holds no rows</translation>
    </message>
    <message>
        <source>line %1: the mode &apos;%2&apos; names channel %3, which the &quot;Correlation&quot; block lacks</source>
        <translation>line %1: the mode &apos;%2&apos; names channel %3, which the &quot;Correlation&quot; block lacks</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds only zeros in the channels the mode &apos;%2&apos; names</source>
        <translation>line %1: the &quot;Correlation&quot; block holds only zeros in the channels the mode &apos;%2&apos; names</translation>
    </message>
    <message>
        <source>line %1: the &quot;Count Rate&quot; block lacks channel %2</source>
        <translation>line %1: the &quot;Count Rate&quot; block lacks channel %2</translation>
    </message>
    <message>
        <source>the coherence factor beta cannot be found from the cumulant fit: %1</source>
        <translation>the coherence factor beta cannot be found from the cumulant fit: %1</translation>
    </message>
    <message>
        <source>point %1 of the correlation is not a number</source>
        <translation>point %1 of the correlation is not a number</translation>
    </message>
    <message>
        <source>point %1 of the correlation is out of range after the conversion</source>
        <translation>point %1 of the correlation is out of range after the conversion</translation>
    </message>
    <message>
        <source>a baseline needs at least one point</source>
        <translation>a baseline needs at least one point</translation>
    </message>
    <message>
        <source>the baseline must be a number, not %1</source>
        <translation>the baseline must be a number, not %1</translation>
    </message>
    <message>
        <source>the coherence factor beta must be a positive number, not %1: the Siegert relation cannot give g1</source>
        <translation>the coherence factor beta must be a positive number, not %1: the Siegert relation cannot give g1</translation>
    </message>
    <message>
        <source>no decay: the correlation starts at %1 and ends at %2, which is not clearly apart for a point scatter of %3</source>
        <translation>no decay: the correlation starts at %1 and ends at %2, which is not clearly apart for a point scatter of %3</translation>
    </message>
    <message>
        <source>the lag times of the fit range are too few distinct values to fit %1 cumulants</source>
        <translation>the lag times of the fit range are too few distinct values to fit %1 cumulants</translation>
    </message>
    <message>
        <source>the non-linear fit did not converge in %1 iterations</source>
        <translation>the non-linear fit did not converge in %1 iterations</translation>
    </message>
    <message>
        <source>%1 lag times for %2 correlation values</source>
        <translation>%1 lag times for %2 correlation values</translation>
    </message>
    <message>
        <source>the cumulant order must be 2 or 3, not %1</source>
        <translation>the cumulant order must be 2 or 3, not %1</translation>
    </message>
    <message>
        <source>point %1 is not a number</source>
        <translation>point %1 is not a number</translation>
    </message>
    <message>
        <source>the lag times must be at least 0 and increase from point to point, point %1 does not</source>
        <translation>the lag times must be at least 0 and increase from point to point, point %1 does not</translation>
    </message>
    <message>
        <source>the fit range from point %1 to %2 does not lie within the %3 points</source>
        <translation>the fit range from point %1 to %2 does not lie within the %3 points</translation>
    </message>
    <message>
        <source>the error of a decay rate must be zero or positive, not %1</source>
        <translation>the error of a decay rate must be zero or positive, not %1</translation>
    </message>
    <message>
        <source>the cut-off must lie from 0 up to, not including, 1, not %1</source>
        <translation>the cut-off must lie from 0 up to, not including, 1, not %1</translation>
    </message>
    <message>
        <source>only %1 points: a cumulant fit needs at least %2</source>
        <translation>only %1 points: a cumulant fit needs at least %2</translation>
    </message>
    <message>
        <source>only %1 usable points from point %2 to %3: a cumulant fit needs at least %4</source>
        <translation>only %1 usable points from point %2 to %3: a cumulant fit needs at least %4</translation>
    </message>
    <message>
        <source>the first point already lies below the cut-off: no range to fit</source>
        <translation>the first point already lies below the cut-off: no range to fit</translation>
    </message>
    <message>
        <source>the fitted mean decay rate is %1 1/s: the data show no decay in the fit range</source>
        <translation>the fitted mean decay rate is %1 1/s: the data show no decay in the fit range</translation>
    </message>
    <message>
        <source>the correlation stays above the cut-off: the range runs to the last point</source>
        <translation>the correlation stays above the cut-off: the range runs to the last point</translation>
    </message>
    <message>
        <source>the wavelength must be a positive number of nm, not %1</source>
        <translation>the wavelength must be a positive number of nm, not %1</translation>
    </message>
    <message>
        <source>the refractive index must be positive, not %1</source>
        <translation>the refractive index must be positive, not %1</translation>
    </message>
    <message>
        <source>the scattering angle must lie above 0 and at most 180 degrees, not %1</source>
        <translation>the scattering angle must lie above 0 and at most 180 degrees, not %1</translation>
    </message>
    <message>
        <source>a size needs a positive decay rate, not %1</source>
        <translation>a size needs a positive decay rate, not %1</translation>
    </message>
    <message>
        <source>a size needs a positive decay time, not %1</source>
        <translation>a size needs a positive decay time, not %1</translation>
    </message>
    <message>
        <source>the temperature must be a positive number of K, not %1</source>
        <translation>the temperature must be a positive number of K, not %1</translation>
    </message>
    <message>
        <source>the viscosity must be a positive number of cP, not %1</source>
        <translation>the viscosity must be a positive number of cP, not %1</translation>
    </message>
    <message>
        <source>the viscosity of water is known here from 273.15 to 373.15 K, not at %1 K</source>
        <translation>the viscosity of water is known here from 273.15 to 373.15 K, not at %1 K</translation>
    </message>
    <message>
        <source>a custom solvent has no preset values: enter its viscosity and refractive index</source>
        <translation>a custom solvent has no preset values: enter its viscosity and refractive index</translation>
    </message>
    <message>
        <source>record %1 (&apos;%2&apos;) holds distributions only, no correlogram</source>
        <translation>record %1 (&apos;%2&apos;) holds distributions only, no correlogram</translation>
    </message>
    <message>
        <source>line %1: this is not the header row of a Zetasizer export (it names no &quot;Sample Name&quot; and no &quot;Correlation Data[k]&quot; column)</source>
        <translation>line %1: this is not the header row of a Zetasizer export (it names no &quot;Sample Name&quot; and no &quot;Correlation Data[k]&quot; column)</translation>
    </message>
    <message>
        <source>line %1: %2 fields where the header row (line %3) names %4 columns</source>
        <translation>line %1: %2 fields where the header row (line %3) names %4 columns</translation>
    </message>
    <message>
        <source>the tables of line %1 and line %2 hold different numbers of records (%3 and %4)</source>
        <translation>the tables of line %1 and line %2 hold different numbers of records (%3 and %4)</translation>
    </message>
    <message>
        <source>line %1: the header row is followed by no record</source>
        <translation>line %1: the header row is followed by no record</translation>
    </message>
    <message>
        <source>line %1: the column &apos;%2&apos; is not in microseconds (&quot;Correlation Delay Times[k] (µs)&quot;)</source>
        <translation>line %1: the column &apos;%2&apos; is not in microseconds (&quot;Correlation Delay Times[k] (µs)&quot;)</translation>
    </message>
    <message>
        <source>line %1: the column &apos;%2&apos; has no partner &apos;%3&apos;</source>
        <translation>line %1: the column &apos;%2&apos; has no partner &apos;%3&apos;</translation>
    </message>
    <message>
        <source>line %1: record %2 has the %3 &apos;%4&apos; here but &apos;%5&apos; on line %6: the tables do not hold the same records in the same order</source>
        <translation>line %1: record %2 has the %3 &apos;%4&apos; here but &apos;%5&apos; on line %6: the tables do not hold the same records in the same order</translation>
    </message>
    <message>
        <source>line %1: record %2 has no value in the column &apos;%3&apos; beside the other column of point %4</source>
        <translation>line %1: record %2 has no value in the column &apos;%3&apos; beside the other column of point %4</translation>
    </message>
    <message>
        <source>the file holds no &quot;Lag time (s)&quot; block</source>
        <translation>the file holds no &quot;Lag time (s)&quot; block</translation>
    </message>
    <message>
        <source>line %1: the &quot;Lag time (s)&quot; block holds no rows</source>
        <translation>line %1: the &quot;Lag time (s)&quot; block holds no rows</translation>
    </message>
    <message>
        <source>line %1: the &quot;Lag time (s)&quot; block has %2 columns where a lag time and g2-1 are needed</source>
        <translation>line %1: the &quot;Lag time (s)&quot; block has %2 columns where a lag time and g2-1 are needed</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; needs one number</source>
        <translation>line %1: &apos;%2&apos; needs one number</translation>
    </message>
    <message>
        <source>the correlator&apos;s dead time</source>
        <translation>the correlator&apos;s dead time</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; needs two numbers</source>
        <translation>line %1: &apos;%2&apos; needs two numbers</translation>
    </message>
    <message>
        <source>only %1 points in the range: a decay needs at least %2 to be judged</source>
        <translation>only %1 points in the range: a decay needs at least %2 to be judged</translation>
    </message>
    <message>
        <source>no decay above the noise: the correlation starts at %1 and ends at %2, for a point scatter of %3</source>
        <translation>no decay above the noise: the correlation starts at %1 and ends at %2, for a point scatter of %3</translation>
    </message>
    <message>
        <source>the first %1 lags are not correlation values (at or below zero, or far above the lags after them): start the range at point %2</source>
        <translation>the first %1 lags are not correlation values (at or below zero, or far above the lags after them): start the range at point %2</translation>
    </message>
    <message>
        <source>the correlation has not decayed by the last lag: its tail stands at %1 % of the intercept</source>
        <translation>the correlation has not decayed by the last lag: its tail stands at %1 % of the intercept</translation>
    </message>
    <message>
        <source>the tail&apos;s mean %1 lies %2 standard errors from the baseline (%3 % of the intercept)</source>
        <translation>the tail&apos;s mean %1 lies %2 standard errors from the baseline (%3 % of the intercept)</translation>
    </message>
    <message>
        <source>the intercept %1 lies above 1: these are not g2 - 1 data (g2 with its baseline of 1, or g1?)</source>
        <translation>the intercept %1 lies above 1: these are not g2 - 1 data (g2 with its baseline of 1, or g1?)</translation>
    </message>
    <message>
        <source>the intercept %1 lies below %2: little coherent signal</source>
        <translation>the intercept %1 lies below %2: little coherent signal</translation>
    </message>
    <message>
        <source>the intercept %1 lies below %2: far below what a correlator reaches (alignment, stray light, too many coherence areas)</source>
        <translation>the intercept %1 lies below %2: far below what a correlator reaches (alignment, stray light, too many coherence areas)</translation>
    </message>
    <message>
        <source>count rate of channel %1: %2 sample(s) far above the median %3 kHz, the highest %4 kHz at %5 s (%6 robust deviations): dust?</source>
        <translation>count rate of channel %1: %2 sample(s) far above the median %3 kHz, the highest %4 kHz at %5 s (%6 robust deviations): dust?</translation>
    </message>
    <message>
        <source>count rate of channel %1 drifts by %2 % from the first third of the run to the last</source>
        <translation>count rate of channel %1 drifts by %2 % from the first third of the run to the last</translation>
    </message>
    <message>
        <source>the residuals at the start (rms %1) are %2 times the data&apos;s point scatter (%3); runs test z = %4</source>
        <translation>the residuals at the start (rms %1) are %2 times the data&apos;s point scatter (%3); runs test z = %4</translation>
    </message>
    <message>
        <source>the residuals run in long blocks of one sign (runs test z = %1), within the data&apos;s scatter</source>
        <translation>the residuals run in long blocks of one sign (runs test z = %1), within the data&apos;s scatter</translation>
    </message>
    <message>
        <source>PDI %1 above %2: the cumulant mean is no meaningful size; see the distribution analyses</source>
        <translation>PDI %1 above %2: the cumulant mean is no meaningful size; see the distribution analyses</translation>
    </message>
    <message>
        <source>PDI %1 above %2: a broad distribution; CONTIN and DISCRETE say more</source>
        <translation>PDI %1 above %2: a broad distribution; CONTIN and DISCRETE say more</translation>
    </message>
    <message>
        <source>%1 lies wholly below the first lag time (%2): the data cannot see it</source>
        <translation>%1 lies wholly below the first lag time (%2): the data cannot see it</translation>
    </message>
    <message>
        <source>%1 lies wholly beyond the last lag time (%2): the data cannot see it</source>
        <translation>%1 lies wholly beyond the last lag time (%2): the data cannot see it</translation>
    </message>
    <message>
        <source>peak %1 (%2 % of the intensity) at decay time %3 lies outside the lag times %4 ... %5</source>
        <translation>peak %1 (%2 % of the intensity) at decay time %3 lies outside the lag times %4 ... %5</translation>
    </message>
    <message>
        <source>peak %1 (%2 % of the intensity) reaches the %3 end of the grid (%4): the grid, not the data, bounds it</source>
        <translation>peak %1 (%2 % of the intensity) reaches the %3 end of the grid (%4): the grid, not the data, bounds it</translation>
    </message>
    <message>
        <source>component %1 (%2 % of the amplitude) at decay time %3 lies outside the lag times %4 ... %5</source>
        <translation>component %1 (%2 % of the amplitude) at decay time %3 lies outside the lag times %4 ... %5</translation>
    </message>
    <message>
        <source>no size for %1</source>
        <translation>no size for %1</translation>
    </message>
    <message>
        <source>no size is given: %1</source>
        <translation>no size is given: %1</translation>
    </message>
    <message>
        <source>the first %1 lags are left out of the range: %2</source>
        <translation>the first %1 lags are left out of the range: %2</translation>
    </message>
    <message>
        <source>the listing doubts that its best solution is best</source>
        <translation>the listing doubts that its best solution is best</translation>
    </message>
    <message>
        <source>lower</source>
        <translation>lower</translation>
    </message>
    <message>
        <source>upper</source>
        <translation>upper</translation>
    </message>
    <message>
        <source>peak %1</source>
        <translation>peak %1</translation>
    </message>
    <message>
        <source>component %1</source>
        <translation>component %1</translation>
    </message>
    <message>
        <source>column %1 cannot be chosen: columns count from 1</source>
        <translation>column %1 cannot be chosen: columns count from 1</translation>
    </message>
    <message>
        <source>line %1: %2 columns where the data rows before it (from line %3) have %4</source>
        <translation>line %1: %2 columns where the data rows before it (from line %3) have %4</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; gives %3, not strictly between %4 and %5</source>
        <translation>line %1: &apos;%2&apos; gives %3, not strictly between %4 and %5</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; gives %3, outside %4 ... %5</source>
        <translation>line %1: &apos;%2&apos; gives %3, outside %4 ... %5</translation>
    </message>
    <message>
        <source>line %1: a blank line inside the &quot;%2&quot; block</source>
        <translation>line %1: a blank line inside the &quot;%2&quot; block</translation>
    </message>
    <message>
        <source>line %1: a second angle of detector %2</source>
        <translation>line %1: a second angle of detector %2</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block has %2 columns of values, but the header gives the angles of %3 detectors: the columns cannot be matched to the angles</source>
        <translation>line %1: the &quot;Correlation&quot; block has %2 columns of values, but the header gives the angles of %3 detectors: the columns cannot be matched to the angles</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds only zeros</source>
        <translation>line %1: the &quot;Correlation&quot; block holds only zeros</translation>
    </message>
    <message>
        <source>line %1: the &quot;Count Rate&quot; block has %2 columns of rates, but the header gives the angles of %3 detectors: the columns cannot be matched to the detectors</source>
        <translation>line %1: the &quot;Count Rate&quot; block has %2 columns of rates, but the header gives the angles of %3 detectors: the columns cannot be matched to the detectors</translation>
    </message>
    <message>
        <source>line %1: the detector angles are not numbered 1 to %2</source>
        <translation>line %1: the detector angles are not numbered 1 to %2</translation>
    </message>
    <message>
        <source>line %1: the file ends before its &quot;Count Rate&quot; block: it is cut short</source>
        <translation>line %1: the file ends before its &quot;Count Rate&quot; block: it is cut short</translation>
    </message>
    <message>
        <source>line %1: the file ends inside the &quot;Correlation&quot; block: it is cut short</source>
        <translation>line %1: the file ends inside the &quot;Correlation&quot; block: it is cut short</translation>
    </message>
    <message>
        <source>line %1: the file ends inside the &quot;Count Rate&quot; block: it is cut short</source>
        <translation>line %1: the file ends inside the &quot;Count Rate&quot; block: it is cut short</translation>
    </message>
    <message>
        <source>line %1: the file ends inside this line: it is cut short</source>
        <translation>line %1: the file ends inside this line: it is cut short</translation>
    </message>
    <message>
        <source>the file holds the measurements of %1 detectors, which are read as separate measurements</source>
        <translation>the file holds the measurements of %1 detectors, which are read as separate measurements</translation>
    </message>
    <message>
        <source>the refractive index must lie from 1.0 to 3.0, not %1</source>
        <translation>the refractive index must lie from 1.0 to 3.0, not %1</translation>
    </message>
    <message>
        <source>the scattering angle must lie strictly between 0 and 180 degrees, not %1</source>
        <translation>the scattering angle must lie strictly between 0 and 180 degrees, not %1</translation>
    </message>
    <message>
        <source>the temperature must lie from 200 to 500 K, not %1</source>
        <translation>the temperature must lie from 200 to 500 K, not %1</translation>
    </message>
    <message>
        <source>the viscosity must lie from 0.01 to 10000 cP, not %1</source>
        <translation>the viscosity must lie from 0.01 to 10000 cP, not %1</translation>
    </message>
    <message>
        <source>the wavelength must lie from 100 to 2000 nm, not %1</source>
        <translation>the wavelength must lie from 100 to 2000 nm, not %1</translation>
    </message>
    <message>
        <source>it is a directory</source>
        <translation>it is a directory</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>it is larger than %1 MB</translation>
    </message>
    <message>
        <source>the intercept %1 lies above %2 and the correlation settles at %3: g2 data with their baseline, not g2 - 1</source>
        <translation>the intercept %1 lies above %2 and the correlation settles at %3: g2 data with their baseline, not g2 - 1</translation>
    </message>
    <message>
        <source>the intercept %1 lies above %2, which g2 - 1 data (beta g1^2, beta at most 1) cannot reach: a decay of another kind (g1)</source>
        <translation>the intercept %1 lies above %2, which g2 - 1 data (beta g1^2, beta at most 1) cannot reach: a decay of another kind (g1)</translation>
    </message>
    <message>
        <source>the intercept %1 is 1 within %2: g1 data start at 1, g2 - 1 data at the coherence factor beta, below 1</source>
        <translation>the intercept %1 is 1 within %2: g1 data start at 1, g2 - 1 data at the coherence factor beta, below 1</translation>
    </message>
    <message>
        <source>the correlation settles at %1, not at 0: g2 data with their baseline, not g1</source>
        <translation>the correlation settles at %1, not at 0: g2 data with their baseline, not g1</translation>
    </message>
    <message>
        <source>the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor beta</source>
        <translation>the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor beta</translation>
    </message>
    <message>
        <source>the correlation settles at %1, not at a baseline near 1: these are not g2 data</source>
        <translation>the correlation settles at %1, not at a baseline near 1: these are not g2 data</translation>
    </message>
    <message>
        <source>no size can be given for the decay rate %1 1/s: the result lies beyond the range of numbers</source>
        <translation>no size can be given for the decay rate %1 1/s: the result lies beyond the range of numbers</translation>
    </message>
    <message>
        <source>a component of rate %1 has no decay time, so no size</source>
        <translation>a component of rate %1 has no decay time, so no size</translation>
    </message>
    <message>
        <source>a measurement in the fit has no positive scattering vector or mean rate</source>
        <translation>a measurement in the fit has no positive scattering vector or mean rate</translation>
    </message>
    <message>
        <source>the fit over q² needs at least two included measurements</source>
        <translation>the fit over q² needs at least two included measurements</translation>
    </message>
    <message>
        <source>the fit over q² needs measurements at two angles at least</source>
        <translation>the fit over q² needs measurements at two angles at least</translation>
    </message>
</context>
<context>
    <name>DialogRunner</name>
    <message>
        <source>Trwa obliczanie programem %1…</source>
        <translation>%1 is computing…</translation>
    </message>
    <message>
        <source>Przerwij</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Czekam na inną analizę w tym katalogu…</source>
        <translation>Waiting for another analysis in this directory…</translation>
    </message>
</context>
<context>
    <name>ResultsMemo</name>
    <message>
        <source>BŁĄD</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Wcześniejszy plik %1 zachowano jako %2</source>
        <translation>The earlier %1 was kept as %2</translation>
    </message>
</context>
<context>
    <name>StandardDialogs</name>
    <message>
        <source>Katalog roboczy</source>
        <translation>Working directory</translation>
    </message>
    <message>
        <source>Wyniki w oknie wyników nie zostały zapisane. Zapisać je przed zamknięciem?</source>
        <translation>The results in the results window have not been saved. Save them before closing?</translation>
    </message>
    <message>
        <source>Zapisz…</source>
        <translation>Save…</translation>
    </message>
    <message>
        <source>Nie zapisuj</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Kolumny danych</source>
        <translation>Data columns</translation>
    </message>
    <message>
        <source>Plik %1 ma %2 kolumn liczb. Które z nich czytać?</source>
        <translation>The file %1 has %2 numeric columns. Which of them should be read?</translation>
    </message>
    <message>
        <source>Kolumna czasu</source>
        <translation>Time column</translation>
    </message>
    <message>
        <source>Kolumna korelacji</source>
        <translation>Correlation column</translation>
    </message>
    <message>
        <source>Analizuj jako %1</source>
        <translation>Analyse as %1</translation>
    </message>
    <message>
        <source>Analizuj bez zmian</source>
        <translation>Analyse as they are</translation>
    </message>
    <message>
        <source>Zmień na %1 i analizuj</source>
        <translation>Change to %1 and analyse</translation>
    </message>
    <message>
        <source>Zmień rodzaj danych i analizuj</source>
        <translation>Change the data kind and analyse</translation>
    </message>
    <message>
        <source>Dane pomiaru %1 wyglądają raczej na %2 niż na %3: %4.

Analizować je mimo to jako %3?</source>
        <translation>The data of %1 look like %2 rather than %3: %4.

Analyse them as %3 all the same?</translation>
    </message>
    <message>
        <source>Dane tych pomiarów wyglądają na inny rodzaj niż wybrany:</source>
        <translation>The data of these measurements look like another kind than the one chosen:</translation>
    </message>
    <message>
        <source>• %1: raczej %2 niż %3 (%4)</source>
        <translation>• %1: %2 rather than %3 (%4)</translation>
    </message>
    <message>
        <source>Analizować zestaw mimo to?</source>
        <translation>Analyse the set all the same?</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Fluvena 0.99 alfa</source>
        <translation>Fluvena 0.99 alpha</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Plik</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Otwórz</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Ostatnie pliki</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>Katalog roboczy…</source>
        <translation>Working directory…</translation>
    </message>
    <message>
        <source>Zamknij</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Analiza</source>
        <translation>Analysis</translation>
    </message>
    <message>
        <source>Uruchom analizę tej zakładki</source>
        <translation>Run the analysis of this page</translation>
    </message>
    <message>
        <source>Pokaż wybrane rozwiązanie</source>
        <translation>Show the chosen solution</translation>
    </message>
    <message>
        <source>Język</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Pomoc</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Wybrane</source>
        <translation>Chosen</translation>
    </message>
    <message>
        <source>Pokaż rozwiązanie wybrane przez program (Home)</source>
        <translation>Show the solution the program chose (Home)</translation>
    </message>
    <message>
        <source>Rozwiązanie</source>
        <translation>Solution</translation>
    </message>
    <message>
        <source>dane − fit</source>
        <translation>data − fit</translation>
    </message>
    <message>
        <source>Katalog roboczy: %1</source>
        <translation>Working directory: %1</translation>
    </message>
    <message>
        <source>Czas [%1]</source>
        <translation>Time [%1]</translation>
    </message>
    <message>
        <source>Odchylenie</source>
        <translation>Residual</translation>
    </message>
    <message>
        <source>Kumulanty</source>
        <translation>Cumulants</translation>
    </message>
    <message>
        <source>Poprzedni plik</source>
        <translation>Previous file</translation>
    </message>
    <message>
        <source>Następny plik</source>
        <translation>Next file</translation>
    </message>
    <message>
        <source>Otwórz jeden lub kilka plików danych</source>
        <translation>Open one or several data files</translation>
    </message>
    <message>
        <source>Dane (*.txt *.dat *.csv *.asc)</source>
        <translation>Data (*.txt *.dat *.csv *.asc)</translation>
    </message>
    <message>
        <source>Wszystkie (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Nie można odczytać pliku %1: %2</source>
        <translation>Cannot read the file %1: %2</translation>
    </message>
    <message>
        <source>Plik korelatora: odczytano nagłówek (%1 wierszy)</source>
        <translation>Correlator file: header read (%1 lines)</translation>
    </message>
    <message>
        <source>Pominięto wiersze nagłówka: %1</source>
        <translation>Header lines skipped: %1</translation>
    </message>
    <message>
        <source>Próbka</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>Tekst (*.txt)</source>
        <translation>Text (*.txt)</translation>
    </message>
    <message>
        <source>ALV (*.asc)</source>
        <translation>ALV (*.asc)</translation>
    </message>
    <message>
        <source>Zetasizer (*.txt)</source>
        <translation>Zetasizer (*.txt)</translation>
    </message>
    <message>
        <source>LS Instruments (*.dat)</source>
        <translation>LS Instruments (*.dat)</translation>
    </message>
    <message>
        <source>Zestaw</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Dodaj do zestawu</source>
        <translation>Add to set</translation>
    </message>
    <message>
        <source>Dodaj pliki danych do otwartego zestawu pomiarów</source>
        <translation>Add data files to the open set of measurements</translation>
    </message>
    <message>
        <source>Usuń pokazany pomiar z zestawu</source>
        <translation>Remove the shown measurement from the set</translation>
    </message>
    <message>
        <source>Analizuj wszystkie</source>
        <translation>Analyse all</translation>
    </message>
    <message>
        <source>Analiza tej zakładki z jej ustawieniami na każdym zaznaczonym pomiarze zestawu</source>
        <translation>This page&apos;s analysis with its settings on every included measurement of the set</translation>
    </message>
    <message>
        <source>Przerwij</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Brak zaznaczonych pomiarów do analizy</source>
        <translation>No included measurements to analyse</translation>
    </message>
    <message>
        <source>Analiza zestawu…</source>
        <translation>Analysing the set…</translation>
    </message>
    <message>
        <source>Przeanalizowano %1 z %2 pomiarów</source>
        <translation>Analysed %1 of %2 measurements</translation>
    </message>
    <message>
        <source> (przerwano)</source>
        <translation> (stopped)</translation>
    </message>
    <message>
        <source>; bez wyniku: %1</source>
        <translation>; without a result: %1</translation>
    </message>
    <message>
        <source>Pomiary bez wyniku:</source>
        <translation>Measurements without a result:</translation>
    </message>
    <message>
        <source>Nie analizowano: dane wyglądają na inny rodzaj niż wybrany</source>
        <translation>Not analysed: the data look like another kind than the one chosen</translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Fluvena wersja 0.99 alfa</source>
        <translation>Fluvena version 0.99 alpha</translation>
    </message>
    <message>
        <source>by</source>
        <translation>by</translation>
    </message>
    <message>
        <source>Zespół programu Fluvena</source>
        <translation>The Fluvena team</translation>
    </message>
    <message>
        <source>(autorzy projektu)</source>
        <translation>(the authors of the project)</translation>
    </message>
    <message>
        <source>Pracownia analizy danych pomiarowych</source>
        <translation>Measurement data analysis group</translation>
    </message>
    <message>
        <source>rozpraszania światła</source>
        <translation>for light scattering</translation>
    </message>
    <message>
        <source>Projekt Fluvena</source>
        <translation>The Fluvena project</translation>
    </message>
    <message>
        <source>Interfejs graficzny do programów Contin i Discrete </source>
        <translation>Graphical interface to Contin and Discrete</translation>
    </message>
    <message>
        <source>Metody analizy: S. W. Provencher (CONTIN, DISCRETE)</source>
        <translation>Analysis methods: S. W. Provencher (CONTIN, DISCRETE)</translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>POMOC</source>
        <translation>HELP</translation>
    </message>
    <message>
        <source>Fluvena - Mini pomoc</source>
        <translation>Fluvena - Mini help</translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>brak rozmiaru (%1)</source>
        <translation>no size (%1)</translation>
    </message>
    <message>
        <source>brak piku</source>
        <translation>no peak</translation>
    </message>
    <message>
        <source>Z-średnia %1 (d %2)</source>
        <translation>Z-average %1 (d %2)</translation>
    </message>
    <message>
        <source>Z-średnia: brak rozmiaru</source>
        <translation>Z-average: no size</translation>
    </message>
    <message>
        <source>wybrane rozwiązanie %1: %2</source>
        <translation>chosen solution %1: %2</translation>
    </message>
    <message>
        <source>1 składowa: %1</source>
        <translation>1 component: %1</translation>
    </message>
    <message>
        <source>%1 składowe: %2</source>
        <translation>%1 components: %2</translation>
    </message>
    <message>
        <source>%1 składowych: %2</source>
        <translation>%1 components: %2</translation>
    </message>
    <message>
        <source>błąd</source>
        <translation>error</translation>
    </message>
    <message>
        <source>ostrzeżenie</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>uwaga</source>
        <translation>note</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::ContinPage</name>
    <message>
        <source>Intensywnosc</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>Błąd % int</source>
        <translation>Error % int</translation>
    </message>
    <message>
        <source>Polozenie</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Błąd % pol</source>
        <translation>Error % pos</translation>
    </message>
    <message>
        <source>Szerokosc</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Dane wejściowe</source>
        <translation>Input data</translation>
    </message>
    <message>
        <source>Siatka Od:</source>
        <translation>Grid from:</translation>
    </message>
    <message>
        <source>Do:</source>
        <translation>To:</translation>
    </message>
    <message>
        <source>Punktów</source>
        <translation>points</translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Reg. sygn.</source>
        <translation>Signal reg.</translation>
    </message>
    <message>
        <source>Regularyzator, który waży drugie różnice sygnałem wnoszonym do danych przez każdy punkt siatki, zamiast klasycznego. Program contin.exe innego pochodzenia odrzuci taką kartę.</source>
        <translation>A regularizer that weighs the second differences by the signal each grid point puts into the data, instead of the classic one. A contin.exe from elsewhere rejects its card.</translation>
    </message>
    <message>
        <source>czas zaniku</source>
        <translation>decay time</translation>
    </message>
    <message>
        <source>promień R_h</source>
        <translation>radius R_h</translation>
    </message>
    <message>
        <source>jak obliczono</source>
        <translation>as computed</translation>
    </message>
    <message>
        <source>na ln τ</source>
        <translation>per ln τ</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Rozkład</source>
        <translation>Distribution</translation>
    </message>
    <message>
        <source>BLAD</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA</source>
        <translation>ERROR!!! BAD PARAMETERS FOR CONTIN</translation>
    </message>
    <message>
        <source>CONTIN: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation>CONTIN: solution %1 of %2, chosen: %3</translation>
    </message>
    <message>
        <source>Probe1=</source>
        <translation>Prob1=</translation>
    </message>
    <message>
        <source>Peak %1</source>
        <translation>Peak %1</translation>
    </message>
    <message>
        <source>Promień hydrodynamiczny Rₕ [nm]</source>
        <translation>Hydrodynamic radius Rₕ [nm]</translation>
    </message>
    <message>
        <source>Czas zaniku τ [%1]</source>
        <translation>Decay time τ [%1]</translation>
    </message>
    <message>
        <source>Udział τ·G(τ) na punkt siatki [%]</source>
        <translation>Share of τ·G(τ) per grid point [%]</translation>
    </message>
    <message>
        <source>Udział G(τ) na punkt siatki [%]</source>
        <translation>Share of G(τ) per grid point [%]</translation>
    </message>
    <message>
        <source>Rₕ (średnia harmoniczna)</source>
        <translation>Rₕ (harmonic mean)</translation>
    </message>
    <message>
        <source>Rₕ (ze średniego czasu)</source>
        <translation>Rₕ (from the mean time)</translation>
    </message>
    <message>
        <source>Wagi</source>
        <translation>Weights</translation>
    </message>
    <message>
        <source>Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta przenosi z szumu g2−1 (ogon krzywej waży mało). Dane g1 nie są ważone.</source>
        <translation>g2−1 and g2 data: each point of g1 weighted by the inverse of the variance the Siegert relation carries over from the noise of g2−1 (the curve&apos;s tail weighs little). g1 data are not weighted.</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::CumulantPage</name>
    <message>
        <source>Dane wejściowe</source>
        <translation>Input data</translation>
    </message>
    <message>
        <source>Rząd</source>
        <translation>Order</translation>
    </message>
    <message>
        <source>Odcięcie</source>
        <translation>Cut-off</translation>
    </message>
    <message>
        <source>Kumulanty</source>
        <translation>Cumulants</translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Dopasowanie kumulantów</source>
        <translation>Cumulant fit</translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>pominięto punkty na lub poniżej zera: %1</source>
        <translation>points at or below zero left out: %1</translation>
    </message>
    <message>
        <source>μ₂ jest ujemne (%1 1/s²): PDI pokazano jako 0, jak czynią to aparaty</source>
        <translation>μ₂ is negative (%1 1/s²): the PDI is shown as 0, as instruments do</translation>
    </message>
    <message>
        <source>Średnie Γ [1/s]</source>
        <translation>Mean Γ [1/s]</translation>
    </message>
    <message>
        <source>PDI</source>
        <translation>PDI</translation>
    </message>
    <message>
        <source>β</source>
        <translation>β</translation>
    </message>
    <message>
        <source>Średnica z [nm]</source>
        <translation>Z-average diameter [nm]</translation>
    </message>
    <message>
        <source>Promień z [nm]</source>
        <translation>Z-average radius [nm]</translation>
    </message>
    <message>
        <source>Punkty</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>Zakres dopasowania</source>
        <translation>Fit range</translation>
    </message>
    <message>
        <source>Wartość</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Błąd</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Czas [%1]</source>
        <translation>Time [%1]</translation>
    </message>
    <message>
        <source>dane − fit</source>
        <translation>data − fit</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::DiscretePage</name>
    <message>
        <source>Dane wejściowe</source>
        <translation>Input data</translation>
    </message>
    <message>
        <source>Zaawansowane</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Maksymalna ilosc składowych (1-9) </source>
        <translation>Maximum number of components (1-9) </translation>
    </message>
    <message>
        <source>Maksymalna ilosc prób (5-15)</source>
        <translation>Maximum number of tries (5-15)</translation>
    </message>
    <message>
        <source>Waga</source>
        <translation>Weight</translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Domyślne</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Odchylenia</source>
        <translation>Residuals</translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation>ERROR</translation>
    </message>
    <message>
        <source>Uwaga</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>DISCRETE: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation>DISCRETE: solution %1 of %2, chosen: %3</translation>
    </message>
    <message>
        <source>Intensywnosc</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>Błąd % int</source>
        <translation>Error % int</translation>
    </message>
    <message>
        <source>1/Czas</source>
        <translation>1/Time</translation>
    </message>
    <message>
        <source>Czas</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Błąd % 1/Czas</source>
        <translation>Error % 1/Time</translation>
    </message>
    <message>
        <source>Błąd % czasu</source>
        <translation>Error % time</translation>
    </message>
    <message>
        <source>Składowa %1</source>
        <translation>Component %1</translation>
    </message>
    <message>
        <source>Wagi Siegerta</source>
        <translation>Siegert weights</translation>
    </message>
    <message>
        <source>Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta przenosi z szumu g2−1 (ogon krzywej waży mało), zamiast reguły „Waga”. Dane g1 nie są ważone.</source>
        <translation>g2−1 and g2 data: each point of g1 weighted by the inverse of the variance the Siegert relation carries over from the noise of g2−1 (the curve&apos;s tail weighs little), instead of the “Waga” rule. g1 data are not weighted.</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::Page</name>
    <message>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>R_h (ze średniego czasu)</source>
        <translation>R_h (from the mean time)</translation>
    </message>
    <message>
        <source>R_h</source>
        <translation>R_h</translation>
    </message>
    <message>
        <source>R_h (średnia harmoniczna)</source>
        <translation>R_h (harmonic mean)</translation>
    </message>
    <message>
        <source>brak</source>
        <translation>none</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::SamplePage</name>
    <message>
        <source>Rozpuszczalnik</source>
        <translation>Solvent</translation>
    </message>
    <message>
        <source>Temperatura [K]</source>
        <translation>Temperature [K]</translation>
    </message>
    <message>
        <source>Lepkość [cP]</source>
        <translation>Viscosity [cP]</translation>
    </message>
    <message>
        <source>Współczynnik załamania</source>
        <translation>Refractive index</translation>
    </message>
    <message>
        <source>Długość fali [nm]</source>
        <translation>Wavelength [nm]</translation>
    </message>
    <message>
        <source>Kąt rozpraszania [°]</source>
        <translation>Scattering angle [°]</translation>
    </message>
    <message>
        <source>Rodzaj danych</source>
        <translation>Data kind</translation>
    </message>
    <message>
        <source>Linia bazowa g₂</source>
        <translation>g₂ baseline</translation>
    </message>
    <message>
        <source>Jednostka czasu</source>
        <translation>Time unit</translation>
    </message>
    <message>
        <source>woda</source>
        <translation>water</translation>
    </message>
    <message>
        <source>toluen</source>
        <translation>toluene</translation>
    </message>
    <message>
        <source>etanol</source>
        <translation>ethanol</translation>
    </message>
    <message>
        <source>własny</source>
        <translation>custom</translation>
    </message>
    <message>
        <source>ogon (średnia ostatnich 10 %)</source>
        <translation>tail (mean of the last 10 %)</translation>
    </message>
    <message>
        <source>Próbka i aparat</source>
        <translation>Sample and instrument</translation>
    </message>
    <message>
        <source>Dane</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Szybkość zliczeń</source>
        <translation>Count rate</translation>
    </message>
    <message>
        <source>Czas [s]</source>
        <translation>Time [s]</translation>
    </message>
    <message>
        <source>Szybkość zliczeń [kHz]</source>
        <translation>Count rate [kHz]</translation>
    </message>
    <message>
        <source>Rodzaj danych zmieniony: wyniki na ekranie pochodzą z poprzedniego; uruchom analizy ponownie</source>
        <translation>Data kind changed: the results on show come from the previous one; run the analyses again</translation>
    </message>
    <message>
        <source>Pomiar: %1 %2</source>
        <translation>Measured: %1 %2</translation>
    </message>
    <message>
        <source>Próbka: %1</source>
        <translation>Sample: %1</translation>
    </message>
    <message>
        <source>Tryb: %1</source>
        <translation>Mode: %1</translation>
    </message>
    <message>
        <source>Czas pomiaru: %1 s</source>
        <translation>Duration: %1 s</translation>
    </message>
    <message>
        <source>Średnia szybkość zliczeń: %1 kHz</source>
        <translation>Mean count rate: %1 kHz</translation>
    </message>
    <message>
        <source>Plik tekstowy: %1 kolumn liczb, %2 punktów</source>
        <translation>Text file: %1 numeric columns, %2 points</translation>
    </message>
    <message>
        <source>wpisane</source>
        <translation>typed</translation>
    </message>
    <message>
        <source>z pliku</source>
        <translation>from the file</translation>
    </message>
    <message>
        <source>domyślne</source>
        <translation>default</translation>
    </message>
    <message>
        <source>pierwszy punkt pominięty: martwy czas korelatora</source>
        <translation>first point left out: the correlator&apos;s dead time</translation>
    </message>
    <message>
        <source>pierwsze %1 punkty pominięte: martwy czas korelatora</source>
        <translation>first %1 points left out: the correlator&apos;s dead time</translation>
    </message>
    <message>
        <source>pierwszych %1 punktów pominiętych: martwy czas korelatora</source>
        <translation>first %1 points left out: the correlator&apos;s dead time</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Rekordy odrzucone (%1):</source>
        <translation>Records refused (%1):</translation>
    </message>
    <message>
        <source>Aparat</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Z-średnia d [nm]</source>
        <translation>Z-average d [nm]</translation>
    </message>
    <message>
        <source>Przecięcie β</source>
        <translation>Intercept β</translation>
    </message>
    <message>
        <source>Wyniki Fluveny po uruchomieniu kumulantów</source>
        <translation>Fluvena&apos;s results once the cumulants have run</translation>
    </message>
</context>
<context>
    <name>fluvena::ui::SetPage</name>
    <message>
        <source>Źródło ⟨Γ⟩:</source>
        <translation>Source of ⟨Γ⟩:</translation>
    </message>
    <message>
        <source>kumulanty</source>
        <translation>cumulants</translation>
    </message>
    <message>
        <source>Przyrząd</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>d %1 nm</source>
        <translation>d %1 nm</translation>
    </message>
    <message>
        <source>Wynik analizy przyrządu zapisany w pliku: średnica z-średnia, PDI, wyraz wolny</source>
        <translation>The instrument&apos;s own result as its file states it: z-average diameter, PDI, intercept</translation>
    </message>
    <message>
        <source>CONTIN, główny pik</source>
        <translation>CONTIN, main peak</translation>
    </message>
    <message>
        <source>Usuń z zestawu</source>
        <translation>Remove from set</translation>
    </message>
    <message>
        <source>Usuwa zaznaczone pomiary z zestawu</source>
        <translation>Removes the selected measurements from the set</translation>
    </message>
    <message>
        <source>Eksport CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>Eksport TSV</source>
        <translation>Export TSV</translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Plik</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Kąt [°]</source>
        <translation>Angle [°]</translation>
    </message>
    <message>
        <source>T [K]</source>
        <translation>T [K]</translation>
    </message>
    <message>
        <source>q² [1/m²]</source>
        <translation>q² [1/m²]</translation>
    </message>
    <message>
        <source>Zliczenia [kHz]</source>
        <translation>Count rate [kHz]</translation>
    </message>
    <message>
        <source>⟨Γ⟩ [1/s]</source>
        <translation>⟨Γ⟩ [1/s]</translation>
    </message>
    <message>
        <source>R_z [nm]</source>
        <translation>R_z [nm]</translation>
    </message>
    <message>
        <source>CONTIN R [nm]</source>
        <translation>CONTIN R [nm]</translation>
    </message>
    <message>
        <source>udział</source>
        <translation>share</translation>
    </message>
    <message>
        <source>DISCRETE</source>
        <translation>DISCRETE</translation>
    </message>
    <message>
        <source>Flagi</source>
        <translation>Flags</translation>
    </message>
    <message>
        <source>Powtórzenie</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>Zaznaczone pomiary wchodzą do dopasowania</source>
        <translation>Checked measurements enter the fit</translation>
    </message>
    <message>
        <source>Promień głównego piku z jego średniej szybkości zaniku, M(0)/M(−1)</source>
        <translation>Radius of the main peak from its mean decay rate, M(0)/M(−1)</translation>
    </message>
    <message>
        <source>Zależność od kąta</source>
        <translation>Angle dependence</translation>
    </message>
    <message>
        <source>D_app [m²/s]</source>
        <translation>D_app [m²/s]</translation>
    </message>
    <message>
        <source>bez rozmiaru</source>
        <translation>no size</translation>
    </message>
    <message>
        <source>odstaje</source>
        <translation>outlier</translation>
    </message>
    <message>
        <source>kurz</source>
        <translation>dust</translation>
    </message>
    <message>
        <source>Brak dopasowania: %1</source>
        <translation>No fit: %1</translation>
    </message>
    <message>
        <source>nachylenie = %1 ± %2 m⁴/s</source>
        <translation>slope = %1 ± %2 m⁴/s</translation>
    </message>
    <message>
        <source>r² = %1 (punktów: %2)</source>
        <translation>r² = %1 (points: %2)</translation>
    </message>
    <message>
        <source>Bez błędów ⟨Γ⟩: punkty ważone jednakowo</source>
        <translation>No errors of ⟨Γ⟩: points weighted equally</translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation>CSV (*.csv)</translation>
    </message>
    <message>
        <source>TSV (*.tsv)</source>
        <translation>TSV (*.tsv)</translation>
    </message>
    <message>
        <source>Wszystkie (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Zapisano tabelę zestawu: %1</source>
        <translation>Saved the set&apos;s table: %1</translation>
    </message>
    <message>
        <source>Grupa</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>R_z grupy [nm]</source>
        <translation>Group R_z [nm]</translation>
    </message>
    <message>
        <source>⟨Γ⟩ grupy [1/s]</source>
        <translation>Group ⟨Γ⟩ [1/s]</translation>
    </message>
    <message>
        <source>Data pomiaru</source>
        <translation>Measured</translation>
    </message>
    <message>
        <source>Wartość</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Powtórzenia: pomiary jednego kąta i jednej temperatury</source>
        <translation>Repeats: measurements at one angle and one temperature</translation>
    </message>
    <message>
        <source>Średnia ± odchylenie standardowe zaznaczonych pomiarów grupy (co najmniej dwóch)</source>
        <translation>Mean ± standard deviation of the group&apos;s included measurements (two at least)</translation>
    </message>
    <message>
        <source>Wartość wpisana dla pomiaru, np. stężenie: oś serii</source>
        <translation>A value typed for the measurement, e.g. its concentration: an axis of the series</translation>
    </message>
    <message>
        <source>Seria:</source>
        <translation>Series:</translation>
    </message>
    <message>
        <source>względem</source>
        <translation>against</translation>
    </message>
    <message>
        <source>średnie powtórzeń</source>
        <translation>means of repeats</translation>
    </message>
    <message>
        <source>Zaznaczone pomiary jednego kąta i jednej temperatury jako jeden punkt: średnia ± odchylenie standardowe</source>
        <translation>The included measurements at one angle and one temperature as one point: mean ± standard deviation</translation>
    </message>
    <message>
        <source>promień z-średni R_z [nm]</source>
        <translation>z-average radius R_z [nm]</translation>
    </message>
    <message>
        <source>D_app = ⟨Γ⟩/q² [m²/s]</source>
        <translation>D_app = ⟨Γ⟩/q² [m²/s]</translation>
    </message>
    <message>
        <source>CONTIN: promień głównego piku [nm]</source>
        <translation>CONTIN: main peak radius [nm]</translation>
    </message>
    <message>
        <source>CONTIN: udział głównego piku</source>
        <translation>CONTIN: main peak share</translation>
    </message>
    <message>
        <source>średnie zliczenia [kHz]</source>
        <translation>mean count rate [kHz]</translation>
    </message>
    <message>
        <source>przyrząd: średnica z-średnia [nm]</source>
        <translation>instrument: z-average diameter [nm]</translation>
    </message>
    <message>
        <source>kolejność pomiarów</source>
        <translation>order of the measurements</translation>
    </message>
    <message>
        <source>temperatura [K]</source>
        <translation>temperature [K]</translation>
    </message>
    <message>
        <source>czas od pierwszego pomiaru [min]</source>
        <translation>time since the first measurement [min]</translation>
    </message>
    <message>
        <source>kąt [°]</source>
        <translation>angle [°]</translation>
    </message>
    <message>
        <source>wartość wpisana</source>
        <translation>typed value</translation>
    </message>
    <message>
        <source>Seria wyników</source>
        <translation>Series of results</translation>
    </message>
    <message>
        <source>To nie jest liczba: %1</source>
        <translation>Not a number: %1</translation>
    </message>
    <message>
        <source>Kąty</source>
        <translation>Angles</translation>
    </message>
    <message>
        <source>Seria</source>
        <translation>Series</translation>
    </message>
</context>
</TS>
