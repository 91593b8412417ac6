#pragma once
// Small drawn icons of the item editor's toolbar, by the command's object name; a null
// icon for names it does not know.

#include <QIcon>
#include <QString>

QIcon kMdlToolIcon(const QString& command);
