#include "qt/Pictures.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

// Resources of a static library must be registered by name from outside any namespace.
static void RegisterPictureResources() {
    Q_INIT_RESOURCE(Pictures);
}

namespace kelmor {

void InitPictures() {
    RegisterPictureResources();
}

namespace {
QPixmap Render(QSvgRenderer& renderer, QSize size, qreal devicePixelRatio) {
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}
} // namespace

QPixmap RenderPicture(const QString& name, QSize size, qreal devicePixelRatio) {
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
    return Render(renderer, size, devicePixelRatio);
}

QPixmap GreyedPicture(const QPixmap& picture) {
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            // Light grey of the picture's own brightness, half transparent.
            const int grey = 128 + qGray(c) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(c) / 2);
        }
    }
    QPixmap greyed = QPixmap::fromImage(image);
    greyed.setDevicePixelRatio(picture.devicePixelRatio());
    return greyed;
}

QIcon ToolIcon(const QString& name, QSize size, qreal devicePixelRatio) {
    const QPixmap normal = RenderPicture(name, size, devicePixelRatio);
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(GreyedPicture(normal), QIcon::Disabled);
    return icon;
}

QIcon ProgramIcon() {
    // The picture is read once and drawn at every size.
    QSvgRenderer renderer(QStringLiteral(":/pictures/icon.svg"));
    QIcon icon;
    for (int px : {16, 24, 32, 48, 64})
        icon.addPixmap(Render(renderer, QSize(px, px), 1.0));
    return icon;
}

} // namespace kelmor
