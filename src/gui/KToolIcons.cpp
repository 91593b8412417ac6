#include "gui/KToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>
#include <cmath>
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
const QColor kInk(40, 50, 60);

// A ball with a light from the top left, as the shading types draw it.
void shadedBall(QPainter& p, bool smooth) {
    if (smooth) {
        QRadialGradient g(QPointF(6, 6), 8);
        g.setColorAt(0, QColor(250, 220, 200));
        g.setColorAt(1, kFill.darker(150));
        p.setBrush(g);
        p.drawEllipse(QRectF(2, 2, 12, 12));
        return;
    }
    // Flat: facets of one colour each.
    const QPointF c(8, 8);
    const QColor tones[4] = {kFill.lighter(130), kFill, kFill.darker(120), kFill.darker(145)};
    for (int i = 0; i < 4; ++i) {
        QPainterPath facet;
        facet.moveTo(c);
        facet.arcTo(QRectF(2, 2, 12, 12), 90.0 + 90.0 * i, 90.0);
        facet.closeSubpath();
        p.setBrush(tones[i]);
        p.drawPath(facet);
    }
}

// A circular arrow from start (degrees, counter-clockwise from three o'clock) over span.
void circularArrow(QPainter& p, const QRectF& r, double start, double span) {
    QPainterPath arc;
    arc.arcMoveTo(r, start);
    arc.arcTo(r, start, span);
    p.drawPath(arc);
    const QPointF tip = arc.currentPosition();
    const double a = qDegreesToRadians(start + span);
    // The head points along the arc's direction at its end.
    const double dir = span > 0 ? 1.0 : -1.0;
    const QPointF along(-std::sin(a) * dir, -std::cos(a) * dir);
    const QPointF across(along.y(), -along.x());
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({tip + along * 3.0, tip + across * 2.2, tip - across * 2.2}));
    p.setBrush(Qt::NoBrush);
}

QIcon previewIcon(const QString& c) {
    if (c == QLatin1String("shadeSmooth")) {
        return drawn([](QPainter& p) { shadedBall(p, true); });
    }
    if (c == QLatin1String("shadeFlat")) {
        return drawn([](QPainter& p) { shadedBall(p, false); });
    }
    if (c == QLatin1String("shadeWire")) {
        return drawn([](QPainter& p) {
            p.drawEllipse(QRectF(2, 2, 12, 12));
            p.drawEllipse(QRectF(5, 2, 6, 12));
            p.drawEllipse(QRectF(2, 5, 12, 6));
        });
    }
    if (c == QLatin1String("shadePoint")) {
        return drawn([](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            for (int i = 0; i < 8; ++i) {
                const double a = i * 3.14159265 / 4;
                p.drawEllipse(QPointF(8 + 5.5 * std::cos(a), 8 + 5.5 * std::sin(a)), 1.1, 1.1);
            }
            p.drawEllipse(QPointF(8, 8), 1.1, 1.1);
        });
    }
    if (c == QLatin1String("viewRotate")) {
        return drawn([](QPainter& p) { circularArrow(p, QRectF(2.5, 2.5, 11, 11), 120, 270); });
    }
    if (c == QLatin1String("viewPan")) {
        return drawn([](QPainter& p) {
            p.drawLine(QPointF(8, 2), QPointF(8, 14));
            p.drawLine(QPointF(2, 8), QPointF(14, 8));
            p.setBrush(kInk);
            p.drawPolygon(QPolygonF({QPointF(8, 1), QPointF(6, 4), QPointF(10, 4)}));
            p.drawPolygon(QPolygonF({QPointF(8, 15), QPointF(6, 12), QPointF(10, 12)}));
            p.drawPolygon(QPolygonF({QPointF(1, 8), QPointF(4, 6), QPointF(4, 10)}));
            p.drawPolygon(QPolygonF({QPointF(15, 8), QPointF(12, 6), QPointF(12, 10)}));
        });
    }
    if (c == QLatin1String("viewRecenter")) {
        return drawn([](QPainter& p) {
            p.drawEllipse(QRectF(3, 3, 10, 10));
            p.drawLine(QPointF(8, 1), QPointF(8, 5));
            p.drawLine(QPointF(8, 11), QPointF(8, 15));
            p.drawLine(QPointF(1, 8), QPointF(5, 8));
            p.drawLine(QPointF(11, 8), QPointF(15, 8));
            p.setBrush(kFill);
            p.drawEllipse(QPointF(8, 8), 1.5, 1.5);
        });
    }
    if (c == QLatin1String("animSpin")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawEllipse(QRectF(5, 5, 6, 6));
            p.setBrush(Qt::NoBrush);
            circularArrow(p, QRectF(1.5, 1.5, 13, 13), 200, 240);
        });
    }
    if (c == QLatin1String("animFrame")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawPolygon(QPolygonF({QPointF(3, 3), QPointF(10, 8), QPointF(3, 13)}));
            p.drawLine(QPointF(12.5, 3), QPointF(12.5, 13));
        });
    }
    if (c == QLatin1String("animReverse")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawPolygon(QPolygonF({QPointF(13, 3), QPointF(6, 8), QPointF(13, 13)}));
            p.drawLine(QPointF(3.5, 3), QPointF(3.5, 13));
        });
    }
    if (c == QLatin1String("animClear")) {
        return drawn([](QPainter& p) {
            p.setBrush(kFill);
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
        });
    }
    return QIcon();
}

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
    if (QIcon icon = previewIcon(c); !icon.isNull()) {
        return icon;
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
