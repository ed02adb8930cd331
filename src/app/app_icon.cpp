#include "app/app_icon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tv::app {

// Drawn rather than shipped as files: a deep teal tile with a white "T", crisp at every
// size the desktop asks for.
QIcon applicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF tile(0.5, 0.5, size - 1.0, size - 1.0);
        QPainterPath path;
        path.addRoundedRect(tile, size * 0.18, size * 0.18);
        QLinearGradient shade(tile.topLeft(), tile.bottomLeft());
        shade.setColorAt(0, QColor(0x1f, 0x8a, 0x8a));
        shade.setColorAt(1, QColor(0x0e, 0x5a, 0x66));
        painter.fillPath(path, shade);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setBold(true);
        font.setPixelSize(static_cast<int>(size * 0.72));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(tile, Qt::AlignCenter, QStringLiteral("T"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tv::app
