<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pl">
<context>
    <name>AxisStop</name>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>Zatrzymaj oś (Esc w każdym oknie)</source>
        <translation>Stop the axis (Esc in every window)</translation>
    </message>
</context>
<context>
    <name>BackupSummary</name>
    <message>
        <source> linia </source>
        <translation> line </translation>
    </message>
    <message>
        <source>zgodne</source>
        <translation>verified</translation>
    </message>
    <message>
        <source>RÓŻNI SIĘ</source>
        <translation>DIFFERS</translation>
    </message>
    <message>
        <source>BŁĄD</source>
        <translation>FAILED</translation>
    </message>
    <message>
        <source>zapisane, niesprawdzalne</source>
        <translation>written, cannot be verified</translation>
    </message>
    <message>
        <source>pominięte</source>
        <translation>skipped</translation>
    </message>
    <message>
        <source>
    w pliku:      %1
    w sterowniku: %2</source>
        <translation>
    in the file:       %1
    in the controller: %2</translation>
    </message>
    <message>
        <source>Przywracanie sterownika %1 z pliku %2 zostało przerwane. Sterownik może zawierać tylko część kopii.</source>
        <translation>The restore of controller %1 from file %2 was interrupted. The controller may hold only part of the backup.</translation>
    </message>
    <message>
        <source>Sterownik %1 został przywrócony z pliku %2. Wszystko, co zapisano, odczytano ponownie i sprawdzono.</source>
        <translation>Controller %1 was restored from file %2. Everything written was read back and verified.</translation>
    </message>
    <message>
        <source>Przywracanie sterownika %1 z pliku %2 nie powiodło się w całości.</source>
        <translation>The restore of controller %1 from file %2 did not succeed in full.</translation>
    </message>
    <message>
        <source>

Zgodne: %1, różne lub błędy: %2</source>
        <translation>

Verified: %1, differing or failed: %2</translation>
    </message>
    <message>
        <source>, niesprawdzalne: %1</source>
        <translation>, cannot be verified: %1</translation>
    </message>
    <message>
        <source>, pominięte: %1</source>
        <translation>, skipped: %1</translation>
    </message>
    <message>
        <source>Plik %1 nie jest poprawną kopią sterownika.

Błąd w linii %2: %3</source>
        <translation>File %1 is not a valid controller backup.

Error in line %2: %3</translation>
    </message>
</context>
<context>
    <name>ConfigPanel</name>
    <message>
        <source>Pozycja definiowana DEF</source>
        <translation>Defined position DEF</translation>
    </message>
    <message>
        <source>Prędkość definiowana DEF</source>
        <translation>Defined velocity DEF</translation>
    </message>
    <message>
        <source>Czas definiowany DEF</source>
        <translation>Defined time DEF</translation>
    </message>
    <message>
        <source>Konfiguracja MODBUS</source>
        <translation>MODBUS configuration</translation>
    </message>
    <message>
        <source>Nadaj adres</source>
        <translation>Set address</translation>
    </message>
    <message>
        <source>Nadaj prędkość</source>
        <translation>Set baud rate</translation>
    </message>
    <message>
        <source>Konfiguracja urządzenia</source>
        <translation>Device configuration</translation>
    </message>
    <message>
        <source>Brak filtracji</source>
        <translation>No filtering</translation>
    </message>
    <message>
        <source>Ustaw filtrację wejść</source>
        <translation>Set input filtering</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>ControlPage</name>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Ustaw</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>Bazuj</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Disable</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Brake</source>
        <translation>Brake</translation>
    </message>
    <message>
        <source>Zwiększ prędkość</source>
        <translation>Increase velocity</translation>
    </message>
    <message>
        <source>Zmniejsz prędkość</source>
        <translation>Decrease velocity</translation>
    </message>
    <message>
        <source>Przesuń w lewo</source>
        <translation>Move left</translation>
    </message>
    <message>
        <source>Przesuń w prawo</source>
        <translation>Move right</translation>
    </message>
    <message>
        <source>Play/Stop</source>
        <translation>Play/Stop</translation>
    </message>
</context>
<context>
    <name>DeviceLink</name>
    <message>
        <source>Połączony</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Rozłączony</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Odświeżam listę urządzeń</source>
        <translation>Refreshing the device list</translation>
    </message>
    <message>
        <source>Brak dostępu do urządzenia KX-RD4: zainstaluj regułę udev 70-kxrd4.rules (packaging/70-kxrd4.rules) i podłącz urządzenie ponownie</source>
        <translation>No access to the KX-RD4: install the udev rule 70-kxrd4.rules (packaging/70-kxrd4.rules) and plug the device in again</translation>
    </message>
    <message>
        <source>Sterownik w użyciu: </source>
        <translation>Controller in use: </translation>
    </message>
    <message>
        <source>Wybrano sterownik </source>
        <translation>Controller selected: </translation>
    </message>
    <message>
        <source>Zapis do urządzenia nie powiódł się</source>
        <translation>Writing to the device failed</translation>
    </message>
    <message>
        <source>Sterownik nie przyjmuje danych; kolejny zapis otworzy urządzenie ponownie</source>
        <translation>The controller takes no data; the next write opens the device again</translation>
    </message>
</context>
<context>
    <name>DeviceLinkView</name>
    <message>
        <source> (symulator)</source>
        <translation> (emulator)</translation>
    </message>
</context>
<context>
    <name>EditRecovery</name>
    <message>
        <source>Nie można zapisać pliku odzyskiwania %1</source>
        <translation>Cannot write the recovery file %1</translation>
    </message>
    <message>
        <source>Pominięto uszkodzony plik odzyskiwania: %1</source>
        <translation>Skipped a damaged recovery file: %1</translation>
    </message>
    <message>
        <source>Odzyskać niezapisane zmiany z %1?</source>
        <translation>Recover the unsaved changes of %1?</translation>
    </message>
    <message>
        <source>Odzyskano niezapisane zmiany</source>
        <translation>Unsaved changes recovered</translation>
    </message>
</context>
<context>
    <name>EditorPage</name>
    <message>
        <source>linii %1</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>linii %1–%2</source>
        <translation>lines %1–%2</translation>
    </message>
    <message>
        <source>Wyślij program</source>
        <translation>Send program</translation>
    </message>
    <message>
        <source>Odczytaj program</source>
        <translation>Read program</translation>
    </message>
    <message>
        <source>Uruchom program</source>
        <translation>Run program</translation>
    </message>
    <message>
        <source>Zatrzymaj program</source>
        <translation>Stop program</translation>
    </message>
    <message>
        <source>Wyczyść program</source>
        <translation>Clear program</translation>
    </message>
    <message>
        <source>Kopiuj program</source>
        <translation>Copy program</translation>
    </message>
    <message>
        <source>Program %1</source>
        <translation>Program %1</translation>
    </message>
    <message>
        <source>wyczyszczenie %1</source>
        <translation>clearing of %1</translation>
    </message>
    <message>
        <source>zamiana linii %1 i %2</source>
        <translation>swap of lines %1 and %2</translation>
    </message>
    <message>
        <source>Czy na pewno chcesz wyczyścić program %1</source>
        <translation>Do you really want to clear program %1</translation>
    </message>
    <message>
        <source>Program został wczyszczony</source>
        <translation>The program was cleared</translation>
    </message>
    <message>
        <source>wyczyszczenie programu %1</source>
        <translation>clearing of program %1</translation>
    </message>
    <message>
        <source>Program został skopiowany</source>
        <translation>The program was copied</translation>
    </message>
    <message>
        <source>kopiowanie programu %1 do %2</source>
        <translation>copy of program %1 to %2</translation>
    </message>
</context>
<context>
    <name>EmulatedFaultView</name>
    <message>
        <source>Sterownik (symulator): błąd w linii %1 programu P%2: %3</source>
        <translation>Controller (emulator): fault in line %1 of program P%2: %3</translation>
    </message>
</context>
<context>
    <name>EmulatedInputs</name>
    <message>
        <source>Wejście %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>Stan wejścia %1 symulowanego sterownika</source>
        <translation>State of input %1 of the emulated controller</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>Nowy</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Czy chcesz zapisać bieżący program?</source>
        <translation>Do you want to save the current program?</translation>
    </message>
    <message>
        <source>Nie można otworzyć pliku</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku</source>
        <translation>Cannot save the file</translation>
    </message>
    <message>
        <source>Plik program (*.kxp)|*.kxp</source>
        <translation>Program file (*.kxp)|*.kxp</translation>
    </message>
    <message>
        <source>Otwarcie pliku</source>
        <translation>Opening a file</translation>
    </message>
    <message>
        <source>Zapis pliku</source>
        <translation>Saving a file</translation>
    </message>
    <message>
        <source>Nowy plik</source>
        <translation>New file</translation>
    </message>
    <message>
        <source>Otwórz plik</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>Program został otwarty</source>
        <translation>The program was opened</translation>
    </message>
    <message>
        <source>Program zostal zapisany</source>
        <translation>The program was saved</translation>
    </message>
    <message>
        <source>Plik o podanej nazwie juz istnieje.
<byte value="xd"/>Czy chcesz zastąpić istniejący plik?</source>
        <translation>A file of this name already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>Zapisz program</source>
        <translation>Save program</translation>
    </message>
    <message>
        <source>Zapisz plik</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>Program został zapisany</source>
        <translation>The program was saved</translation>
    </message>
</context>
<context>
    <name>LanguageBox</name>
    <message>
        <source>Język</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Język okna; zmiana obowiązuje od następnego uruchomienia programu</source>
        <translation>The window&apos;s language; a change takes effect at the next start</translation>
    </message>
    <message>
        <source>Język zapisany</source>
        <translation>Language saved</translation>
    </message>
    <message>
        <source>Język zostanie zmieniony po ponownym uruchomieniu programu</source>
        <translation>The language changes when the program is started again</translation>
    </message>
</context>
<context>
    <name>LiveChart</name>
    <message>
        <source>Pozycja</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Prędkość</source>
        <translation>Velocity</translation>
    </message>
    <message>
        <source>Symulacja: czas [s]</source>
        <translation>Simulation: time [s]</translation>
    </message>
    <message>
        <source>Symulacja: pozycja</source>
        <translation>Simulation: position</translation>
    </message>
    <message>
        <source>Symulacja: prędkość</source>
        <translation>Simulation: velocity</translation>
    </message>
    <message>
        <source>Zapisz wykres jako obraz…</source>
        <translation>Save chart as image…</translation>
    </message>
    <message>
        <source>Eksportuj dane do CSV…</source>
        <translation>Export data to CSV…</translation>
    </message>
    <message>
        <source>Usuń symulację z wykresu</source>
        <translation>Remove simulation from chart</translation>
    </message>
    <message>
        <source>czas [s]</source>
        <translation>time [s]</translation>
    </message>
    <message>
        <source>Zapisz wykres jako obraz</source>
        <translation>Save chart as image</translation>
    </message>
    <message>
        <source>Obraz PNG (*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>Eksportuj dane do CSV</source>
        <translation>Export data to CSV</translation>
    </message>
    <message>
        <source>Plik CSV (*.csv)</source>
        <translation>CSV file (*.csv)</translation>
    </message>
    <message>
        <source>Nie udało się zapisać pliku %1.</source>
        <translation>Could not write the file %1.</translation>
    </message>
</context>
<context>
    <name>ManualView</name>
    <message>
        <source>KX-RD4 PC – instrukcja obsługi</source>
        <translation>KX-RD4 PC – operator&apos;s manual</translation>
    </message>
    <message>
        <source>Spis treści</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Wstecz</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Instrukcja obsługi</source>
        <translation>Operator&apos;s manual</translation>
    </message>
</context>
<context>
    <name>MotionGuard</name>
    <message>
        <source>Bezpieczeństwo ruchu</source>
        <translation>Motion safety</translation>
    </message>
    <message>
        <source>Pozycja %1 poza granicami ruchu %2…%3: wysłano stop</source>
        <translation>Position %1 outside the travel limits %2…%3: stop sent</translation>
    </message>
    <message>
        <source>Granice ruchu</source>
        <translation>Travel limits</translation>
    </message>
    <message>
        <source>%1

Nic nie zostało wysłane. Granice ruchu są zapisane w tym PC (strona &quot;Opcje&quot;), nie w sterowniku.</source>
        <translation>%1

Nothing was sent. The travel limits are kept on this PC (page &quot;Options&quot;), not in the controller.</translation>
    </message>
    <message>
        <source>Pozycja zadana %1 leży poza granicami ruchu %2.</source>
        <translation>Target position %1 lies outside the travel limits %2.</translation>
    </message>
    <message>
        <source>Pozycja osi nie jest znana, więc nie można sprawdzić granic ruchu: włącz wykres (Play/Stop na stronie &quot;Sterowanie&quot;).</source>
        <translation>The position of the axis is not known, so the travel limits cannot be checked: start the chart (Play/Stop on page &quot;Control&quot;).</translation>
    </message>
    <message>
        <source>Przesunięcie o %1 prowadzi do pozycji %2, poza granice ruchu %3.</source>
        <translation>A jog by %1 leads to position %2, outside the travel limits %3.</translation>
    </message>
    <message>
        <source>Prędkość %1 przekracza granicę %2.</source>
        <translation>Velocity %1 exceeds the limit %2.</translation>
    </message>
    <message>
        <source>Oś się porusza (ostatni odczyt: prędkość %1). Wysłać program mimo to?</source>
        <translation>The axis is moving (last reading: velocity %1). Send the program anyway?</translation>
    </message>
    <message>
        <source>Oś się porusza (ostatni odczyt: prędkość %1). Zapisać parametr mimo to?</source>
        <translation>The axis is moving (last reading: velocity %1). Write the parameter anyway?</translation>
    </message>
    <message>
        <source>Polecenie ruchu trafi do sterownika %1, innego niż ostatnio sterowany (%2).

Czy poruszyć osią tego sterownika?</source>
        <translation>The motion command goes to controller %1, not the one driven last (%2).

Move the axis of this controller?</translation>
    </message>
    <message>
        <source>Oś się porusza (ostatni odczyt: prędkość %1). Przywrócić sterownik mimo to?</source>
        <translation>The axis is moving (last reading: velocity %1). Restore the controller anyway?</translation>
    </message>
    <message>
        <source>Połączenie ze sterownikiem zostało przerwane, gdy oś była w ruchu (ostatni odczyt: prędkość %1).

Oś może nadal się poruszać: zatrzymaj ją na maszynie.</source>
        <translation>The connection to the controller was lost while the axis was moving (last reading: velocity %1).

The axis may still be moving: stop it at the machine.</translation>
    </message>
</context>
<context>
    <name>ParameterTable</name>
    <message>
        <source>Prędkość minimalna</source>
        <translation>Minimum velocity</translation>
    </message>
    <message>
        <source>Prędkość maksymalna</source>
        <translation>Maximum velocity</translation>
    </message>
    <message>
        <source>Przyspieszenie maksymalne</source>
        <translation>Maximum acceleration</translation>
    </message>
    <message>
        <source>Prędkość zadana</source>
        <translation>Target velocity</translation>
    </message>
    <message>
        <source>Pozycja zadana</source>
        <translation>Target position</translation>
    </message>
    <message>
        <source>Prędkość bazowania</source>
        <translation>Homing velocity</translation>
    </message>
    <message>
        <source>Pozycja definiowana DEF</source>
        <translation>Defined position DEF</translation>
    </message>
    <message>
        <source>Prędkość definiowana DEF</source>
        <translation>Defined velocity DEF</translation>
    </message>
    <message>
        <source>Czas definiowany DEF</source>
        <translation>Defined time DEF</translation>
    </message>
    <message>
        <source>Konfiguracja MODBUS: adres</source>
        <translation>MODBUS configuration: address</translation>
    </message>
    <message>
        <source>Konfiguracja MODBUS: prędkość</source>
        <translation>MODBUS configuration: baud rate</translation>
    </message>
    <message>
        <source>Filtracja wejść [ms]</source>
        <translation>Input filtering [ms]</translation>
    </message>
</context>
<context>
    <name>ProgramSimulation</name>
    <message>
        <source>nieznany kod rozkazu</source>
        <translation>unknown command code</translation>
    </message>
    <message>
        <source>niedozwolona cyfra w argumencie</source>
        <translation>a digit out of range in an operand</translation>
    </message>
    <message>
        <source>numer wejścia lub wyjścia spoza 0..1</source>
        <translation>input or output number outside 0..1</translation>
    </message>
    <message>
        <source>skok poza linie 00..24</source>
        <translation>jump outside lines 00..24</translation>
    </message>
    <message>
        <source>numer programu spoza 0..9</source>
        <translation>program number outside 0..9</translation>
    </message>
    <message>
        <source>ruch przy wyłączonym napędzie (brak M_EN)</source>
        <translation>a move with the drive disabled (no M_EN)</translation>
    </message>
    <message>
        <source>ruch przy V max lub A max równym 0</source>
        <translation>a move with V max or A max equal to 0</translation>
    </message>
    <message>
        <source>bazowanie z prędkością 0</source>
        <translation>homing at velocity 0</translation>
    </message>
    <message>
        <source>program przeszedł za linię 24 bez END</source>
        <translation>the program ran past line 24 without END</translation>
    </message>
    <message>
        <source>ponad 1000 linii w 1 ms bez oczekiwania</source>
        <translation>over 1000 lines in 1 ms without a wait</translation>
    </message>
    <message>
        <source>ruch przerwany</source>
        <translation>move interrupted</translation>
    </message>
    <message>
        <source>oś doszła do końca zakresu</source>
        <translation>the axis reached the end of its range</translation>
    </message>
    <message>
        <source>nieznany błąd</source>
        <translation>unknown fault</translation>
    </message>
    <message>
        <source>Symulacja: błąd po %1 s w linii %2 programu P%3: %4</source>
        <translation>Simulation: fault after %1 s in line %2 of program P%3: %4</translation>
    </message>
    <message>
        <source>Symulacja: program P%1 kończy się po %2 s</source>
        <translation>Simulation: program P%1 ends after %2 s</translation>
    </message>
    <message>
        <source>w linii %1</source>
        <translation>in line %1</translation>
    </message>
    <message>
        <source> programu P%1</source>
        <translation> of program P%1</translation>
    </message>
    <message>
        <source>czeka %1 na %2 wejścia %3</source>
        <translation>waits %1 for input %3 to turn %2</translation>
    </message>
    <message>
        <source>załączenie</source>
        <translation>on</translation>
    </message>
    <message>
        <source>wyłączenie</source>
        <translation>off</translation>
    </message>
    <message>
        <source>czeka %1 na zakończenie ruchu osi</source>
        <translation>waits %1 for the axis to finish its move</translation>
    </message>
    <message>
        <source>odlicza czas %1</source>
        <translation>counts time %1</translation>
    </message>
    <message>
        <source>pracuje dalej %1</source>
        <translation>keeps running %1</translation>
    </message>
    <message>
        <source>Symulacja: program P%1 nie kończy się w ciągu %2 s; %3</source>
        <translation>Simulation: program P%1 does not end within %2 s; %3</translation>
    </message>
    <message>
        <source>Symulacja: nie wybrano programu</source>
        <translation>Simulation: no program chosen</translation>
    </message>
</context>
<context>
    <name>RunRecording</name>
    <message>
        <source>Nagrywaj</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>„Uruchom program” nagrywa przebieg i porównuje go z symulacją</source>
        <translation>“Run program” records the run and compares it with the simulation</translation>
    </message>
    <message>
        <source>Nagrywanie: odczyt parametrów sterownika…</source>
        <translation>Recording: reading the controller&apos;s parameters…</translation>
    </message>
    <message>
        <source>Nagrywanie przerwane: nie można pisać do sterownika</source>
        <translation>Recording stopped: cannot write to the controller</translation>
    </message>
    <message>
        <source>Nagrywanie programu P%1…</source>
        <translation>Recording program P%1…</translation>
    </message>
    <message>
        <source>Nagrywanie przerwane: brak odpowiedzi sterownika na odczyt parametrów; program nie został uruchomiony</source>
        <translation>Recording stopped: no reply from the controller to the parameter read; the program was not started</translation>
    </message>
    <message>
        <source>Nagrywanie przerwane: sterownik nie podaje pozycji; program nie został uruchomiony</source>
        <translation>Recording stopped: the controller reports no position; the program was not started</translation>
    </message>
    <message>
        <source>Nagrywanie przerwane przed uruchomieniem programu</source>
        <translation>Recording stopped before the program started</translation>
    </message>
</context>
<context>
    <name>TFMain</name>
    <message>
        <source>Plik</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Nowy</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Otwórz</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Zapisz jako...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Koniec</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Symulacja</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>Raport z uruchomienia…</source>
        <translation>Run report…</translation>
    </message>
    <message>
        <source>Pomoc</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>O programie</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Programowanie</source>
        <translation>Programming</translation>
    </message>
    <message>
        <source>Sterowanie</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>Opcje</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Operacje na plikach</source>
        <translation>File operations</translation>
    </message>
    <message>
        <source>Automatycznie wczytaj ostatni program przy starcie</source>
        <translation>Load the last program automatically at start-up</translation>
    </message>
    <message>
        <source>Połączenie</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Połącz z urządzeniem przy starcie programu</source>
        <translation>Connect to the device at start-up</translation>
    </message>
    <message>
        <source>Automatycznie wznawiaj polączenie</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>Urządzenia USB</source>
        <translation>USB devices</translation>
    </message>
    <message>
        <source>Generuj</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>Czysc</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>edycja linii %1</source>
        <translation>edit of line %1</translation>
    </message>
    <message>
        <source>odczyt programu %1 ze sterownika</source>
        <translation>read of program %1 from the controller</translation>
    </message>
    <message>
        <source>Raport z uruchomienia</source>
        <translation>Run report</translation>
    </message>
    <message>
        <source>Brak nagranego przebiegu: zaznacz „Nagrywaj” i uruchom program</source>
        <translation>No recorded run: tick “Record” and run the program</translation>
    </message>
    <message>
        <source>raport-P%1-%2.pdf</source>
        <translation>report-P%1-%2.pdf</translation>
    </message>
    <message>
        <source>Dokument PDF (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Raport zapisany: %1 (próbki: %2, wykres: %3)</source>
        <translation>Report saved: %1 (samples: %2, chart: %3)</translation>
    </message>
    <message>
        <source>KX-RD4 PC (symulator)</source>
        <translation>KX-RD4 PC (emulator)</translation>
    </message>
    <message>
        <source>Program do wspołpracy z urządzeniem KX-RD4
&gt;&gt;Generator trajektorii&lt;&lt;

  wersja: %1
  %2</source>
        <translation>Program for working with the KX-RD4 device
&gt;&gt;Trajectory generator&lt;&lt;

  version: %1
  %2</translation>
    </message>
    <message>
        <source>Odczytaj program</source>
        <translation>Read program</translation>
    </message>
    <message>
        <source>Czy na pewno chcesz zastąpić program %1</source>
        <translation>Do you really want to replace program %1?</translation>
    </message>
    <message>
        <source>inny program</source>
        <translation>another program</translation>
    </message>
    <message>
        <source> (proces </source>
        <translation> (process </translation>
    </message>
    <message>
        <source>Sterownik jest zajęty przez %1</source>
        <translation>The controller is in use by %1</translation>
    </message>
    <message>
        <source>Nagrywanie trwa: odznacz „Nagrywaj”, aby je zakończyć</source>
        <translation>Recording under way: untick “Record” to end it</translation>
    </message>
</context>
<context>
    <name>TFProg</name>
    <message>
        <source>Edycja rozkazu</source>
        <translation>Edit command</translation>
    </message>
    <message>
        <source>Funkcja</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>Parametr</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Linia</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>We/Wy</source>
        <translation>I/O</translation>
    </message>
    <message>
        <source>Stan</source>
        <translation>State</translation>
    </message>
    <message>
        <source>Typ</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Program %1 linia %2</source>
        <translation>Program %1 line %2</translation>
    </message>
</context>
<context>
    <name>TextView</name>
    <message>
        <source>Tekst jest poprawny.</source>
        <translation>The text is valid.</translation>
    </message>
</context>
<context>
    <name>TravelLimitsView</name>
    <message>
        <source>Granice ruchu</source>
        <translation>Travel limits</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>V max</source>
        <translation>V max</translation>
    </message>
    <message>
        <source>bez limitu</source>
        <translation>no limit</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Dla %1, zapisane w tym PC, nie w sterowniku.</source>
        <translation>For %1, kept on this PC, not in the controller.</translation>
    </message>
    <message>
        <source>Brak sterownika: granice są zapisywane dla numeru seryjnego sterownika, w tym PC.</source>
        <translation>No controller: the limits are kept on this PC for the controller&apos;s serial number.</translation>
    </message>
    <message>
        <source>Granice ruchu: podaj liczby min ≤ max (i V max większe od 0 albo puste)</source>
        <translation>Travel limits: enter numbers min ≤ max (and V max above 0 or empty)</translation>
    </message>
    <message>
        <source>Granice ruchu zostały zapisane (w tym PC)</source>
        <translation>Travel limits saved (on this PC)</translation>
    </message>
    <message>
        <source>Granice ruchu zostały usunięte</source>
        <translation>Travel limits removed</translation>
    </message>
</context>
</TS>
