#pragma once

#include "core/uses_qt.h"
