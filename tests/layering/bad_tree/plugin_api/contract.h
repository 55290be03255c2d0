#pragma once

#include <string>

#include "plugin/panel.h"
