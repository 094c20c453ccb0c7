#include "QtFileDialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

#include "TextShaping.h"

namespace {

// The extension of the filter's first pattern ("kxp" for "Plik program (*.kxp)"),
// which the save dialog adds to a name typed without one.
QString DefaultSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral(R"(\*\.([A-Za-z0-9]+))"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString Run(QFileDialog& dialog) {
    // File names may be in any script.
    dialog.setFont(TextShaping::Shaped(dialog.font()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString QtFileDialogs::GetOpenFileName(const QString& title, const QString& directory,
                                       const QString& filter) {
    QFileDialog dialog(parent_, title, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog);
}

QString QtFileDialogs::GetSaveFileName(const QString& title, const QString& directory,
                                       const QString& filter) {
    QFileDialog dialog(parent_, title, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The save command asks about an existing file itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(DefaultSuffix(filter));
    return Run(dialog);
}
