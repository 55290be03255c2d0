#include "plugin/vane_plugin_module.h"
