#pragma once
// A standard image of the application style (save, apply, reload, arrows)
// whose pictures are loaded only when the icon is first drawn or asked for a
// pixmap, not when a button is given it. The style's own icon decodes every
// size of its picture at once; most of the buttons that show these images lie
// on pages that are not visible when the window first appears, so loading them
// then would only delay the window. Each image is loaded once and shared by
// every icon showing it. User-interface thread only.

#include <QIcon>
#include <QIconEngine>
#include <QStyle>

class DeferredStyleIcon : public QIconEngine {
public:
    // An icon showing the style's image.
    static QIcon Make(QStyle::StandardPixmap image);

    explicit DeferredStyleIcon(QStyle::StandardPixmap image) : image_(image) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString key() const override { return QStringLiteral("DeferredStyleIcon"); }
    QIconEngine* clone() const override { return new DeferredStyleIcon(image_); }
    // Not null without loading: the style has every standard image.
    bool isNull() override { return false; }

private:
    // The style's icon, loaded on first use.
    const QIcon& Loaded() const;

    const QStyle::StandardPixmap image_;
};
