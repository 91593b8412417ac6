#include "gui/KToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

QIcon drawn(const Draw& draw) {
    return kDrawnIcon(draw);
}

void magnifier(QPainter& p, const QString& mark) {
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(QColor(40, 50, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.setPen(QPen(QColor(40, 50, 60), 1.2));
    QFont f = p.font();
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(1.5, 1.5, 9, 9), Qt::AlignCenter, mark);
}

const QColor kFill(224, 122, 63);

} // namespace

QIcon kToolIcon(const QString& c) {
    if (c == QLatin1String("zoomIn")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("+")); });
    }
    if (c == QLatin1String("zoomOut")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("-")); });
    }
    if (c == QLatin1String("zoomCustom")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("%")); });
    }
    if (c == QLatin1String("zoomReset")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("1")); });
    }
    if (c == QLatin1String("shapeConic")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(14, 13), QPointF(2, 13)}));
            p.drawEllipse(QRectF(2, 11, 12, 4));
        });
    }
    if (c == QLatin1String("shapePlanar")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawPolygon(
                QPolygonF({QPointF(1, 11), QPointF(5, 5), QPointF(15, 5), QPointF(11, 11)}));
        });
    }
    if (c == QLatin1String("shapeSpheric")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawEllipse(QRectF(2, 2, 12, 12));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2, 6, 12, 4));
        });
    }
    if (c == QLatin1String("shapeDisc")) {
        return drawn([](QPainter& p) {
            QPainterPath ring;
            ring.addEllipse(QRectF(1, 4, 14, 8));
            ring.addEllipse(QRectF(5, 6.5, 6, 3));
            p.setBrush(kFill);
            p.drawPath(ring);
        });
    }
    if (c == QLatin1String("shapeSuperQuad")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawRoundedRect(QRectF(2, 2, 12, 12), 4.5, 4.5);
        });
    }
    return QIcon();
}

QIcon kDrawnIcon(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(QPen(QColor(40, 50, 60), 1.2));
        p.setBrush(Qt::NoBrush);
        draw(p);
        icon.addPixmap(pixmap);
    }
    return icon;
}
