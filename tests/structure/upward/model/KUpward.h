#pragma once
// A model header that reaches up into export: the include check must refuse it.
#include "export/KExport.h"
