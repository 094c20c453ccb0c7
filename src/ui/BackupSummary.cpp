#include "BackupSummary.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <utility>

#include "DeviceTexts.h"
#include "ParameterTable.h"
#include "UiLanguage.h"

namespace {

using Result = BackupSession::Item::Result;

// Fragments of the device layer's reasons, in the order they are replaced.
const std::pair<const char*, const char*> Phrases[] = {
    {R"(^write: )", "zapis: "},
    {R"(^read back: )", "odczyt kontrolny: "},
    {R"(^not written: interrupted$)", "nie zapisano: przerwano"},
    {R"(^written; cannot be read back$)", "zapisano; sterownik nie pozwala tego odczytać"},
    {R"(^cannot be read back$)", "sterownik nie pozwala tego odczytać"},
    {R"(never restored: writing it moves the axis)", "nie jest przywracane: zapis porusza osią"},
    {R"(not restored: writing it starts homing \(--homing\))",
     "nie przywrócono: zapis uruchamia bazowanie"},
    {R"(parameters not selected)", "parametry nie były wybrane"},
    {R"(^interrupted$)", "przerwano"},
    {R"(interrupted at )", "przerwano w "},
    {R"(the wait was interrupted)", "oczekiwanie przerwano"},
    {R"(the KX-RD4 was disconnected)", "sterownik został odłączony"},
    {R"(no answer from the KX-RD4 within (\d+) ms)", "brak odpowiedzi sterownika w ciągu \\1 ms"},
    {R"(the KX-RD4 did not report the program stored within (\d+) ms)",
     "sterownik nie potwierdził zapisania programu w ciągu \\1 ms"},
    {R"(all 25 lines of (P\d) were answered, but )", "wszystkie 25 linii \\1 potwierdzone, ale "},
    {R"(line (\d\d) of (P\d))", "linii \\1 programu \\2"},
    {R"( at linii )", " w linii "},
    {R"(no line was confirmed)", "żadna linia nie została potwierdzona"},
    {R"(lines 00 to (\d\d) were confirmed)", "potwierdzono linie 00 do \\1"},
    {R"(the KX-RD4's answer did not carry the value)",
     "odpowiedź sterownika nie zawierała wartości"},
    {R"(no KX-RD4 is connected.*$)", "sterownik KX-RD4 nie jest podłączony"},
    {R"(no HID support on this system)", "brak obsługi urządzeń HID w systemie"},
};

// The backup file's errors.
const std::pair<const char*, const char*> ParsePhrases[] = {
    {R"re(^unknown key "([^"]*)" \(keys: )re", "nieznany klucz \"\\1\" (klucze: "},
    {R"re( is given twice$)re", " podano dwukrotnie"},
    {R"re(^"(.*)" is not "key = value"$)re", "\"\\1\" nie ma postaci \"klucz = wartość\""},
    {R"re(^"(.*)" comes before the \[parameters\] or \[programs\] section$)re",
     "\"\\1\" stoi przed sekcją [parameters] lub [programs]"},
    {R"re(^no \[parameters\] or \[programs\] section: not a controller backup$)re",
     "brak sekcji [parameters] i [programs]: to nie jest kopia sterownika"},
    {R"re(" is not a velocity followed by the contact type NO or NC$)re",
     "\" nie jest prędkością z typem styku NO lub NC"},
    {R"re(" is not a whole number$)re", "\" nie jest liczbą całkowitą"},
    {R"re( is outside the rates )re", " jest spoza prędkości "},
    {R"re( is outside (-?\d+) to (-?\d+)$)re", " jest spoza zakresu \\1 do \\2"},
    // A file the tool wrote that was cut short or damaged.
    {R"re(^the file ends at line (\d+) without the \[end\] line its \[backup\] section \(line (\d+)\) promises: it is cut short, and nothing of it is used$)re",
     "plik kończy się w linii \\1 bez linii [end], którą zapowiada jego sekcja [backup] "
     "(linia \\2): jest ucięty i nic z niego nie zostanie użyte"},
    {R"re(^(P\d) \(line (\d+)\) lacks (\[\d+\]) and (\d+) more: .*$)re",
     "\\1 (linia \\2) nie ma linii \\3 i \\4 kolejnych: plik jest ucięty lub uszkodzony i nic z "
     "niego nie zostanie użyte"},
    {R"re(^(P\d) \(line (\d+)\) lacks (\[\d+\]): .*$)re",
     "\\1 (linia \\2) nie ma linii \\3: plik jest ucięty lub uszkodzony i nic z niego nie "
     "zostanie użyte"},
    {R"re(^the file lacks (.*), which its \[backup\] section \(line (\d+)\) names: .*$)re",
     "w pliku brakuje: \\1, choć wymienia je jego sekcja [backup] (linia \\2): plik jest "
     "uszkodzony i nic z niego nie zostanie użyte"},
    {R"re(^"(.*)" follows \[end\] on line (\d+): .*$)re",
     "\"\\1\" stoi po linii [end] (linia \\2): po niej mogą być tylko komentarze"},
};

// The device layer's English text in the window's language: as it stands in
// English, with the phrases replaced in Polish.
template <std::size_t N>
QString Translated(const std::string& english,
                   const std::pair<const char*, const char*> (&phrases)[N]) {
    QString text = QString::fromStdString(english);
    if (UiLanguage::Current() == Language::English)
        return text;
    for (const auto& [pattern, polish] : phrases)
        text.replace(QRegularExpression(QString::fromUtf8(pattern)), QString::fromUtf8(polish));
    return text;
}

} // namespace

QString BackupSummary::ItemName(const std::string& name) {
    if (const ParameterTable::Parameter* parameter = ParameterTable::Find(name)) {
        return DeviceTexts::Translate(std::string(parameter->label)) + " (" +
               QString::fromStdString(name) + ")";
    }
    QString text = QString::fromStdString(name);
    text.replace(" line ", tr(" linia "));
    return text;
}

QString BackupSummary::ResultText(Result result) {
    switch (result) {
    case Result::Verified:
        return tr("zgodne");
    case Result::Differs:
        return tr("RÓŻNI SIĘ");
    case Result::Failed:
        return tr("BŁĄD");
    case Result::Unverified:
        return tr("zapisane, niesprawdzalne");
    case Result::NotRestored:
        return tr("pominięte");
    }
    return {};
}

QString BackupSummary::Reason(const std::string& reason) {
    return Translated(reason, Phrases);
}

BackupSummary::Text BackupSummary::Restore(const std::vector<BackupSession::Item>& items,
                                           const QString& controller, const QString& file,
                                           bool cancelled) {
    int verified = 0;
    int unverified = 0;
    int left = 0;
    int bad = 0;
    Text summary;
    for (const auto& item : items) {
        QString line = ItemName(item.name) + ": " + ResultText(item.result);
        switch (item.result) {
        case Result::Verified:
            ++verified;
            break;
        case Result::Unverified:
            ++unverified;
            break;
        case Result::NotRestored:
            ++left;
            break;
        case Result::Differs:
        case Result::Failed:
            ++bad;
            break;
        }
        if (item.result == Result::Differs)
            line +=
                tr("\n    w pliku:      %1\n    w sterowniku: %2")
                    .arg(QString::fromStdString(item.expected), QString::fromStdString(item.got));
        else if (!item.got.empty() && item.result != Result::Verified)
            line += " (" + Reason(item.got) + ")";
        summary.details += line + "\n";
    }
    summary.complete = bad == 0 && !cancelled;
    const QString name = QFileInfo(file).fileName();
    if (cancelled)
        summary.text = tr("Przywracanie sterownika %1 z pliku %2 zostało przerwane. Sterownik "
                          "może zawierać tylko część kopii.")
                           .arg(controller, name);
    else if (bad == 0)
        summary.text = tr("Sterownik %1 został przywrócony z pliku %2. Wszystko, co zapisano, "
                          "odczytano ponownie i sprawdzono.")
                           .arg(controller, name);
    else
        summary.text = tr("Przywracanie sterownika %1 z pliku %2 nie powiodło się w całości.")
                           .arg(controller, name);
    summary.text += tr("\n\nZgodne: %1, różne lub błędy: %2").arg(verified).arg(bad);
    if (unverified > 0)
        summary.text += tr(", niesprawdzalne: %1").arg(unverified);
    if (left > 0)
        summary.text += tr(", pominięte: %1").arg(left);
    summary.text += ".";
    return summary;
}

QString BackupSummary::ParseError(const ControllerBackup::Error& error, const QString& file) {
    return tr("Plik %1 nie jest poprawną kopią sterownika.\n\nBłąd w linii %2: %3")
        .arg(QFileInfo(file).fileName(), QString::number(error.lineNumber),
             Translated(error.message, ParsePhrases));
}
