#include "views/KMdlToolIcons.h"
#include "gui/KToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

const QColor kInk(40, 50, 60);
const QColor kAccent(224, 122, 63);

QIcon drawn(const std::function<void(QPainter&)>& draw) {
    return kDrawnIcon(draw);
}

// A curved arrow; mirrored for redo.
void arrow(QPainter& p, bool mirrored) {
    if (mirrored) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath path;
    path.moveTo(13, 13);
    path.cubicTo(13, 5, 7, 4, 3.5, 7.5);
    p.drawPath(path);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(6, 9.5), QPointF(1.5, 10)}));
}

// Three points at different heights and the level they are set to.
void level(QPainter& p, double y) {
    p.setBrush(kInk);
    p.drawRect(QRectF(2, 3, 2, 2));
    p.drawRect(QRectF(7, 11, 2, 2));
    p.drawRect(QRectF(12, 6.5, 2, 2));
    p.setPen(QPen(kAccent, 1.6));
    p.drawLine(QPointF(1, y), QPointF(15, y));
}

// A center line and the two width edges at the given distances.
void widths(QPainter& p, double lo, double hi) {
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.drawLine(QPointF(7, 1), QPointF(7, 15));
    p.setPen(QPen(kAccent, 1.6));
    p.drawLine(QPointF(7 - lo, 2), QPointF(7 - lo, 14));
    p.drawLine(QPointF(7 + hi, 2), QPointF(7 + hi, 14));
}

void magnifier(QPainter& p, const QString& mark) {
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    p.setPen(QPen(kInk, 1.2));
    QFont f = p.font();
    f.setPixelSize(8);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(1.5, 1.5, 9, 9), Qt::AlignCenter, mark);
}

} // namespace

QIcon kMdlToolIcon(const QString& c) {
    if (c == QLatin1String("mdlUndo") || c == QLatin1String("mdlRedo")) {
        const bool redo = c == QLatin1String("mdlRedo");
        return drawn([redo](QPainter& p) { arrow(p, redo); });
    }
    if (c == QLatin1String("mdlMinimizeOffsets")) {
        return drawn([](QPainter& p) { level(p, 14.5); });
    }
    if (c == QLatin1String("mdlAverageOffsets")) {
        return drawn([](QPainter& p) { level(p, 8); });
    }
    if (c == QLatin1String("mdlMaximizeOffsets")) {
        return drawn([](QPainter& p) { level(p, 1.5); });
    }
    if (c == QLatin1String("mdlSpline")) {
        return drawn([](QPainter& p) {
            QPainterPath path;
            path.moveTo(1, 13);
            path.cubicTo(5, -2, 10, 18, 15, 3);
            p.drawPath(path);
        });
    }
    if (c == QLatin1String("mdlPolyline")) {
        return drawn([](QPainter& p) {
            p.drawPolyline(
                QPolygonF({QPointF(1, 13), QPointF(5, 3), QPointF(10, 12), QPointF(15, 3)}));
        });
    }
    if (c == QLatin1String("mdlSymmetricWidth")) {
        return drawn([](QPainter& p) { widths(p, 4.5, 4.5); });
    }
    if (c == QLatin1String("mdlNonSymmetricWidth")) {
        return drawn([](QPainter& p) { widths(p, 2.5, 7); });
    }
    if (c == QLatin1String("mdlZoomOnOff")) {
        return drawn([](QPainter& p) { magnifier(p, QString()); });
    }
    if (c == QLatin1String("mdlUserZoom")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("?")); });
    }
    if (c == QLatin1String("mdlResetZoom")) {
        return drawn([](QPainter& p) { magnifier(p, QStringLiteral("1")); });
    }
    return QIcon();
}
