#pragma once
// A core header that pulls in Qt: the include check must refuse it.
#include <QString>
