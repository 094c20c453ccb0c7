#include "FormControls.h"

#include <QComboBox>
#include <QLabel>
#include <QStringListModel>

#include "DeferredStyleIcon.h"
#include "FontFamilies.h"

QFont FixedPitchFont(int pixelSize) {
    QFont font(FontFamilies::FixedPitch());
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
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
