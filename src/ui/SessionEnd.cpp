#include "SessionEnd.h"

#include <QGuiApplication>
#include <QSessionManager>

SessionEnd::SessionEnd(Steps steps, QObject* parent) : QObject(parent), steps_(std::move(steps)) {}

void SessionEnd::Watch(QGuiApplication& app) {
    connect(
        &app, &QGuiApplication::commitDataRequest, this,
        [this](QSessionManager& manager) {
            // Asking lets the user's input through to the question.
            const bool interaction = manager.allowsInteraction();
            const bool mayEnd = CommitData(interaction);
            if (interaction)
                manager.release();
            if (!mayEnd)
                manager.cancel();
        },
        Qt::DirectConnection);
}

bool SessionEnd::CommitData(bool interactionAllowed) {
    steps_.keepUnsavedEdits();
    const bool mayEnd = !interactionAllowed || steps_.closeQuery();
    steps_.storeSettings();
    return mayEnd;
}
