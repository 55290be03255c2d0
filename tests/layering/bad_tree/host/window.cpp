#include "plugin/panel.h"
