#pragma once

#include "core/uses_qt.h"
#include "graph/plot.h"
