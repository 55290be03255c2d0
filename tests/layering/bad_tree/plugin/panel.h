#pragma once

#include "host/plugins/abstract_plugin.h"
