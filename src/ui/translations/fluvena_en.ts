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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the range is reversed: its first point (%1) lies after its last point (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>too few points in the range (%1; %2 needs at least %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN rejected the deck: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DISCRETE rejected the deck: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>incomplete listing: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line %1 of the data file cannot be read (a blank line, or no tab between the columns)</source>
        <translation type="unfinished"></translation>
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
</context>
<context>
    <name>TForm1</name>
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
        <source>Fluvena 0.99 alfa</source>
        <translation>Fluvena 0.99 alpha</translation>
    </message>
    <message>
        <source>Dane wejściowe</source>
        <translation>Input data</translation>
    </message>
    <message>
        <source>Zaawansowane</source>
        <translation>Advanced</translation>
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
        <source>Probe1=</source>
        <translation>Prob1=</translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Domyślne</source>
        <translation>Defaults</translation>
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
        <source>Kopiuj</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Rozkład</source>
        <translation>Distribution</translation>
    </message>
    <message>
        <source>Rozwiązanie</source>
        <translation>Solution</translation>
    </message>
    <message>
        <source>Odchylenia</source>
        <translation>Residuals</translation>
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
        <source>Czas zaniku [%1]</source>
        <translation>Decay time [%1]</translation>
    </message>
    <message>
        <source>Intensywność</source>
        <translation>Intensity</translation>
    </message>
    <message>
        <source>Odchylenie</source>
        <translation>Residual</translation>
    </message>
    <message>
        <source>CONTIN: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation>CONTIN: solution %1 of %2, chosen: %3</translation>
    </message>
    <message>
        <source>DISCRETE: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation>DISCRETE: solution %1 of %2, chosen: %3</translation>
    </message>
    <message>
        <source>Nie można odczytać pliku %1: w wierszu %2 brak tabulatora między kolumnami (lub pusty wiersz wśród danych).</source>
        <translation>Cannot read the file %1: line %2 has no tab between the columns (or a blank line lies among the data).</translation>
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
        <source>Peak %1</source>
        <translation>Peak %1</translation>
    </message>
    <message>
        <source>Uwaga</source>
        <translation>Warning</translation>
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
</TS>
