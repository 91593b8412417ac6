#pragma once
// Small drawn icons for the toolbar commands that have no standard icon, by the
// command's object name; a null icon for names it does not know.

#include <QIcon>
#include <QString>
#include <functional>

class QPainter;

QIcon kToolIcon(const QString& command);

// A 16 and a 32 pixel icon drawn by draw on a 16 x 16 canvas, with the toolbar's pen
// (dark slate, 1.2 wide) and no brush.
QIcon kDrawnIcon(const std::function<void(QPainter&)>& draw);
