#include "FormControls.h"

#include <QComboBox>
#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QStringListModel>

#include "DeferredStyleIcon.h"
#include "FontFamilies.h"
#include "StartUpWarmUp.h"
#include "TextShaping.h"

QFont FixedPitchFont(int pixelSize) {
    QFont font(FontFamilies::FixedPitch());
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Drawn as the window's font: hinted in full, without shaping.
    font.setHintingPreference(QFont::PreferFullHinting);
    return TextShaping::Unshaped(font);
}

// The pictures stay until the process ends (never destroyed after the
// application object, which pictures must not outlive).
QPixmap ResourcePixmap(const QString& path) {
    static auto* read = new QHash<QString, QPixmap>;
    if (const auto found = read->constFind(path); found != read->cend())
        return *found;
    // Decoded during the start-up, or now.
    QImage image = StartUpWarmUp::TakePicture(path);
    if (image.isNull()) {
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        image = reader.read();
    }
    return *read->insert(path, QPixmap::fromImage(std::move(image)));
}

QIcon ResourceIcon(const QString& path) {
    const QPixmap pixmap = ResourcePixmap(path);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QComboBox* PlaceList(QWidget* parent, const char* name, const QRect& geometry,
                     const QStringList& items, int current) {
    auto* list = Place<QComboBox>(parent, name, geometry);
    // A plain list model: long lists (247 addresses) are made without an item
    // object per entry.
    list->setModel(new QStringListModel(items, list));
    list->setCurrentIndex(current);
    return list;
}

void AddFieldCaption(QWidget* field, const QString& caption) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setObjectName(field->objectName() + QStringLiteral("Caption"));
    label->setBuddy(field);
    label->adjustSize();
    label->move(field->x(), field->y() - label->height() - 3);
}

void SetTrailingIcon(QPushButton* button, QStyle::StandardPixmap image) {
    button->setIcon(DeferredStyleIcon::Make(image));
    button->setLayoutDirection(Qt::RightToLeft);
}

ParameterRow PlaceParameterRow(QWidget* box, const ParameterRowPlace& place,
                               const ParameterRowTexts& texts) {
    ParameterRow row{};
    row.field = new NumberField(QString::fromLatin1(texts.field), box);
    row.field->setGeometry(place.fieldX, place.top, place.fieldWidth, 24);
    AddFieldCaption(row.field, texts.caption);

    row.read = Place<QToolButton>(box, texts.readButton, QRect(place.readX, place.top, 25, 25));
    row.read->setIcon(DeferredStyleIcon::Make(QStyle::SP_BrowserReload));

    row.write = Place<QPushButton>(box, texts.writeButton,
                                   QRect(place.readX + 24, place.top, place.writeWidth, 25),
                                   texts.writeCaption);
    SetTrailingIcon(row.write, texts.writeImage);
    return row;
}

bool ShowFieldValue(NumberField* field, std::int32_t value) {
    if (field == nullptr) {
        return false;
    }
    field->ShowValue(value);
    return true;
}
