#pragma once
// The names of the document's user layers, in layer order: the list that every layer
// choice (select layers, import destination, export selection) shows, row i being layer i.

#include <QStringList>

class CPexaDoc;

QStringList kLayerNames(const CPexaDoc& doc);
