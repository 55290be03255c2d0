#pragma once

#include "plugin/vane_plugin.h"

namespace vane::plugin {

// What vane-desk loads: the controller with its on-screen dialogs.
class VanePluginModule final : public VanePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VaneAbstractPlugin_iid)
    Q_INTERFACES(vane::AbstractPlugin)
};

}  // namespace vane::plugin
