<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="pl_PL">
<context>
    <name>Chart</name>
    <message>
        <source>Zapisz jako PNG…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obraz PNG (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz jako SVG…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rysunek SVG (*.svg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz jako PDF…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dokument PDF (*.pdf)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cały wykres</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>the intercept %1 lies above %2 and the correlation settles at %3: g2 data with their baseline, not g2 - 1</source>
        <translation>wartość początkowa %1 przekracza %2, a korelacja ustala się na %3: to dane g₂ z linią bazową, nie g₂ − 1</translation>
    </message>
    <message>
        <source>the intercept %1 lies above %2, which g2 - 1 data (beta g1^2, beta at most 1) cannot reach: a decay of another kind (g1)</source>
        <translation>wartość początkowa %1 przekracza %2, czego dane g₂ − 1 (β·g₁², β najwyżej 1) nie mogą osiągnąć: zanik innego rodzaju (g₁)</translation>
    </message>
    <message>
        <source>the intercept %1 is 1 within %2: g1 data start at 1, g2 - 1 data at the coherence factor beta, below 1</source>
        <translation>wartość początkowa %1 równa się 1 z dokładnością do %2: dane g₁ zaczynają się od 1, dane g₂ − 1 od współczynnika koherencji β, mniejszego od 1</translation>
    </message>
    <message>
        <source>the correlation settles at %1, not at 0: g2 data with their baseline, not g1</source>
        <translation>korelacja ustala się na %1, a nie na 0: to dane g₂ z linią bazową, nie g₁</translation>
    </message>
    <message>
        <source>the g1 intercept %1 lies far below 1: g2 - 1 data, which start at the coherence factor beta</source>
        <translation>wartość początkowa g₁ %1 leży daleko poniżej 1: to dane g₂ − 1, które zaczynają się od współczynnika koherencji β</translation>
    </message>
    <message>
        <source>the correlation settles at %1, not at a baseline near 1: these are not g2 data</source>
        <translation>korelacja ustala się na %1, a nie na linii bazowej bliskiej 1: to nie są dane g₂</translation>
    </message>
    <message>
        <source>no size can be given for the decay rate %1 1/s: the result lies beyond the range of numbers</source>
        <translation>dla szybkości zaniku %1 1/s nie można podać rozmiaru: wynik wykracza poza zakres liczb</translation>
    </message>
    <message>
        <source>a component of rate %1 has no decay time, so no size</source>
        <translation>składowa o szybkości %1 nie ma czasu zaniku, więc i rozmiaru</translation>
    </message>
    <message>
        <source>column %1 cannot be chosen: columns count from 1</source>
        <translation>nie można wybrać kolumny %1: kolumny liczy się od 1</translation>
    </message>
    <message>
        <source>line %1: %2 columns where the data rows before it (from line %3) have %4</source>
        <translation>wiersz %1: %2 kolumn, a wiersze danych przed nim (od wiersza %3) mają %4</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; gives %3, not strictly between %4 and %5</source>
        <translation>wiersz %1: &apos;%2&apos; podaje %3, a nie wartość leżącą ściśle między %4 a %5</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; gives %3, outside %4 ... %5</source>
        <translation>wiersz %1: &apos;%2&apos; podaje %3, poza zakresem %4 … %5</translation>
    </message>
    <message>
        <source>line %1: a blank line inside the &quot;%2&quot; block</source>
        <translation>wiersz %1: pusty wiersz wewnątrz bloku &quot;%2&quot;</translation>
    </message>
    <message>
        <source>line %1: a second angle of detector %2</source>
        <translation>wiersz %1: drugi kąt detektora %2</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block has %2 columns of values, but the header gives the angles of %3 detectors: the columns cannot be matched to the angles</source>
        <translation>wiersz %1: blok &quot;Correlation&quot; ma %2 kolumn wartości, a nagłówek podaje kąty %3 detektorów: kolumn nie da się przypisać do kątów</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds only zeros</source>
        <translation>wiersz %1: blok &quot;Correlation&quot; zawiera same zera</translation>
    </message>
    <message>
        <source>line %1: the &quot;Count Rate&quot; block has %2 columns of rates, but the header gives the angles of %3 detectors: the columns cannot be matched to the detectors</source>
        <translation>wiersz %1: blok &quot;Count Rate&quot; ma %2 kolumn natężeń, a nagłówek podaje kąty %3 detektorów: kolumn nie da się przypisać do detektorów</translation>
    </message>
    <message>
        <source>line %1: the detector angles are not numbered 1 to %2</source>
        <translation>wiersz %1: kąty detektorów nie są ponumerowane od 1 do %2</translation>
    </message>
    <message>
        <source>line %1: the file ends before its &quot;Count Rate&quot; block: it is cut short</source>
        <translation>wiersz %1: plik kończy się przed blokiem &quot;Count Rate&quot;: jest ucięty</translation>
    </message>
    <message>
        <source>line %1: the file ends inside the &quot;Correlation&quot; block: it is cut short</source>
        <translation>wiersz %1: plik kończy się wewnątrz bloku &quot;Correlation&quot;: jest ucięty</translation>
    </message>
    <message>
        <source>line %1: the file ends inside the &quot;Count Rate&quot; block: it is cut short</source>
        <translation>wiersz %1: plik kończy się wewnątrz bloku &quot;Count Rate&quot;: jest ucięty</translation>
    </message>
    <message>
        <source>line %1: the file ends inside this line: it is cut short</source>
        <translation>wiersz %1: plik kończy się w środku tego wiersza: jest ucięty</translation>
    </message>
    <message>
        <source>the file holds the measurements of %1 detectors, which are read as separate measurements</source>
        <translation>plik zawiera pomiary %1 detektorów, które odczytuje się jako osobne pomiary</translation>
    </message>
    <message>
        <source>the refractive index must lie from 1.0 to 3.0, not %1</source>
        <translation>współczynnik załamania musi leżeć w zakresie od 1,0 do 3,0, a nie %1</translation>
    </message>
    <message>
        <source>the scattering angle must lie strictly between 0 and 180 degrees, not %1</source>
        <translation>kąt rozpraszania musi leżeć ściśle między 0 a 180 stopni, a nie %1</translation>
    </message>
    <message>
        <source>the temperature must lie from 200 to 500 K, not %1</source>
        <translation>temperatura musi leżeć w zakresie od 200 do 500 K, a nie %1</translation>
    </message>
    <message>
        <source>the viscosity must lie from 0.01 to 10000 cP, not %1</source>
        <translation>lepkość musi leżeć w zakresie od 0,01 do 10000 cP, a nie %1</translation>
    </message>
    <message>
        <source>the wavelength must lie from 100 to 2000 nm, not %1</source>
        <translation>długość fali musi leżeć w zakresie od 100 do 2000 nm, a nie %1</translation>
    </message>
    <message>
        <source>it is a directory</source>
        <translation>to jest katalog</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>to nie jest zwykły plik</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>jest większy niż %1 MB</translation>
    </message>
    <message>
        <source>no data are loaded</source>
        <translation>nie wczytano danych</translation>
    </message>
    <message>
        <source>the range is reversed: its first point (%1) lies after its last point (%2)</source>
        <translation>zakres jest odwrócony: jego pierwszy punkt (%1) leży za ostatnim (%2)</translation>
    </message>
    <message>
        <source>too few points in the range (%1; %2 needs at least %3)</source>
        <translation>za mało punktów w zakresie (%1; %2 potrzebuje co najmniej %3)</translation>
    </message>
    <message>
        <source>CONTIN rejected the deck: %1</source>
        <translation>CONTIN odrzucił dane sterujące: %1</translation>
    </message>
    <message>
        <source>DISCRETE rejected the deck: %1</source>
        <translation>DISCRETE odrzucił dane sterujące: %1</translation>
    </message>
    <message>
        <source>DISCRETE gives no solution: %1</source>
        <translation>DISCRETE nie podaje rozwiązania: %1</translation>
    </message>
    <message>
        <source>NG = %1 does not fit the deck&apos;s field for the number of grid points (%2 ... %3)</source>
        <translation>NG = %1 nie mieści się w polu danych sterujących na liczbę punktów siatki (%2 ... %3)</translation>
    </message>
    <message>
        <source>incomplete listing: %1</source>
        <translation>niepełny wydruk wyników: %1</translation>
    </message>
    <message>
        <source>the file holds no data</source>
        <translation>plik nie zawiera danych</translation>
    </message>
    <message>
        <source>the file is too large (%1 bytes)</source>
        <translation>plik jest za duży (%1 bajtów)</translation>
    </message>
    <message>
        <source>the file has too many lines</source>
        <translation>plik ma za dużo wierszy</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is not a number</source>
        <translation>wiersz %1: &apos;%2&apos; nie jest liczbą</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is beyond the range of numbers</source>
        <translation>wiersz %1: &apos;%2&apos; wykracza poza zakres liczb</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; is not a whole number</source>
        <translation>wiersz %1: &apos;%2&apos; nie jest liczbą całkowitą</translation>
    </message>
    <message>
        <source>line %1: the time %2 is negative</source>
        <translation>wiersz %1: czas %2 jest ujemny</translation>
    </message>
    <message>
        <source>line %1: the time %2 is not greater than the time before it (%3)</source>
        <translation>wiersz %1: czas %2 nie jest większy od poprzedniego (%3)</translation>
    </message>
    <message>
        <source>line %1: a blank line among the data</source>
        <translation>wiersz %1: pusty wiersz wśród danych</translation>
    </message>
    <message>
        <source>line %1: column %2 is empty</source>
        <translation>wiersz %1: kolumna %2 jest pusta</translation>
    </message>
    <message>
        <source>line %1: there is no column %2</source>
        <translation>wiersz %1: brak kolumny %2</translation>
    </message>
    <message>
        <source>line %1: a single number where a time and a value are needed</source>
        <translation>wiersz %1: jedna liczba tam, gdzie potrzeba czasu i wartości</translation>
    </message>
    <message>
        <source>line %1: %2 columns where the block&apos;s first row has %3</source>
        <translation>wiersz %1: %2 kolumn, a pierwszy wiersz bloku ma %3</translation>
    </message>
    <message>
        <source>line %1: a second &quot;%2&quot; block</source>
        <translation>wiersz %1: drugi blok &quot;%2&quot;</translation>
    </message>
    <message>
        <source>the file holds no &quot;Correlation&quot; block</source>
        <translation>plik nie zawiera bloku &quot;Correlation&quot;</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds no rows</source>
        <translation>wiersz %1: blok &quot;Correlation&quot; nie zawiera wierszy</translation>
    </message>
    <message>
        <source>line %1: the mode &apos;%2&apos; names channel %3, which the &quot;Correlation&quot; block lacks</source>
        <translation>wiersz %1: tryb &apos;%2&apos; wskazuje kanał %3, którego brak w bloku &quot;Correlation&quot;</translation>
    </message>
    <message>
        <source>line %1: the &quot;Correlation&quot; block holds only zeros in the channels the mode &apos;%2&apos; names</source>
        <translation>wiersz %1: blok &quot;Correlation&quot; zawiera same zera w kanałach wskazanych przez tryb &apos;%2&apos;</translation>
    </message>
    <message>
        <source>line %1: the &quot;Count Rate&quot; block lacks channel %2</source>
        <translation>wiersz %1: w bloku &quot;Count Rate&quot; brak kanału %2</translation>
    </message>
    <message>
        <source>the coherence factor beta cannot be found from the cumulant fit: %1</source>
        <translation>współczynnika koherencji β nie można wyznaczyć z dopasowania kumulantów: %1</translation>
    </message>
    <message>
        <source>point %1 of the correlation is not a number</source>
        <translation>punkt %1 korelacji nie jest liczbą</translation>
    </message>
    <message>
        <source>point %1 of the correlation is out of range after the conversion</source>
        <translation>punkt %1 korelacji wychodzi po przeliczeniu poza zakres liczb</translation>
    </message>
    <message>
        <source>a baseline needs at least one point</source>
        <translation>linia bazowa wymaga co najmniej jednego punktu</translation>
    </message>
    <message>
        <source>the baseline must be a number, not %1</source>
        <translation>linia bazowa musi być liczbą, a nie %1</translation>
    </message>
    <message>
        <source>the coherence factor beta must be a positive number, not %1: the Siegert relation cannot give g1</source>
        <translation>współczynnik koherencji β musi być liczbą dodatnią, a nie %1: relacja Siegerta nie da g1</translation>
    </message>
    <message>
        <source>no decay: the correlation starts at %1 and ends at %2, which is not clearly apart for a point scatter of %3</source>
        <translation>brak zaniku: korelacja zaczyna się od %1 i kończy na %2, co nie odbiega wyraźnie od rozrzutu punktów %3</translation>
    </message>
    <message>
        <source>the lag times of the fit range are too few distinct values to fit %1 cumulants</source>
        <translation>czasy opóźnienia w zakresie dopasowania mają za mało różnych wartości, by dopasować %1 kumulanty</translation>
    </message>
    <message>
        <source>the non-linear fit did not converge in %1 iterations</source>
        <translation>dopasowanie nieliniowe nie zbiegło się w %1 iteracjach</translation>
    </message>
    <message>
        <source>%1 lag times for %2 correlation values</source>
        <translation>%1 czasów opóźnienia na %2 wartości korelacji</translation>
    </message>
    <message>
        <source>the cumulant order must be 2 or 3, not %1</source>
        <translation>rząd kumulantów musi wynosić 2 lub 3, a nie %1</translation>
    </message>
    <message>
        <source>point %1 is not a number</source>
        <translation>punkt %1 nie jest liczbą</translation>
    </message>
    <message>
        <source>the lag times must be at least 0 and increase from point to point, point %1 does not</source>
        <translation>czasy opóźnienia muszą być nieujemne i rosnąć od punktu do punktu, a punkt %1 tego nie spełnia</translation>
    </message>
    <message>
        <source>the fit range from point %1 to %2 does not lie within the %3 points</source>
        <translation>zakres dopasowania od punktu %1 do %2 nie mieści się w %3 punktach</translation>
    </message>
    <message>
        <source>the error of a decay rate must be zero or positive, not %1</source>
        <translation>błąd szybkości zaniku musi być zerowy lub dodatni, a nie %1</translation>
    </message>
    <message>
        <source>the cut-off must lie from 0 up to, not including, 1, not %1</source>
        <translation>odcięcie musi leżeć od 0 do 1 (bez 1), a nie %1</translation>
    </message>
    <message>
        <source>only %1 points: a cumulant fit needs at least %2</source>
        <translation>tylko %1 punktów: dopasowanie kumulantów wymaga co najmniej %2</translation>
    </message>
    <message>
        <source>only %1 usable points from point %2 to %3: a cumulant fit needs at least %4</source>
        <translation>tylko %1 użytecznych punktów od punktu %2 do %3: dopasowanie kumulantów wymaga co najmniej %4</translation>
    </message>
    <message>
        <source>the first point already lies below the cut-off: no range to fit</source>
        <translation>już pierwszy punkt leży poniżej odcięcia: brak zakresu do dopasowania</translation>
    </message>
    <message>
        <source>the fitted mean decay rate is %1 1/s: the data show no decay in the fit range</source>
        <translation>dopasowana średnia szybkość zaniku wynosi %1 1/s: dane nie zanikają w zakresie dopasowania</translation>
    </message>
    <message>
        <source>the correlation stays above the cut-off: the range runs to the last point</source>
        <translation>korelacja nie spada poniżej odcięcia: zakres sięga ostatniego punktu</translation>
    </message>
    <message>
        <source>the wavelength must be a positive number of nm, not %1</source>
        <translation>długość fali musi być dodatnią liczbą nm, a nie %1</translation>
    </message>
    <message>
        <source>the refractive index must be positive, not %1</source>
        <translation>współczynnik załamania musi być dodatni, a nie %1</translation>
    </message>
    <message>
        <source>the scattering angle must lie above 0 and at most 180 degrees, not %1</source>
        <translation>kąt rozpraszania musi być większy od 0 i nie większy niż 180 stopni, a nie %1</translation>
    </message>
    <message>
        <source>a size needs a positive decay rate, not %1</source>
        <translation>rozmiar wymaga dodatniej szybkości zaniku, a nie %1</translation>
    </message>
    <message>
        <source>a size needs a positive decay time, not %1</source>
        <translation>rozmiar wymaga dodatniego czasu zaniku, a nie %1</translation>
    </message>
    <message>
        <source>the temperature must be a positive number of K, not %1</source>
        <translation>temperatura musi być dodatnią liczbą K, a nie %1</translation>
    </message>
    <message>
        <source>the viscosity must be a positive number of cP, not %1</source>
        <translation>lepkość musi być dodatnią liczbą cP, a nie %1</translation>
    </message>
    <message>
        <source>the viscosity of water is known here from 273.15 to 373.15 K, not at %1 K</source>
        <translation>lepkość wody jest tu znana od 273,15 do 373,15 K, nie w %1 K</translation>
    </message>
    <message>
        <source>a custom solvent has no preset values: enter its viscosity and refractive index</source>
        <translation>własny rozpuszczalnik nie ma gotowych wartości: wpisz jego lepkość i współczynnik załamania</translation>
    </message>
    <message>
        <source>record %1 (&apos;%2&apos;) holds distributions only, no correlogram</source>
        <translation>rekord %1 (&apos;%2&apos;) zawiera tylko rozkłady, bez funkcji korelacji</translation>
    </message>
    <message>
        <source>line %1: this is not the header row of a Zetasizer export (it names no &quot;Sample Name&quot; and no &quot;Correlation Data[k]&quot; column)</source>
        <translation>wiersz %1: to nie jest wiersz nagłówka eksportu Zetasizer (brak kolumny &quot;Sample Name&quot; i kolumn &quot;Correlation Data[k]&quot;)</translation>
    </message>
    <message>
        <source>line %1: %2 fields where the header row (line %3) names %4 columns</source>
        <translation>wiersz %1: %2 pól, a wiersz nagłówka (wiersz %3) nazywa %4 kolumn</translation>
    </message>
    <message>
        <source>the tables of line %1 and line %2 hold different numbers of records (%3 and %4)</source>
        <translation>tabele z wiersza %1 i wiersza %2 mają różne liczby rekordów (%3 i %4)</translation>
    </message>
    <message>
        <source>line %1: the header row is followed by no record</source>
        <translation>wiersz %1: po wierszu nagłówka nie ma żadnego rekordu</translation>
    </message>
    <message>
        <source>line %1: the column &apos;%2&apos; is not in microseconds (&quot;Correlation Delay Times[k] (µs)&quot;)</source>
        <translation>wiersz %1: kolumna &apos;%2&apos; nie jest w mikrosekundach (&quot;Correlation Delay Times[k] (µs)&quot;)</translation>
    </message>
    <message>
        <source>line %1: the column &apos;%2&apos; has no partner &apos;%3&apos;</source>
        <translation>wiersz %1: kolumna &apos;%2&apos; nie ma pary &apos;%3&apos;</translation>
    </message>
    <message>
        <source>line %1: record %2 has the %3 &apos;%4&apos; here but &apos;%5&apos; on line %6: the tables do not hold the same records in the same order</source>
        <translation>wiersz %1: rekord %2 ma tu %3 &apos;%4&apos;, a w wierszu %6 &apos;%5&apos;: tabele nie zawierają tych samych rekordów w tej samej kolejności</translation>
    </message>
    <message>
        <source>line %1: record %2 has no value in the column &apos;%3&apos; beside the other column of point %4</source>
        <translation>wiersz %1: rekord %2 nie ma wartości w kolumnie &apos;%3&apos; obok drugiej kolumny punktu %4</translation>
    </message>
    <message>
        <source>the file holds no &quot;Lag time (s)&quot; block</source>
        <translation>plik nie zawiera bloku &quot;Lag time (s)&quot;</translation>
    </message>
    <message>
        <source>line %1: the &quot;Lag time (s)&quot; block holds no rows</source>
        <translation>wiersz %1: blok &quot;Lag time (s)&quot; nie zawiera wierszy</translation>
    </message>
    <message>
        <source>line %1: the &quot;Lag time (s)&quot; block has %2 columns where a lag time and g2-1 are needed</source>
        <translation>wiersz %1: blok &quot;Lag time (s)&quot; ma %2 kolumn, a potrzebne są czas opóźnienia i g2-1</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; needs one number</source>
        <translation>wiersz %1: &apos;%2&apos; wymaga jednej liczby</translation>
    </message>
    <message>
        <source>the correlator&apos;s dead time</source>
        <translation>martwy czas korelatora</translation>
    </message>
    <message>
        <source>line %1: &apos;%2&apos; needs two numbers</source>
        <translation>wiersz %1: &apos;%2&apos; wymaga dwóch liczb</translation>
    </message>
    <message>
        <source>only %1 points in the range: a decay needs at least %2 to be judged</source>
        <translation>tylko %1 punktów w zakresie: do oceny zaniku potrzeba co najmniej %2</translation>
    </message>
    <message>
        <source>no decay above the noise: the correlation starts at %1 and ends at %2, for a point scatter of %3</source>
        <translation>brak zaniku ponad szum: korelacja zaczyna się od %1 i kończy na %2 przy rozrzucie punktów %3</translation>
    </message>
    <message>
        <source>the first %1 lags are not correlation values (at or below zero, or far above the lags after them): start the range at point %2</source>
        <translation>pierwsze opóźnienia (%1) nie są wartościami korelacji (na lub poniżej zera albo daleko ponad następnymi): zacznij zakres od punktu %2</translation>
    </message>
    <message>
        <source>the correlation has not decayed by the last lag: its tail stands at %1 % of the intercept</source>
        <translation>korelacja nie zanikła do ostatniego opóźnienia: jej ogon stoi na %1 % wartości początkowej</translation>
    </message>
    <message>
        <source>the tail&apos;s mean %1 lies %2 standard errors from the baseline (%3 % of the intercept)</source>
        <translation>średnia ogona %1 leży %2 błędów standardowych od linii bazowej (%3 % wartości początkowej)</translation>
    </message>
    <message>
        <source>the intercept %1 lies above 1: these are not g2 - 1 data (g2 with its baseline of 1, or g1?)</source>
        <translation>wartość początkowa %1 przekracza 1: to nie są dane g2 - 1 (g2 z linią bazową 1 albo g1?)</translation>
    </message>
    <message>
        <source>the intercept %1 lies below %2: little coherent signal</source>
        <translation>wartość początkowa %1 leży poniżej %2: mało spójnego sygnału</translation>
    </message>
    <message>
        <source>the intercept %1 lies below %2: far below what a correlator reaches (alignment, stray light, too many coherence areas)</source>
        <translation>wartość początkowa %1 leży poniżej %2: daleko poniżej tego, co osiąga korelator (justowanie, światło obce, zbyt wiele obszarów koherencji)</translation>
    </message>
    <message>
        <source>count rate of channel %1: %2 sample(s) far above the median %3 kHz, the highest %4 kHz at %5 s (%6 robust deviations): dust?</source>
        <translation>szybkość zliczeń kanału %1: próbki daleko ponad medianą %3 kHz (%2), najwyższa %4 kHz w %5 s (%6 odchyleń odpornych): kurz?</translation>
    </message>
    <message>
        <source>count rate of channel %1 drifts by %2 % from the first third of the run to the last</source>
        <translation>szybkość zliczeń kanału %1 dryfuje o %2 % od pierwszej do ostatniej tercji pomiaru</translation>
    </message>
    <message>
        <source>the residuals at the start (rms %1) are %2 times the data&apos;s point scatter (%3); runs test z = %4</source>
        <translation>odchylenia na początku (rms %1) są %2 razy większe od rozrzutu punktów danych (%3); test serii z = %4</translation>
    </message>
    <message>
        <source>the residuals run in long blocks of one sign (runs test z = %1), within the data&apos;s scatter</source>
        <translation>odchylenia układają się w długie serie jednego znaku (test serii z = %1), w granicach rozrzutu danych</translation>
    </message>
    <message>
        <source>PDI %1 above %2: the cumulant mean is no meaningful size; see the distribution analyses</source>
        <translation>PDI %1 powyżej %2: średnia kumulantów nie jest miarodajnym rozmiarem; zobacz analizy rozkładu</translation>
    </message>
    <message>
        <source>PDI %1 above %2: a broad distribution; CONTIN and DISCRETE say more</source>
        <translation>PDI %1 powyżej %2: szeroki rozkład; CONTIN i DISCRETE powiedzą więcej</translation>
    </message>
    <message>
        <source>%1 lies wholly below the first lag time (%2): the data cannot see it</source>
        <translation>%1 leży w całości poniżej pierwszego czasu opóźnienia (%2): dane go nie widzą</translation>
    </message>
    <message>
        <source>%1 lies wholly beyond the last lag time (%2): the data cannot see it</source>
        <translation>%1 leży w całości za ostatnim czasem opóźnienia (%2): dane go nie widzą</translation>
    </message>
    <message>
        <source>peak %1 (%2 % of the intensity) at decay time %3 lies outside the lag times %4 ... %5</source>
        <translation>pik %1 (%2 % intensywności) o czasie zaniku %3 leży poza czasami opóźnienia %4 ... %5</translation>
    </message>
    <message>
        <source>peak %1 (%2 % of the intensity) reaches the %3 end of the grid (%4): the grid, not the data, bounds it</source>
        <translation>pik %1 (%2 % intensywności) sięga %3 końca siatki (%4): ogranicza go siatka, nie dane</translation>
    </message>
    <message>
        <source>component %1 (%2 % of the amplitude) at decay time %3 lies outside the lag times %4 ... %5</source>
        <translation>składowa %1 (%2 % amplitudy) o czasie zaniku %3 leży poza czasami opóźnienia %4 ... %5</translation>
    </message>
    <message>
        <source>no size for %1</source>
        <translation>brak rozmiaru: %1</translation>
    </message>
    <message>
        <source>no size is given: %1</source>
        <translation>rozmiar nie jest podany: %1</translation>
    </message>
    <message>
        <source>the first %1 lags are left out of the range: %2</source>
        <translation>pierwsze opóźnienia (%1) pominięto w zakresie: %2</translation>
    </message>
    <message>
        <source>the listing doubts that its best solution is best</source>
        <translation>wydruk wątpi, czy jego najlepsze rozwiązanie jest najlepsze</translation>
    </message>
    <message>
        <source>lower</source>
        <translation>dolnego</translation>
    </message>
    <message>
        <source>upper</source>
        <translation>górnego</translation>
    </message>
    <message>
        <source>peak %1</source>
        <translation>pik %1</translation>
    </message>
    <message>
        <source>component %1</source>
        <translation>składowa %1</translation>
    </message>
    <message>
        <source>a measurement in the fit has no positive scattering vector or mean rate</source>
        <translation>pomiar w dopasowaniu nie ma dodatniego wektora rozpraszania lub średniej szybkości zaniku</translation>
    </message>
    <message>
        <source>the fit over q² needs at least two included measurements</source>
        <translation>dopasowanie względem q² wymaga co najmniej dwóch zaznaczonych pomiarów</translation>
    </message>
    <message>
        <source>the fit over q² needs measurements at two angles at least</source>
        <translation>dopasowanie względem q² wymaga pomiarów przy co najmniej dwóch kątach</translation>
    </message>
</context>
<context>
    <name>DialogRunner</name>
    <message>
        <source>Trwa obliczanie programem %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Przerwij</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czekam na inną analizę w tym katalogu…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ResultsMemo</name>
    <message>
        <source>BŁĄD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wcześniejszy plik %1 zachowano jako %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StandardDialogs</name>
    <message>
        <source>Katalog roboczy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wyniki w oknie wyników nie zostały zapisane. Zapisać je przed zamknięciem?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nie zapisuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Anuluj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kolumny danych</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plik %1 ma %2 kolumn liczb. Które z nich czytać?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kolumna czasu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kolumna korelacji</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analizuj jako %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analizuj bez zmian</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zmień na %1 i analizuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zmień rodzaj danych i analizuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane pomiaru %1 wyglądają raczej na %2 niż na %3: %4.

Analizować je mimo to jako %3?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane tych pomiarów wyglądają na inny rodzaj niż wybrany:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>• %1: raczej %2 niż %3 (%4)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analizować zestaw mimo to?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Fluvena 0.99 alfa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Otwórz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ostatnie pliki</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Katalog roboczy…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zamknij</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analiza</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uruchom analizę tej zakładki</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pokaż wybrane rozwiązanie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Język</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pomoc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wybrane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pokaż rozwiązanie wybrane przez program (Home)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rozwiązanie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dane − fit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Katalog roboczy: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odchylenie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kumulanty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Poprzedni plik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Następny plik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Otwórz jeden lub kilka plików danych</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane (*.txt *.dat *.csv *.asc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wszystkie (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nie można odczytać pliku %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plik korelatora: odczytano nagłówek (%1 wierszy)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pominięto wiersze nagłówka: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Próbka</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tekst (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ALV (*.asc)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zetasizer (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LS Instruments (*.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nie analizowano: dane wyglądają na inny rodzaj niż wybrany</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brak zaznaczonych pomiarów do analizy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analiza zestawu…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Przeanalizowano %1 z %2 pomiarów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (przerwano)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; bez wyniku: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pomiary bez wyniku:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zestaw</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dodaj do zestawu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dodaj pliki danych do otwartego zestawu pomiarów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usuń pokazany pomiar z zestawu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analizuj wszystkie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Analiza tej zakładki z jej ustawieniami na każdym zaznaczonym pomiarze zestawu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Przerwij</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TForm2</name>
    <message>
        <source>Fluvena wersja 0.99 alfa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zespół programu Fluvena</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(autorzy projektu)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pracownia analizy danych pomiarowych</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>rozpraszania światła</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Projekt Fluvena</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interfejs graficzny do programów Contin i Discrete </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Metody analizy: S. W. Provencher (CONTIN, DISCRETE)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TForm3</name>
    <message>
        <source>POMOC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fluvena - Mini pomoc</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Verdict</name>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>brak rozmiaru (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>brak piku</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z-średnia %1 (d %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z-średnia: brak rozmiaru</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wybrane rozwiązanie %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 składowa: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 składowe: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 składowych: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>błąd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ostrzeżenie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>uwaga</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::ContinPage</name>
    <message>
        <source>Intensywnosc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd % int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Polozenie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd % pol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Szerokosc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane wejściowe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Siatka Od:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Punktów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reg. sygn.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regularyzator, który waży drugie różnice sygnałem wnoszonym do danych przez każdy punkt siatki, zamiast klasycznego. Program contin.exe innego pochodzenia odrzuci taką kartę.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>czas zaniku</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>promień R_h</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>jak obliczono</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>na ln τ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rozkład</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BLAD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BŁĄD!!! ŹLE ZADANE PARAMETRY DO CONTINA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Probe1=</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Peak %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Promień hydrodynamiczny Rₕ [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas zaniku τ [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Udział τ·G(τ) na punkt siatki [%]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Udział G(τ) na punkt siatki [%]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rₕ (średnia harmoniczna)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rₕ (ze średniego czasu)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wagi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta przenosi z szumu g2−1 (ogon krzywej waży mało). Dane g1 nie są ważone.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::CumulantPage</name>
    <message>
        <source>Dane wejściowe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rząd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odcięcie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kumulanty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dopasowanie kumulantów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pominięto punkty na lub poniżej zera: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>μ₂ jest ujemne (%1 1/s²): PDI pokazano jako 0, jak czynią to aparaty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Średnie Γ [1/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDI</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>β</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Średnica z [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Promień z [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Punkty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zakres dopasowania</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wartość</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dane − fit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::DiscretePage</name>
    <message>
        <source>Dane wejściowe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zaawansowane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maksymalna ilosc składowych (1-9) </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maksymalna ilosc prób (5-15)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waga</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Domyślne</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odchylenia</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uwaga</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DISCRETE: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Intensywnosc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd % int</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1/Czas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd % 1/Czas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Błąd % czasu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Składowa %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wagi Siegerta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane g2−1 i g2: każdy punkt g1 ważony odwrotnością wariancji, którą relacja Siegerta przenosi z szumu g2−1 (ogon krzywej waży mało), zamiast reguły „Waga”. Dane g1 nie są ważone.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::Page</name>
    <message>
        <source>D</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R_h (ze średniego czasu)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R_h</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R_h (średnia harmoniczna)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>brak</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::SamplePage</name>
    <message>
        <source>Rozpuszczalnik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperatura [K]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lepkość [cP]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Współczynnik załamania</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Długość fali [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kąt rozpraszania [°]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rodzaj danych</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Linia bazowa g₂</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Jednostka czasu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>woda</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>toluen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>etanol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>własny</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ogon (średnia ostatnich 10 %)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Próbka i aparat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Szybkość zliczeń</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas [s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Szybkość zliczeń [kHz]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rodzaj danych zmieniony: wyniki na ekranie pochodzą z poprzedniego; uruchom analizy ponownie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pomiar: %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Próbka: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tryb: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Czas pomiaru: %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Średnia szybkość zliczeń: %1 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plik tekstowy: %1 kolumn liczb, %2 punktów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wpisane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>z pliku</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>domyślne</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pierwszy punkt pominięty: martwy czas korelatora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pierwsze %1 punkty pominięte: martwy czas korelatora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>pierwszych %1 punktów pominiętych: martwy czas korelatora</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rekordy odrzucone (%1):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aparat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Z-średnia d [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Przecięcie β</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wyniki Fluveny po uruchomieniu kumulantów</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>fluvena::ui::SetPage</name>
    <message>
        <source>Źródło ⟨Γ⟩:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kumulanty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN, główny pik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usuń z zestawu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Usuwa zaznaczone pomiary z zestawu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eksport CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eksport TSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plik</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kąt [°]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T [K]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>q² [1/m²]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zliczenia [kHz]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>⟨Γ⟩ [1/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R_z [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Przyrząd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN R [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>udział</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DISCRETE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Flagi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Powtórzenie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grupa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>R_z grupy [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>⟨Γ⟩ grupy [1/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Data pomiaru</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wartość</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zaznaczone pomiary wchodzą do dopasowania</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wynik analizy przyrządu zapisany w pliku: średnica z-średnia, PDI, wyraz wolny</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Promień głównego piku z jego średniej szybkości zaniku, M(0)/M(−1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Powtórzenia: pomiary jednego kąta i jednej temperatury</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Średnia ± odchylenie standardowe zaznaczonych pomiarów grupy (co najmniej dwóch)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wartość wpisana dla pomiaru, np. stężenie: oś serii</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kąty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seria</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zależność od kąta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D_app [m²/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>d %1 nm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bez rozmiaru</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>odstaje</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kurz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brak dopasowania: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nachylenie = %1 ± %2 m⁴/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>r² = %1 (punktów: %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bez błędów ⟨Γ⟩: punkty ważone jednakowo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSV (*.tsv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wszystkie (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisano tabelę zestawu: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seria:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>względem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>średnie powtórzeń</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zaznaczone pomiary jednego kąta i jednej temperatury jako jeden punkt: średnia ± odchylenie standardowe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>promień z-średni R_z [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D_app = ⟨Γ⟩/q² [m²/s]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN: promień głównego piku [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN: udział głównego piku</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>średnie zliczenia [kHz]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>przyrząd: średnica z-średnia [nm]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kolejność pomiarów</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>temperatura [K]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>czas od pierwszego pomiaru [min]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>kąt [°]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>wartość wpisana</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Seria wyników</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To nie jest liczba: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
