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
    <message>
        <source>Wykres niedostępny:
%1</source>
        <translation>Chart unavailable:
%1</translation>
    </message>
</context>
<context>
    <name>ControllerBackupView</name>
    <message>
        <source>Kopia sterownika</source>
        <translation>Controller backup</translation>
    </message>
    <message>
        <source>Przywróć sterownik</source>
        <translation>Restore controller</translation>
    </message>
    <message>
        <source>Kopia sterownika nie powiodła się</source>
        <translation>The controller backup failed</translation>
    </message>
    <message>
        <source>Przywracanie sterownika nie powiodło się</source>
        <translation>The controller restore failed</translation>
    </message>
    <message>
        <source>Kopia sterownika (*.kxb)</source>
        <translation>Controller backup (*.kxb)</translation>
    </message>
    <message>
        <source>Kopia sterownika…</source>
        <translation>Back up controller…</translation>
    </message>
    <message>
        <source>Przywróć sterownik…</source>
        <translation>Restore controller…</translation>
    </message>
    <message>
        <source>Przerwij</source>
        <translation>Abort</translation>
    </message>
    <message>
        <source>Sterownik KX-RD4 nie jest podłączony</source>
        <translation>No KX-RD4 controller is connected</translation>
    </message>
    <message>
        <source>Kopia sterownika została przerwana</source>
        <translation>The controller backup was cancelled</translation>
    </message>
    <message>
        <source>Kopia sterownika %1 nie została zapisana (%2). Plik %3 pozostał bez zmian.</source>
        <translation>The backup of controller %1 was not saved (%2). File %3 was left unchanged.</translation>
    </message>
    <message>
        <source>Nie można zapisać pliku %1. Plik pozostał bez zmian.</source>
        <translation>Cannot write file %1. The file was left unchanged.</translation>
    </message>
    <message>
        <source>Kopia sterownika została zapisana</source>
        <translation>The controller backup was saved</translation>
    </message>
    <message>
        <source>Kopia sterownika %1 została zapisana do pliku %2: %3 parametrów i programy %4.</source>
        <translation>The backup of controller %1 was saved to file %2: %3 parameters and programs %4.</translation>
    </message>
    <message>
        <source>Kopia sterownika %1 nie została zapisana (%2).</source>
        <translation>The backup of controller %1 was not saved (%2).</translation>
    </message>
    <message>
        <source>Nie można odczytać pliku %1</source>
        <translation>Cannot read file %1</translation>
    </message>
    <message>
        <source>programy %1 oraz %2 parametrów</source>
        <translation>programs %1 and %2 parameters</translation>
    </message>
    <message>
        <source>programy %1</source>
        <translation>programs %1</translation>
    </message>
    <message>
        <source>%1 parametrów</source>
        <translation>%1 parameters</translation>
    </message>
    <message>
        <source>nic</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>%1.
Bez zmian pozostaną (nie ma ich w pliku): %2</source>
        <translation>%1.
Left unchanged (not in the file): %2</translation>
    </message>
    <message>
        <source>Czy na pewno chcesz przywrócić sterownik %1 z pliku %2?

Zostaną zapisane: %3. Zawartość sterownika zostanie zastąpiona, a każda zapisana pozycja odczytana ponownie i sprawdzona. Pozycja i prędkość docelowa nie są zapisywane.</source>
        <translation>Do you really want to restore controller %1 from file %2?

To be written: %3. The controller&apos;s contents will be replaced, and every item written will be read back and verified. The target position and velocity are not written.</translation>
    </message>
    <message>
        <source>Plik zawiera prędkość bazowania i typ styku. Ich zapisanie uruchamia bazowanie: oś się poruszy.

Czy zapisać je i uruchomić bazowanie?</source>
        <translation>The file holds the homing velocity and contact type. Writing them starts homing: the axis will move.

Write them and start homing?</translation>
    </message>
    <message>
        <source>Przywracanie sterownika</source>
        <translation>Restoring the controller</translation>
    </message>
    <message>
        <source>Sterownik został przywrócony</source>
        <translation>The controller was restored</translation>
    </message>
    <message>
        <source>Nic nie zapisano do sterownika %1 (%2).</source>
        <translation>Nothing was written to controller %1 (%2).</translation>
    </message>
    <message>
        <source>%1: przerywanie…</source>
        <translation>%1: cancelling…</translation>
    </message>
    <message>
        <source>%1: przerwano, zatrzymywanie osi…</source>
        <translation>%1: cancelled, stopping the axis…</translation>
    </message>
    <message>
        <source>%1: przerwano, wysłano zatrzymanie osi</source>
        <translation>%1: cancelled, the axis stop was sent</translation>
    </message>
    <message>
        <source>Nie udało się wysłać zatrzymania osi</source>
        <translation>The axis stop could not be sent</translation>
    </message>
    <message>
        <source>Zatrzymanie osi</source>
        <translation>Axis stop</translation>
    </message>
    <message>
        <source>Zatrzymanie osi nie zostało wysłane (%1). Oś może się nadal poruszać.</source>
        <translation>The axis stop was not sent (%1). The axis may still be moving.</translation>
    </message>
    <message>
        <source>%1…</source>
        <translation>%1…</translation>
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
    <name>DeviceReportProcessor</name>
    <message>
        <source>Program został odczytany z pamieci wewnetrznej urządzenia</source>
        <translation>The program was read from the device&apos;s internal memory</translation>
    </message>
    <message>
        <source>Program został zapisany do pamięci wewnetrznej urządzenia</source>
        <translation>The program was written to the device&apos;s internal memory</translation>
    </message>
    <message>
        <source>Program z pamięci wewnętrznej został uruchomiony</source>
        <translation>The program in internal memory was started</translation>
    </message>
    <message>
        <source>Program z pamięci wewnętrznej  został zatrzymany</source>
        <translation>The program in internal memory was stopped</translation>
    </message>
    <message>
        <source>Prędkość minimalna została odczytana</source>
        <translation>Minimum velocity read</translation>
    </message>
    <message>
        <source>Prędkość maksymalna została odczytana</source>
        <translation>Maximum velocity read</translation>
    </message>
    <message>
        <source>Przyspieszenie maksymalne zostalo odczytane</source>
        <translation>Maximum acceleration read</translation>
    </message>
    <message>
        <source>Prędkość bazowania została odczytana</source>
        <translation>Homing velocity read</translation>
    </message>
    <message>
        <source>Prędkość zadana została odczytana</source>
        <translation>Target velocity read</translation>
    </message>
    <message>
        <source>Pozycja zadana została odczytana</source>
        <translation>Target position read</translation>
    </message>
    <message>
        <source>Prędkość minimalna został zapisana</source>
        <translation>Minimum velocity written</translation>
    </message>
    <message>
        <source>Prędkość maksymalna została zapisana</source>
        <translation>Maximum velocity written</translation>
    </message>
    <message>
        <source>Przyspieszenie maksymalne zostało zapiane</source>
        <translation>Maximum acceleration written</translation>
    </message>
    <message>
        <source>Bazowanie zostało rozpoczęte</source>
        <translation>Homing started</translation>
    </message>
    <message>
        <source>Prędkość zadana została ustawiona</source>
        <translation>Target velocity set</translation>
    </message>
    <message>
        <source>Pozycja zadana została ustawiona</source>
        <translation>Target position set</translation>
    </message>
    <message>
        <source>Sygnał ENABLE został ustawiony w stan aktywny</source>
        <translation>ENABLE signal set active</translation>
    </message>
    <message>
        <source>Sygnał ENABLE został ustawiony w stan nieaktywny</source>
        <translation>ENABLE signal set inactive</translation>
    </message>
    <message>
        <source>Rozpoczeto hamowanie silnika</source>
        <translation>Motor braking started</translation>
    </message>
    <message>
        <source>Silnik został zatrzymany</source>
        <translation>Motor stopped</translation>
    </message>
    <message>
        <source>Prędkość silnika została zwiększona</source>
        <translation>Motor velocity increased</translation>
    </message>
    <message>
        <source>Prędkość silnika została zmniejszona</source>
        <translation>Motor velocity decreased</translation>
    </message>
    <message>
        <source>Pozycja silnika została zmniejszona</source>
        <translation>Motor position decreased</translation>
    </message>
    <message>
        <source>Pozycja silnika została zwiększona</source>
        <translation>Motor position increased</translation>
    </message>
    <message>
        <source>Adres MODBUS został ustawiony</source>
        <translation>MODBUS address set</translation>
    </message>
    <message>
        <source>Prędkość MODBUS została ustawiona</source>
        <translation>MODBUS baud rate set</translation>
    </message>
    <message>
        <source>Filtracja wejść została ustawiona</source>
        <translation>Input filtering set</translation>
    </message>
    <message>
        <source>Pozycja definiowana została odczytana</source>
        <translation>Defined position read</translation>
    </message>
    <message>
        <source>Prędkość definiowana została odczytana</source>
        <translation>Defined velocity read</translation>
    </message>
    <message>
        <source>Czas definiowany został odczytany</source>
        <translation>Defined time read</translation>
    </message>
    <message>
        <source>Pozycja definiowana została zapisana</source>
        <translation>Defined position written</translation>
    </message>
    <message>
        <source>Prędkość definiowana została zapisana</source>
        <translation>Defined velocity written</translation>
    </message>
    <message>
        <source>Czas definiowany został zapiany</source>
        <translation>Defined time written</translation>
    </message>
    <message>
        <source>Sterownik nie odpowiada</source>
        <translation>The controller does not answer</translation>
    </message>
    <message>
        <source>Brak odpowiedzi sterownika: zapis programu nie został potwierdzony</source>
        <translation>No reply from the controller: the program was not confirmed stored</translation>
    </message>
    <message>
        <source>Nie można wysłać programu: brak połączenia ze sterownikiem</source>
        <translation>Cannot send the program: no connection to the controller</translation>
    </message>
    <message>
        <source>Nie można odczytać programu: brak połączenia ze sterownikiem</source>
        <translation>Cannot read the program: no connection to the controller</translation>
    </message>
    <message>
        <source>Nie można wysłać programu: urządzenie nie przyjmuje raportów tej długości</source>
        <translation>Cannot send the program: the device does not take reports of this length</translation>
    </message>
    <message>
        <source>Nie można odczytać programu: urządzenie nie przyjmuje raportów tej długości</source>
        <translation>Cannot read the program: the device does not take reports of this length</translation>
    </message>
    <message>
        <source>Nie można wysłać programu: zapis do urządzenia nie powiódł się</source>
        <translation>Cannot send the program: writing to the device failed</translation>
    </message>
    <message>
        <source>Nie można odczytać programu: zapis do urządzenia nie powiódł się</source>
        <translation>Cannot read the program: writing to the device failed</translation>
    </message>
    <message>
        <source>Brak odpowiedzi sterownika: linia </source>
        <translation>No reply from the controller: line </translation>
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
        <translation>Do you really want to clear program %1?</translation>
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
    <name>FaultCauseText</name>
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
    <name>HeldProgramView</name>
    <message>
        <source>Sterownik nie potwierdził programu %1: program nie został uruchomiony</source>
        <translation>The controller did not confirm program %1: the program was not started</translation>
    </message>
    <message>
        <source>Sterownik zmieniony: program %1 nie został uruchomiony</source>
        <translation>Controller changed: program %1 was not started</translation>
    </message>
    <message>
        <source>Program %1 nie został odczytany</source>
        <translation>Program %1 was not read</translation>
    </message>
    <message>
        <source>Brak odpowiedzi sterownika: program %1 nie został uruchomiony</source>
        <translation>No reply from the controller: program %1 was not started</translation>
    </message>
    <message>
        <source>Program %1 w sterowniku jest zgodny z edytorem</source>
        <translation>Program %1 in the controller is the same as in the editor</translation>
    </message>
    <message>
        <source>Program %1 wysłany, sprawdzony odczytem i uruchomiony</source>
        <translation>Program %1 sent, verified by reading it back, and started</translation>
    </message>
    <message>
        <source>Odczytany program %1 różni się od wysłanego w linii %2: program nie został uruchomiony</source>
        <translation>Program %1 as read back differs from the one sent in line %2: the program was not started</translation>
    </message>
    <message>
        <source>Uruchom program</source>
        <translation>Run program</translation>
    </message>
    <message>
        <source>Trwa wysyłanie programu %1</source>
        <translation>Program %1 is being sent</translation>
    </message>
    <message>
        <source>Odczyt programu %1 ze sterownika przed uruchomieniem</source>
        <translation>Reading program %1 from the controller before running it</translation>
    </message>
    <message>
        <source>Program %1 został zmieniony od wysłania; sterownik ma poprzednią wersję.
Tak – wyślij go (ze sprawdzeniem odczytem) i uruchom,
Nie – uruchom wersję ze sterownika.</source>
        <translation>Program %1 was changed since it was sent; the controller holds the previous version.
Yes – send it (verified by reading it back) and run it,
No – run the controller&apos;s version.</translation>
    </message>
    <message>
        <source>Program %1 w sterowniku różni się od programu w edytorze.
Tak – wyślij go (ze sprawdzeniem odczytem) i uruchom,
Nie – uruchom wersję ze sterownika.</source>
        <translation>Program %1 in the controller differs from the one in the editor.
Yes – send it (verified by reading it back) and run it,
No – run the controller&apos;s version.</translation>
    </message>
    <message>
        <source>Program %1 nie został wysłany</source>
        <translation>Program %1 was not sent</translation>
    </message>
    <message>
        <source>w sterowniku: zgodny</source>
        <translation>in controller: same</translation>
    </message>
    <message>
        <source>w sterowniku: zmieniony od wysłania</source>
        <translation>in controller: changed since sent</translation>
    </message>
    <message>
        <source>w sterowniku: inny niż w edytorze</source>
        <translation>in controller: differs from editor</translation>
    </message>
    <message>
        <source>w sterowniku: nieznany</source>
        <translation>in controller: unknown</translation>
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
    <name>LiveChartModule</name>
    <message>
        <source>%1: to nie jest moduł wykresu</source>
        <translation>%1: not a chart library</translation>
    </message>
    <message>
        <source>%1: moduł wykresu innej wersji (%2)</source>
        <translation>%1: a chart library of another version (%2)</translation>
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
    <name>ProgramCheckView</name>
    <message>
        <source>P%1 [%2] błąd: %3</source>
        <translation>P%1 [%2] error: %3</translation>
    </message>
    <message>
        <source>P%1 [%2] ostrzeżenie: %3</source>
        <translation>P%1 [%2] warning: %3</translation>
    </message>
    <message>
        <source>Sprawdź program</source>
        <translation>Check program</translation>
    </message>
    <message>
        <source>Wyślij program</source>
        <translation>Send program</translation>
    </message>
    <message>
        <source>Program zawiera błędy. Wysłać mimo to?</source>
        <translation>The program has errors. Send it anyway?</translation>
    </message>
    <message>
        <source>Uruchom program</source>
        <translation>Run program</translation>
    </message>
    <message>
        <source>Program zawiera błędy. Uruchomić mimo to?</source>
        <translation>The program has errors. Run it anyway?</translation>
    </message>
    <message>
        <source>Sprawdzenie programu %1: bez uwag</source>
        <translation>Check of program %1: no findings</translation>
    </message>
    <message>
        <source>Sprawdzenie programu %1: błędy: %2, ostrzeżenia: %3</source>
        <translation>Check of program %1: errors: %2, warnings: %3</translation>
    </message>
</context>
<context>
    <name>ProgramEditing</name>
    <message>
        <source>linii %1</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>linii %1–%2</source>
        <translation>lines %1–%2</translation>
    </message>
    <message>
        <source>linię %1</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>linie %1–%2</source>
        <translation>lines %1–%2</translation>
    </message>
    <message>
        <source>Linia %1 tekstu: %2</source>
        <translation>Line %1 of the text: %2</translation>
    </message>
    <message>
        <source>Cofnij</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Ponów</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Wytnij linie</source>
        <translation>Cut lines</translation>
    </message>
    <message>
        <source>Kopiuj linie</source>
        <translation>Copy lines</translation>
    </message>
    <message>
        <source>Kopiuj cały program</source>
        <translation>Copy whole program</translation>
    </message>
    <message>
        <source>Wklej linie</source>
        <translation>Paste lines</translation>
    </message>
    <message>
        <source>Wstaw linię</source>
        <translation>Insert line</translation>
    </message>
    <message>
        <source>Usuń linię</source>
        <translation>Delete line</translation>
    </message>
    <message>
        <source>Edytuj jako tekst…</source>
        <translation>Edit as text…</translation>
    </message>
    <message>
        <source>Edycja</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Cofnij: %1</source>
        <translation>Undo: %1</translation>
    </message>
    <message>
        <source>Ponów: %1</source>
        <translation>Redo: %1</translation>
    </message>
    <message>
        <source>Skopiowano do schowka: %1</source>
        <translation>Copied to the clipboard: %1</translation>
    </message>
    <message>
        <source>Skopiowano do schowka: program %1</source>
        <translation>Copied to the clipboard: program %1</translation>
    </message>
    <message>
        <source>Do %1 skaczą linie: %2. Czy na pewno chcesz wyciąć %3?</source>
        <translation>Lines %2 jump to %1. Do you really want to cut %3?</translation>
    </message>
    <message>
        <source>wycięcie %1</source>
        <translation>cut of %1</translation>
    </message>
    <message>
        <source>Tekst ze schowka nie jest programem i nie został wklejony.
%1</source>
        <translation>The text on the clipboard is not a program and was not pasted.
%1</translation>
    </message>
    <message>
        <source>Nie można wkleić %1 linii w linii %2: niepusta linia zostałaby przesunięta poza linię 24.</source>
        <translation>Cannot paste %1 lines at line %2: a line that is not empty would be pushed past line 24.</translation>
    </message>
    <message>
        <source>wklejenie %1</source>
        <translation>paste of %1</translation>
    </message>
    <message>
        <source>Nie można wstawić linii: linia 24 nie jest pusta.</source>
        <translation>Cannot insert a line: line 24 is not empty.</translation>
    </message>
    <message>
        <source>wstawienie linii %1</source>
        <translation>insertion of line %1</translation>
    </message>
    <message>
        <source>Do %1 skaczą linie: %2. Czy na pewno chcesz usunąć %3?</source>
        <translation>Lines %2 jump to %1. Do you really want to delete %3?</translation>
    </message>
    <message>
        <source>usunięcie %1</source>
        <translation>deletion of %1</translation>
    </message>
    <message>
        <source>edycja programu %1 jako tekst</source>
        <translation>text edit of program %1</translation>
    </message>
    <message>
        <source>Program %1 – edycja jako tekst</source>
        <translation>Program %1 – edit as text</translation>
    </message>
</context>
<context>
    <name>ProgramSimulation</name>
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
    <name>RunChartPainter</name>
    <message>
        <source>Pozycja [kroki]</source>
        <translation>Position [steps]</translation>
    </message>
    <message>
        <source>Prędkość [kroki/s]</source>
        <translation>Velocity [steps/s]</translation>
    </message>
    <message>
        <source>czas [s]</source>
        <translation>time [s]</translation>
    </message>
    <message>
        <source>pozycja zmierzona</source>
        <translation>measured position</translation>
    </message>
    <message>
        <source>pozycja przewidziana</source>
        <translation>predicted position</translation>
    </message>
    <message>
        <source>prędkość zmierzona</source>
        <translation>measured velocity</translation>
    </message>
    <message>
        <source>prędkość przewidziana</source>
        <translation>predicted velocity</translation>
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
    <name>RunReport</name>
    <message>
        <source>wartości po włączeniu zasilania</source>
        <translation>power-on values</translation>
    </message>
    <message>
        <source>Brak nagrania do raportu</source>
        <translation>No recording for the report</translation>
    </message>
    <message>
        <source>Nie udało się zapisać pliku %1.</source>
        <translation>Could not write file %1.</translation>
    </message>
    <message>
        <source>Raport z uruchomienia programu P%1</source>
        <translation>Run report of program P%1</translation>
    </message>
    <message>
        <source>Data: %1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>Narzędzie: kxrd4-pc %1</source>
        <translation>Tool: kxrd4-pc %1</translation>
    </message>
    <message>
        <source>Sterownik: KX-RD4, numer seryjny %1, port %2%3</source>
        <translation>Controller: KX-RD4, serial number %1, port %2%3</translation>
    </message>
    <message>
        <source>brak</source>
        <translation>none</translation>
    </message>
    <message>
        <source>nieznany</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source> (symulator)</source>
        <translation> (emulator)</translation>
    </message>
    <message>
        <source>Urządzenie: %1</source>
        <translation>Device: %1</translation>
    </message>
    <message>
        <source>Parametry przed uruchomieniem: %1</source>
        <translation>Parameters before the run: %1</translation>
    </message>
    <message>
        <source>Wynik: przebieg %1 (tolerancja %2 kroków)</source>
        <translation>Result: run %1 (tolerance %2 steps)</translation>
    </message>
    <message>
        <source>Czas cyklu: zmierzony %1, przewidziany %2</source>
        <translation>Cycle time: measured %1, predicted %2</translation>
    </message>
    <message>
        <source>brak końca</source>
        <translation>no end</translation>
    </message>
    <message>
        <source>Porównanie z symulacją</source>
        <translation>Comparison with the simulation</translation>
    </message>
    <message>
        <source>Błąd w symulacji: %1, %2: %3</source>
        <translation>Fault in the simulation: %1, %2: %3</translation>
    </message>
    <message>
        <source>Program P%1</source>
        <translation>Program P%1</translation>
    </message>
    <message>
        <source>Sprawdzenie programu: bez uwag</source>
        <translation>Program check: no findings</translation>
    </message>
    <message>
        <source>Próbki: %1, wykres: %2</source>
        <translation>Samples: %1, chart: %2</translation>
    </message>
</context>
<context>
    <name>RunReportText</name>
    <message>
        <source>pl</source>
        <comment>the language of the report&apos;s texts</comment>
        <translation>en</translation>
    </message>
    <message>
        <source>P%1 linia %2</source>
        <translation>P%1 line %2</translation>
    </message>
    <message>
        <source>zgodny z symulacją</source>
        <translation>matches the simulation</translation>
    </message>
    <message>
        <source>NIEZGODNY z symulacją</source>
        <translation>DOES NOT MATCH the simulation</translation>
    </message>
    <message>
        <source>Pomiar: cykl %1, przewidziany %2; największa odchyłka %3 kroków</source>
        <translation>Measurement: cycle %1, predicted %2; largest deviation %3 steps</translation>
    </message>
    <message>
        <source>brak końca</source>
        <translation>no end</translation>
    </message>
    <message>
        <source> (sterownik przestał odpowiadać)</source>
        <translation> (the controller stopped answering)</translation>
    </message>
    <message>
        <source>trwa</source>
        <translation>running</translation>
    </message>
    <message>
        <source>koniec programu</source>
        <translation>end of program</translation>
    </message>
    <message>
        <source>zatrzymane</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>limit czasu</source>
        <translation>time limit</translation>
    </message>
    <message>
        <source>brak odpowiedzi</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>Nagranie: %1 próbek, %2 próbek/s, najdłuższa przerwa %3 ms; zakończenie: %4</source>
        <translation>Recording: %1 samples, %2 samples/s, longest gap %3 ms; ended: %4</translation>
    </message>
    <message>
        <source>Początek przebiegu ustalony na pierwszym ruchu osi</source>
        <translation>Start of the run taken at the axis&apos;s first motion</translation>
    </message>
    <message>
        <source>Symulacja z włączonym napędem (program nie włącza ENABLE, a sterownik nie podaje jego stanu)</source>
        <translation>Simulated with the drive enabled (the program does not switch ENABLE on, and the controller does not report it)</translation>
    </message>
    <message>
        <source>Czas cyklu: zmierzony %1, przewidziany %2</source>
        <translation>Cycle time: measured %1, predicted %2</translation>
    </message>
    <message>
        <source>Dojazd %1: przewidziany %2 (pozycja %3), zmierzony %4%5</source>
        <translation>Arrival %1: predicted %2 (position %3), measured %4%5</translation>
    </message>
    <message>
        <source> (pozycja %1)</source>
        <translation> (position %1)</translation>
    </message>
    <message>
        <source>— nie zaobserwowano</source>
        <translation>— not observed</translation>
    </message>
    <message>
        <source> — SPÓŹNIONY</source>
        <translation> — LATE</translation>
    </message>
    <message>
        <source>Największa odchyłka pozycji: %1 kroków%2</source>
        <translation>Largest position deviation: %1 steps%2</translation>
    </message>
    <message>
        <source> w %1 (%2)</source>
        <translation> at %1 (%2)</translation>
    </message>
    <message>
        <source>przed pierwszą linią</source>
        <translation>before the first line</translation>
    </message>
    <message>
        <source>Prędkość szczytowa: zmierzona %1 w %2, przewidziana %3 w %4</source>
        <translation>Peak velocity: measured %1 at %2, predicted %3 at %4</translation>
    </message>
    <message>
        <source>Przebieg %1 (tolerancja %2 kroków)</source>
        <translation>Run %1 (tolerance %2 steps)</translation>
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
