#pragma once

#include "plugin/curtailment_plugin.h"

namespace vane::plugin {

// What vane-desk loads: the curtailment controller with its on-screen dialogs.
class CurtailmentPluginModule final : public CurtailmentPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VaneAbstractPlugin_iid)
    Q_INTERFACES(vane::AbstractPlugin)
};

}  // namespace vane::plugin
