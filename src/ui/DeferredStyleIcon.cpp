#include "DeferredStyleIcon.h"

#include <QApplication>
#include <QHash>
#include <QPainter>

QIcon DeferredStyleIcon::Make(QStyle::StandardPixmap image) {
    return QIcon(new DeferredStyleIcon(image));
}

const QIcon& DeferredStyleIcon::Loaded() const {
    static QHash<int, QIcon> loaded;
    auto found = loaded.find(static_cast<int>(image_));
    if (found == loaded.end()) {
        found =
            loaded.insert(static_cast<int>(image_), QApplication::style()->standardIcon(image_));
    }
    return found.value();
}

void DeferredStyleIcon::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                              QIcon::State state) {
    Loaded().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize DeferredStyleIcon::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Loaded().actualSize(size, mode, state);
}

QPixmap DeferredStyleIcon::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Loaded().pixmap(size, mode, state);
}

QPixmap DeferredStyleIcon::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                        qreal scale) {
    return Loaded().pixmap(size, scale, mode, state);
}

QList<QSize> DeferredStyleIcon::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return Loaded().availableSizes(mode, state);
}
