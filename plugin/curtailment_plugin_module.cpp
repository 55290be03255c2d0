#include "plugin/curtailment_plugin_module.h"
