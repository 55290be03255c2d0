#pragma once

// The public interface between vane-desk and its plug-ins. A plug-in is a Qt plug-in (a shared
// library with Q_PLUGIN_METADATA) whose root object implements AbstractPlugin; vane-desk looks
// for plug-ins in the "plugins" folder beside its executable and in the user's data folder.

#include <QObject>
#include <QString>
#include <QtPlugin>

#include "plugin_api/host.h"

class QWidget;

namespace vane {

class AbstractPlugin {
  public:
    virtual ~AbstractPlugin() = default;

    // Called once, right after loading and before anything else. The host answers the user's
    // current selections anew on every call; the window is the parent for the plug-in's own
    // windows. Both outlive the plug-in.
    virtual void attach(const Host& host, QWidget* parentWindow) = 0;

    // The title the host lists the plug-in under.
    virtual QString name() const = 0;

    // Runs the plug-in; the user chose it from the Plug-ins menu.
    virtual void fire() = 0;
};

}  // namespace vane

#define VaneAbstractPlugin_iid "org.vane.AbstractPlugin/1"
Q_DECLARE_INTERFACE(vane::AbstractPlugin, VaneAbstractPlugin_iid)
