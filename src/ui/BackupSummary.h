#pragma once
// The window's words for a controller backup and restore: the item names, the
// results and reasons the device layer gives in English, the summary box of a
// restore and the message of a backup file that does not parse.

#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

#include "BackupSession.h"
#include "ControllerBackup.h"

class BackupSummary {
    Q_DECLARE_TR_FUNCTIONS(BackupSummary)

public:
    // "Prędkość maksymalna (vmax)", "P3", "P3 linia 05".
    static QString ItemName(const std::string& name);
    static QString ResultText(BackupSession::Item::Result result);
    // A reason of the device layer in Polish; what it does not know is kept.
    static QString Reason(const std::string& reason);

    struct Text {
        QString text;    // the box's text: the outcome in one or two sentences
        QString details; // one line per item
        bool complete = false;
    };
    // The outcome of a restore of file onto controller; cancelled: the
    // operator stopped it.
    static Text Restore(const std::vector<BackupSession::Item>& items, const QString& controller,
                        const QString& file, bool cancelled);
    // A backup file that does not parse: its line and what is wrong there.
    static QString ParseError(const ControllerBackup::Error& error, const QString& file);
};
