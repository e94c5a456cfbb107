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
        <source>incomplete listing: %1</source>
        <translation>niepełny wydruk wyników: %1</translation>
    </message>
    <message>
        <source>line %1 of the data file cannot be read (a blank line, or no tab between the columns)</source>
        <translation>nie można odczytać wiersza %1 pliku danych (pusty wiersz albo brak tabulatora między kolumnami)</translation>
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
</context>
<context>
    <name>TForm1</name>
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
        <source>Fluvena 0.99 alfa</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dane wejściowe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zaawansowane</source>
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
        <source>Probe1=</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapamiętaj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Domyślne</source>
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
        <source>Kopiuj</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rozkład</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rozwiązanie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odchylenia</source>
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
        <source>Czas zaniku [%1]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Intensywność</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Odchylenie</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CONTIN: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DISCRETE: rozwiązanie %1 z %2, wybrane: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nie można odczytać pliku %1: w wierszu %2 brak tabulatora między kolumnami (lub pusty wiersz wśród danych).</source>
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
        <source>Peak %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Uwaga</source>
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
</TS>
