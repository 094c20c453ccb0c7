#include "DeviceTexts.h"

#include <QCoreApplication>
#include <cstring>

#include "DeviceLink.h"
#include "DeviceReportProcessor.h"

namespace {

// The contexts of KX_TRANSLATABLE in the device layer.
constexpr const char* Contexts[] = {"DeviceLink", "ParameterTable", "DeviceReportProcessor"};
// Texts that begin a longer one.
constexpr const char* Prefixes[] = {DeviceLink::InUseToolTip, DeviceLink::Switched,
                                    DeviceReportProcessor::StalledLine};

// The translation of text under one of the contexts, or nothing.
bool Lookup(const char* text, QString& translated) {
    const QString source = QString::fromUtf8(text);
    for (const char* context : Contexts) {
        const QString found = QCoreApplication::translate(context, text);
        if (found != source) {
            translated = found;
            return true;
        }
    }
    translated = source;
    return false;
}

} // namespace

QString DeviceTexts::Translate(const std::string& text) {
    QString translated;
    if (Lookup(text.c_str(), translated))
        return translated;
    for (const char* prefix : Prefixes) {
        if (text.size() > std::strlen(prefix) && text.starts_with(prefix)) {
            Lookup(prefix, translated);
            return translated + QString::fromStdString(text.substr(std::strlen(prefix)));
        }
    }
    return QString::fromStdString(text);
}
