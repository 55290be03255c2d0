#include "graph/plot.h"
#include "plugin/panel.h"
