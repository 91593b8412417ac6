#pragma once
// Small drawn icons for the toolbar commands that have no standard icon, by the
// command's object name; a null icon for names it does not know.

#include <QIcon>
#include <QString>

QIcon kToolIcon(const QString& command);
