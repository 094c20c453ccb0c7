#pragma once
// Factories for the controls that the window and its pages place at fixed
// positions, and the parameter row shared by the "Sterowanie" and "Opcje"
// pages: an edit field with its caption above it, a read button and a write
// button.

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "NumberField.h"

class QComboBox;

// A new Control inside parent with that objectName and geometry; args come
// before the parent in its constructor (a caption, an icon).
template <typename Control, typename... Args>
Control* Place(QWidget* parent, const char* name, const QRect& geometry, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

// Courier New at that pixel size, or another fixed-pitch font where it is
// missing; hinted in full and laid out without shaping, as the window's font.
QFont FixedPitchFont(int pixelSize);

// A PNG picture of the tool's resources (":/shell/new.png"), read once and
// shared by every button and menu item that shows it. It is read as PNG
// without asking Qt's image plugins what it is, so no plugin is loaded for it.
QPixmap ResourcePixmap(const QString& path);
QIcon ResourceIcon(const QString& path);

// A drop-down list with these items and the item at current selected.
QComboBox* PlaceList(QWidget* parent, const char* name, const QRect& geometry,
                     const QStringList& items, int current);

// The caption of a labelled edit field stands above it; its objectName is the
// field's with "Caption" appended.
void AddFieldCaption(QWidget* field, const QString& caption);

// A write button shows its image to the right of the caption.
void SetTrailingIcon(QPushButton* button, QStyle::StandardPixmap image);

// Where a parameter row stands inside its box: the field at fieldX, the read
// button at readX and the write button right after the read button.
struct ParameterRowPlace {
    int top;
    int fieldX;
    int fieldWidth;
    int readX;
    int writeWidth;
};

// The texts of a parameter row; names are objectNames.
struct ParameterRowTexts {
    const char* field;
    QString caption;
    const char* readButton;
    const char* writeButton;
    QString writeCaption;
    QStyle::StandardPixmap writeImage;
};

struct ParameterRow {
    NumberField* field;
    QToolButton* read;
    QPushButton* write;

    // An edit of the field runs changed, the read button read and the write
    // button write.
    template <typename Receiver>
    void Connect(Receiver* receiver, void (Receiver::*changed)(), void (Receiver::*onRead)(),
                 void (Receiver::*onWrite)()) const {
        QObject::connect(field, &QLineEdit::textChanged, receiver, changed);
        QObject::connect(read, &QToolButton::clicked, receiver, onRead);
        QObject::connect(write, &QPushButton::clicked, receiver, onWrite);
    }
};

// The field with its caption, the read button with the reload image and the
// write button with its image right of the caption, inside box.
ParameterRow PlaceParameterRow(QWidget* box, const ParameterRowPlace& place,
                               const ParameterRowTexts& texts);

// The field of the row whose field objectName is name; nullptr when none is.
template <typename Row, std::size_t N>
NumberField* FindField(const std::array<Row, N>& rows, const std::array<NumberField*, N>& fields,
                       std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == rows[i].field) {
            return fields[i];
        }
    }
    return nullptr;
}

// Shows the value of a read reply in field; false when there is no field.
bool ShowFieldValue(NumberField* field, std::int32_t value);
